// DirectSound buffers, PlaySoundA tunes and the MCI jukebox on top of our
// mixer. Shared by both backends; the backend only starts the output and
// keeps the mixer up to date (audio_backend.h).
#include "platform/sound.h"

#include <cstring>
#include <new>
#include <vector>

#include "platform/audio_backend.h"
#include "platform/audio_convert.h"
#include "platform/faults.h"
#include "platform/journal.h"
#include "platform/mixer.h"
#include "platform/mp3_stream.h"
#include "platform/tune_stream.h"

namespace platform {

namespace {

using audio::mixer;

// DirectSound's limits on a static buffer's size (DSBSIZE_MIN, DSBSIZE_MAX).
constexpr std::uint32_t kMinBufferBytes = 4;
constexpr std::uint32_t kMaxBufferBytes = 0x0FFFFFFF;

void update_gains(SoundBuffer* b) {
    const float volume = audio::attenuation_gain(b->volume);
    // Pan attenuates the opposite channel only.
    b->gain_left = volume * (b->pan > 0 ? audio::attenuation_gain(-b->pan) : 1.0f);
    b->gain_right = volume * (b->pan < 0 ? audio::attenuation_gain(b->pan) : 1.0f);
}

}  // namespace

SoundDevice* sound_device_create() {
    if (fault_due(Fault::SoundDeviceCreate) || !audio_backend::start()) {
        return nullptr;
    }
    return new (std::nothrow) SoundDevice();
}

bool sound_device_set_cooperative_level(SoundDevice* device, HWND /*window*/) {
    return device != nullptr && !fault_due(Fault::SoundCooperativeLevel);
}

void sound_device_release(SoundDevice* device) {
    delete device;
}

SoundBuffer* sound_buffer_create(SoundDevice* device, const WaveFormat& format,
                                 std::uint32_t bytes) {
    if (device == nullptr || fault_due(Fault::SoundBufferCreate)) {
        return nullptr;
    }
    if (!audio::format_supported(format) || bytes < kMinBufferBytes || bytes > kMaxBufferBytes ||
        audio::converted_frames(format, bytes) > audio::kMaxBufferFrames) {
        return nullptr;
    }
    auto* b = new (std::nothrow) SoundBuffer();
    if (b == nullptr) {
        return nullptr;
    }
    try {
        // Silence until filled: 0x80 is the zero line of 8-bit samples.
        b->raw.assign(bytes, format.bits_per_sample == 8 ? 0x80 : 0x00);
    } catch (const std::bad_alloc&) {
        delete b;
        return nullptr;
    }
    b->format = format;
    b->index = device->buffers_created++;
    mixer().attach(b);
    return b;
}

bool sound_buffer_lock(SoundBuffer* buffer, void** area, std::uint32_t* length) {
    if (buffer == nullptr || area == nullptr || length == nullptr ||
        fault_due(Fault::SoundBufferLock)) {
        return false;
    }
    buffer->locked = true;
    *area = buffer->raw.data();
    *length = static_cast<std::uint32_t>(buffer->raw.size());
    return true;
}

bool sound_buffer_unlock(SoundBuffer* buffer, void* area, std::uint32_t /*length*/) {
    if (buffer == nullptr || !buffer->locked || area != buffer->raw.data()) {
        return false;
    }
    buffer->locked = false;
    if (fault_due(Fault::SoundBufferUnlock)) {
        return false;
    }
    // The one conversion of these samples to the mix format.
    std::vector<std::int16_t> converted;
    if (!audio::convert_to_mix(buffer->format, buffer->raw.data(), buffer->raw.size(), converted)) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mixer().mutex());
        buffer->samples.swap(converted);
        buffer->frames = buffer->samples.size() / audio::kMixChannels;
        if (buffer->position >= buffer->frames) {
            buffer->position = 0;
            buffer->playing = false;
        }
        buffer->loaded = true;
    }
    return true;  // the previous samples are freed here, outside the lock
}

std::uint32_t sound_buffer_status(SoundBuffer* buffer) {
    if (buffer == nullptr) {
        return 0;
    }
    audio_backend::sync();
    std::lock_guard<std::mutex> lock(mixer().mutex());
    // How far a real device has played is outside the game's control: a
    // recording keeps it.
    return journal::sound_status(buffer->playing ? kSoundStatusPlaying : 0);
}

int sound_buffer_set_position(SoundBuffer* buffer, std::uint32_t position) {
    if (buffer == nullptr || position > buffer->raw.size()) {
        return kSoundErrInvalidParam;
    }
    audio_backend::sync();
    // A byte position of the stored format, mapped onto the converted frames.
    const std::uint64_t in_frames = buffer->raw.size() / buffer->format.block_align;
    const std::uint64_t in_frame = position / buffer->format.block_align;
    std::lock_guard<std::mutex> lock(mixer().mutex());
    std::uint64_t frame = in_frames > 0 ? in_frame * buffer->frames / in_frames : 0;
    buffer->position = static_cast<std::size_t>(frame < buffer->frames ? frame : buffer->frames);
    return kSoundOk;
}

int sound_buffer_set_pan(SoundBuffer* buffer, int pan) {
    if (buffer == nullptr) {
        return kSoundErrInvalidParam;
    }
    buffer->requested_pan = pan;
    if (pan < -10000 || pan > 10000) {
        return kSoundErrInvalidParam;
    }
    audio_backend::sync();
    std::lock_guard<std::mutex> lock(mixer().mutex());
    buffer->pan = pan;
    update_gains(buffer);
    return kSoundOk;
}

int sound_buffer_set_volume(SoundBuffer* buffer, int volume) {
    if (buffer == nullptr) {
        return kSoundErrInvalidParam;
    }
    buffer->requested_volume = volume;
    if (volume < -10000 || volume > 0) {
        return kSoundErrInvalidParam;
    }
    audio_backend::sync();
    std::lock_guard<std::mutex> lock(mixer().mutex());
    buffer->volume = volume;
    update_gains(buffer);
    return kSoundOk;
}

int sound_buffer_play(SoundBuffer* buffer) {
    if (buffer == nullptr) {
        return kSoundErrInvalidParam;
    }
    audio_backend::sync();
    bool loaded;
    {
        std::lock_guard<std::mutex> lock(mixer().mutex());
        loaded = buffer->loaded;
        // Already playing: it plays on where it is.
        if (loaded && buffer->frames > 0) {
            buffer->playing = true;
        }
    }
    if (loaded) {
        audio_backend::report_sound(buffer->index, buffer->requested_pan, buffer->requested_volume);
    }
    return kSoundOk;
}

void sound_buffer_release(SoundBuffer* buffer) {
    if (buffer == nullptr) {
        return;
    }
    audio_backend::sync();
    mixer().detach(buffer);
    delete buffer;
}

bool tune_play(const char* file_name) {
    audio_backend::start();
    audio_backend::sync();
    audio_backend::report_tune(file_name);
    // A missing or unreadable file still ends the tune that is sounding.
    return mixer().tune().play(file_name);
}

// --- MCI -----------------------------------------------------------------

namespace {

constexpr int kMciOk = 0;
constexpr int kMciUnrecognizedKeyword = 259;
constexpr int kMciUnrecognizedCommand = 261;
constexpr int kMciInvalidDeviceName = 263;
constexpr int kMciMissingCommandString = 267;
constexpr int kMciDuplicateAlias = 289;

struct Span {
    const char* p = nullptr;
    std::size_t n = 0;
};

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_word(Span s, const char* word) {
    const std::size_t n = std::strlen(word);
    if (s.n != n) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (lower(s.p[i]) != lower(word[i])) {
            return false;
        }
    }
    return true;
}

bool blank(char c) {
    return c == ' ' || c == '\t';
}

Span trim(Span s) {
    while (s.n > 0 && blank(s.p[0])) {
        ++s.p;
        --s.n;
    }
    while (s.n > 0 && blank(s.p[s.n - 1])) {
        --s.n;
    }
    return s;
}

// Splits off the first word of s.
Span first_word(Span& s) {
    s = trim(s);
    std::size_t i = 0;
    while (i < s.n && !blank(s.p[i])) {
        ++i;
    }
    Span w{s.p, i};
    s = trim(Span{s.p + i, s.n - i});
    return w;
}

// Splits off the last word of s.
Span last_word(Span& s) {
    s = trim(s);
    std::size_t i = s.n;
    while (i > 0 && !blank(s.p[i - 1])) {
        --i;
    }
    Span w{s.p + i, s.n - i};
    s = trim(Span{s.p, i});
    return w;
}

// The jukebox's one device: its alias while it is open (game thread only).
char open_alias[64] = {};
bool device_open = false;
char reported_name[audio::Mp3Stream::kMaxPath];

}  // namespace

int mci_send_string(const char* command) {
    if (command == nullptr) {
        return kMciMissingCommandString;
    }
    Span rest{command, std::strlen(command)};
    const Span verb = first_word(rest);
    if (verb.n == 0) {
        return kMciMissingCommandString;
    }
    audio_backend::start();
    audio_backend::sync();
    audio::Mp3Stream& mp3 = mixer().mp3();

    if (same_word(verb, "open")) {
        // "open NAME type MPEGVideo alias ALIAS": read from the end, since the
        // name may hold blanks (and any other byte).
        const Span alias = last_word(rest);
        const Span alias_kw = last_word(rest);
        const Span type = last_word(rest);
        const Span type_kw = last_word(rest);
        // The name is everything between the one blank after "open" and the
        // one blank before "type", blanks at its ends included.
        Span name{};
        const char* begin = verb.p + verb.n + 1;
        if (type_kw.n != 0 && type_kw.p > begin) {
            name = Span{begin, static_cast<std::size_t>(type_kw.p - 1 - begin)};
        }
        if (!same_word(alias_kw, "alias") || !same_word(type_kw, "type") || alias.n == 0 ||
            alias.n >= sizeof(open_alias)) {
            return kMciUnrecognizedKeyword;
        }
        if (!same_word(type, "mpegvideo") || name.n == 0) {
            return kMciInvalidDeviceName;
        }
        if (device_open) {
            return kMciDuplicateAlias;
        }
        std::memcpy(open_alias, alias.p, alias.n);
        open_alias[alias.n] = '\0';
        device_open = true;
        const std::size_t n = name.n < audio::Mp3Stream::kMaxPath ? name.n : 0;
        std::memcpy(reported_name, name.p, n);
        reported_name[n] = '\0';
        mp3.open(reported_name);
        audio_backend::report_mp3("open", reported_name);
        return kMciOk;
    }

    const bool play = same_word(verb, "play");
    if (!play && !same_word(verb, "close")) {
        return kMciUnrecognizedCommand;
    }
    const Span alias = first_word(rest);
    if (!device_open || !same_word(alias, open_alias)) {
        return kMciInvalidDeviceName;
    }
    if (!play) {
        if (rest.n != 0) {
            return kMciUnrecognizedKeyword;
        }
        device_open = false;
        mp3.close();
        audio_backend::report_mp3("close", nullptr);
        return kMciOk;
    }
    bool repeat = false;
    if (rest.n != 0) {
        const Span flag = first_word(rest);
        if (!same_word(flag, "repeat") || rest.n != 0) {
            return kMciUnrecognizedKeyword;
        }
        repeat = true;
    }
    mp3.play(repeat);
    audio_backend::report_mp3(repeat ? "play repeat" : "play", nullptr);
    return kMciOk;
}

namespace audio_backend {

void stop_everything() {
    mixer().stop_all();
    mixer().mp3().close();
    device_open = false;
}

}  // namespace audio_backend

}  // namespace platform
