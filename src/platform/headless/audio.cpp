// The headless backend's sound output: no device; instead the mixer runs as
// the virtual clock advances. Before every sound query or request (and at the
// end of a capture) everything up to the present virtual millisecond is
// mixed, so a sound reports "playing" for exactly its length in virtual time
// and a capture holds what a player would have heard.
#include "platform/headless/audio.h"

#include <cstdio>
#include <vector>

#include "platform/audio_backend.h"
#include "platform/audio_convert.h"
#include "platform/headless/headless.h"
#include "platform/mixer.h"
#include "platform/mp3_stream.h"
#include "platform/output_watch.h"
#include "platform/tune_stream.h"
#include "platform/window.h"

namespace platform::headless {

namespace {

// A jump of the virtual clock longer than this (a test setting the clock far
// ahead) moves the effects and the tune on without mixing them.
constexpr std::uint32_t kMaxMixedJumpMs = 10 * 60 * 1000;
constexpr std::uint32_t kMaxCaptureBytes = 0xFFFFFFFFu - 64;

struct Clock {
    bool started = false;
    std::uint32_t synced_tick = 0;
    std::uint64_t ms = 0;      // virtual milliseconds mixed in all
    std::uint64_t frames = 0;  // frames mixed in all
    std::vector<std::int16_t> block =
        std::vector<std::int16_t>(audio::Mixer::kStepFrames * audio::kMixChannels);
    std::FILE* capture = nullptr;
    std::uint32_t capture_bytes = 0;
    AudioOutput output = AudioOutput::Present;
};

Clock& clock() {
    static Clock c;
    return c;
}

void put_u32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

void put_u16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

// The 44-byte header of a 16-bit stereo PCM WAV with data_bytes of samples.
void write_header(std::FILE* f, std::uint32_t data_bytes) {
    unsigned char h[44] = {'R', 'I', 'F', 'F', 0, 0, 0,   0,   'W', 'A', 'V', 'E', 'f', 'm', 't',
                           ' ', 0,   0,   0,   0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0,
                           0,   0,   0,   0,   0, 0, 'd', 'a', 't', 'a', 0,   0,   0,   0};
    put_u32(h + 4, 36 + data_bytes);
    put_u32(h + 16, 16);
    put_u16(h + 20, 1);
    put_u16(h + 22, audio::kMixChannels);
    put_u32(h + 24, audio::kMixRate);
    put_u32(h + 28, audio::kMixRate * audio::kMixChannels * 2);
    put_u16(h + 32, audio::kMixChannels * 2);
    put_u16(h + 34, 16);
    put_u32(h + 40, data_bytes);
    std::fseek(f, 0, SEEK_SET);
    std::fwrite(h, 1, sizeof h, f);
    std::fseek(f, 0, SEEK_END);
}

void write_capture(const std::int16_t* samples, std::size_t frames) {
    Clock& c = clock();
    if (c.capture == nullptr) {
        return;
    }
    std::size_t bytes = frames * audio::kMixChannels * sizeof(std::int16_t);
    if (bytes > kMaxCaptureBytes - c.capture_bytes) {
        bytes = (kMaxCaptureBytes - c.capture_bytes) / 4 * 4;  // a WAV ends at 4 GiB
    }
    // Samples are little-endian on every machine this runs on (x86, ARM).
    c.capture_bytes += static_cast<std::uint32_t>(std::fwrite(samples, 1, bytes, c.capture));
}

// Mixes everything up to the virtual clock's present.
void catch_up() {
    Clock& c = clock();
    const std::uint32_t now = headless::now();
    if (!c.started) {
        c.started = true;
        c.synced_tick = now;
        return;
    }
    const std::uint32_t delta = now - c.synced_tick;
    c.synced_tick = now;
    if (delta == 0 || delta >= 0x80000000u) {
        return;  // unchanged, or set back (a reset): audio time stands still
    }
    c.ms += delta;
    const std::uint64_t target = c.ms * audio::kMixRate / 1000;
    audio::Mixer& m = audio::mixer();
    audio::OutputWatch& watch = audio::output_watch();
    const bool present = c.output == AudioOutput::Present;
    if (present && delta > kMaxMixedJumpMs) {
        m.skip(static_cast<std::size_t>(target - c.frames));
        c.frames = target;
    }
    while (c.frames < target) {
        const std::size_t n = static_cast<std::size_t>(
            std::min<std::uint64_t>(target - c.frames, audio::Mixer::kStepFrames));
        if (present) {
            // No converting threads here: the jukebox and the tune convert
            // just what this step needs.
            m.mp3().service(n);
            m.tune().service(n);
            m.mix(c.block.data(), n);
        } else {
            std::fill(c.block.begin(), c.block.end(), std::int16_t{0});
        }
        write_capture(c.block.data(), n);
        c.frames += n;
    }
    if (present) {
        watch.pulled(c.ms * 1000);
    } else {
        watch.keep_time(m, c.ms * 1000);
    }
}

}  // namespace

bool audio_capture_begin(const std::string& path) {
    audio_capture_end();
    catch_up();
    Clock& c = clock();
    c.capture = std::fopen(path.c_str(), "wb");
    if (c.capture == nullptr) {
        return false;
    }
    c.capture_bytes = 0;
    write_header(c.capture, 0);
    return true;
}

void audio_capture_end() {
    Clock& c = clock();
    if (c.capture == nullptr) {
        return;
    }
    catch_up();
    write_header(c.capture, c.capture_bytes);
    std::fclose(c.capture);
    c.capture = nullptr;
}

void audio_reset() {
    audio_capture_end();
    audio_backend::stop_everything();
    Clock& c = clock();
    c.started = true;
    c.synced_tick = headless::now();
    c.output = AudioOutput::Present;
    audio::output_watch().reset(true, c.ms * 1000);
}

void set_audio_output(AudioOutput output) {
    catch_up();  // what came before was heard (or not) as it was
    Clock& c = clock();
    c.output = output;
    audio::output_watch().set_open(output != AudioOutput::Lost, c.ms * 1000);
}

std::uint64_t audio_frames_mixed() {
    return clock().frames;
}

}  // namespace platform::headless

namespace platform::audio_backend {

bool start() {
    return true;
}

void sync() {
    headless::catch_up();
}

void report_sound(int index, int pan, int volume) {
    if (headless::observer() != nullptr) {
        headless::observer()->on_sound(index, pan, volume);
    }
}

void report_tune(const char* file) {
    if (headless::observer() != nullptr) {
        headless::observer()->on_tune(file);
    }
}

void report_mp3(const char* command, const char* file) {
    if (headless::observer() != nullptr) {
        headless::observer()->on_mp3(command, file);
    }
}

}  // namespace platform::audio_backend

namespace platform {

void message_beep(std::uint32_t /*type*/) {
    audio_backend::sync();
    headless::record_beep();
    audio::mixer().beep();
}

}  // namespace platform
