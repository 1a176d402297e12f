// SDL's audio conversion behind the mixer's own interface, shared by both
// backends so that the headless capture holds the samples the game plays.
#include "platform/audio_convert.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <new>

#include "platform/file.h"

namespace platform::audio {

namespace {

constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagFloat = 3;
// Input frames of silence that push SDL's resampler to give out all it holds.
constexpr std::size_t kResamplerTail = 4096;

SDL_AudioFormat sdl_format(const WaveFormat& f) {
    if (f.format_tag == kTagPcm) {
        switch (f.bits_per_sample) {
            case 8:
                return AUDIO_U8;
            case 16:
                return AUDIO_S16LSB;
            case 32:
                return AUDIO_S32LSB;
            default:
                return 0;
        }
    }
    if (f.format_tag == kTagFloat && f.bits_per_sample == 32) {
        return AUDIO_F32LSB;
    }
    return 0;
}

// Pushes everything through one stream and collects the converted frames.
bool convert_all(SDL_AudioFormat format, int channels, int rate, const std::uint8_t* data,
                 std::size_t bytes, std::vector<std::int16_t>& out) {
    out.clear();
    SDL_AudioStream* stream =
        SDL_NewAudioStream(format, static_cast<Uint8>(channels), rate, AUDIO_S16SYS,
                           static_cast<Uint8>(kMixChannels), kMixRate);
    if (stream == nullptr) {
        return false;
    }
    bool ok = true;
    // SDL takes int lengths: feed large buffers in pieces.
    constexpr std::size_t kPiece = 1u << 20;
    const std::size_t frame = static_cast<std::size_t>(SDL_AUDIO_BITSIZE(format) / 8 * channels);
    const std::size_t whole = bytes - bytes % frame;
    for (std::size_t done = 0; ok && done < whole;) {
        std::size_t n = whole - done < kPiece ? whole - done : kPiece - kPiece % frame;
        ok = SDL_AudioStreamPut(stream, data + done, static_cast<int>(n)) == 0;
        done += n;
    }
    // SDL 2.26 keeps back the resampler's last few hundred frames when it has
    // already converted data before the flush, so a changing rate gets some
    // silence after the samples and the result is cut to its exact length.
    const std::size_t in_frames = whole / frame;
    const std::size_t expected_frames =
        (in_frames * kMixRate + static_cast<std::size_t>(rate) - 1) /
        static_cast<std::size_t>(rate);
    if (ok && rate != kMixRate) {
        std::vector<std::uint8_t> silence(kResamplerTail * frame, format == AUDIO_U8 ? 0x80 : 0x00);
        ok = SDL_AudioStreamPut(stream, silence.data(), static_cast<int>(silence.size())) == 0;
    }
    ok = ok && SDL_AudioStreamFlush(stream) == 0;
    // After a flush SDL may still hand out the converted frames in more than
    // one piece: take them until none are left.
    constexpr std::size_t kFrameBytes = sizeof(std::int16_t) * kMixChannels;
    std::size_t got_bytes = 0;
    while (ok) {
        const int avail = SDL_AudioStreamAvailable(stream);
        if (avail <= 0) {
            break;
        }
        try {
            out.resize((got_bytes + static_cast<std::size_t>(avail)) / sizeof(std::int16_t) + 1);
        } catch (const std::bad_alloc&) {
            ok = false;
            break;
        }
        const int got = SDL_AudioStreamGet(
            stream, reinterpret_cast<std::uint8_t*>(out.data()) + got_bytes, avail);
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        got_bytes += static_cast<std::size_t>(got);
    }
    out.resize(std::min(got_bytes / kFrameBytes, expected_frames) * kMixChannels);
    SDL_FreeAudioStream(stream);
    if (!ok) {
        out.clear();
    }
    return ok;
}

}  // namespace

bool format_supported(const WaveFormat& f) {
    if (sdl_format(f) == 0 || f.channels < 1 || f.channels > 2) {
        return false;
    }
    if (f.samples_per_sec < 100 || f.samples_per_sec > 200000) {
        return false;
    }
    return f.block_align == f.channels * (f.bits_per_sample / 8);
}

std::size_t converted_frames(const WaveFormat& f, std::size_t bytes) {
    if (f.block_align == 0 || f.samples_per_sec == 0) {
        return 0;
    }
    const std::uint64_t in = bytes / f.block_align;
    return static_cast<std::size_t>((in * kMixRate + f.samples_per_sec - 1) / f.samples_per_sec);
}

bool convert_to_mix(const WaveFormat& f, const std::uint8_t* data, std::size_t bytes,
                    std::vector<std::int16_t>& out) {
    out.clear();
    if (!format_supported(f)) {
        return false;
    }
    return convert_all(sdl_format(f), f.channels, static_cast<int>(f.samples_per_sec), data, bytes,
                       out);
}

bool load_wav_file(const char* path, std::vector<std::int16_t>& out) {
    out.clear();
    if (path == nullptr || path[0] == '\0') {
        return false;
    }
    // Opened without waiting: a named pipe with a tune's name is no tune.
    const int fd = open_regular_file(path);
    std::FILE* file = fd >= 0 ? fdopen(fd, "rb") : nullptr;
    if (file == nullptr) {
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    SDL_RWops* rw = SDL_RWFromFP(file, SDL_TRUE);
    if (rw == nullptr) {
        std::fclose(file);
        return false;
    }
    SDL_AudioSpec spec{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (SDL_LoadWAV_RW(rw, 1, &spec, &buf, &len) == nullptr) {
        return false;
    }
    const std::uint64_t frame_bytes =
        static_cast<std::uint64_t>(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
    const bool fits =
        frame_bytes > 0 && spec.freq > 0 &&
        len / frame_bytes * kMixRate / static_cast<std::uint64_t>(spec.freq) <= kMaxTuneFrames;
    const bool ok = fits && convert_all(spec.format, spec.channels, spec.freq, buf, len, out);
    SDL_FreeWAV(buf);
    return ok;
}

Resampler::Resampler(int in_rate) {
    if (in_rate > 0) {
        stream_ = SDL_NewAudioStream(AUDIO_S16SYS, kMixChannels, in_rate, AUDIO_S16SYS,
                                     kMixChannels, kMixRate);
    }
}

Resampler::~Resampler() {
    if (stream_ != nullptr) {
        SDL_FreeAudioStream(static_cast<SDL_AudioStream*>(stream_));
    }
}

void Resampler::put(const std::int16_t* frames, std::size_t count) {
    if (stream_ != nullptr && count > 0) {
        SDL_AudioStreamPut(static_cast<SDL_AudioStream*>(stream_), frames,
                           static_cast<int>(count * kMixChannels * sizeof(std::int16_t)));
    }
}

void Resampler::flush() {
    if (stream_ != nullptr) {
        // See convert_all: silence after the end so that no sound is held back.
        static const std::int16_t silence[kResamplerTail * kMixChannels] = {};
        SDL_AudioStreamPut(static_cast<SDL_AudioStream*>(stream_), silence, sizeof silence);
        SDL_AudioStreamFlush(static_cast<SDL_AudioStream*>(stream_));
    }
}

std::size_t Resampler::get(std::int16_t* out, std::size_t max_frames) {
    if (stream_ == nullptr || max_frames == 0) {
        return 0;
    }
    constexpr std::size_t kFrameBytes = kMixChannels * sizeof(std::int16_t);
    const int got = SDL_AudioStreamGet(static_cast<SDL_AudioStream*>(stream_), out,
                                       static_cast<int>(max_frames * kFrameBytes));
    return got > 0 ? static_cast<std::size_t>(got) / kFrameBytes : 0;
}

std::size_t Resampler::available() const {
    if (stream_ == nullptr) {
        return 0;
    }
    const int n = SDL_AudioStreamAvailable(static_cast<SDL_AudioStream*>(stream_));
    return n > 0 ? static_cast<std::size_t>(n) / (kMixChannels * sizeof(std::int16_t)) : 0;
}

void Resampler::clear() {
    if (stream_ != nullptr) {
        SDL_AudioStreamClear(static_cast<SDL_AudioStream*>(stream_));
    }
}

}  // namespace platform::audio
