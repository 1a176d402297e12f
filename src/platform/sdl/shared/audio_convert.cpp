// SDL's audio conversion behind the mixer's own interface, shared by both
// backends so that the headless capture holds the samples the game plays.
#include "platform/audio_convert.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <numeric>

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

namespace {

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Input frames per piece: about 4096, and a whole number of steps of the
// rate ratio where that is possible, so that every piece converts to a whole
// number of frames and no fraction of a frame is lost between pieces.
std::size_t piece_frames_for(int rate) {
    constexpr std::size_t kPiece = 4096;
    const auto r = static_cast<std::size_t>(rate);
    const std::size_t unit = r / std::gcd(r, static_cast<std::size_t>(kMixRate));
    if (unit <= kPiece) {
        return kPiece / unit * unit;
    }
    return unit <= 16 * kPiece ? unit : kPiece;
}

}  // namespace

TuneSource::TuneSource() = default;

TuneSource::~TuneSource() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
    if (decoded_ != nullptr) {
        SDL_FreeWAV(decoded_);
    }
    if (stream_ != nullptr) {
        SDL_FreeAudioStream(static_cast<SDL_AudioStream*>(stream_));
    }
}

bool TuneSource::open(const char* path) {
    if (path == nullptr || path[0] == '\0' || file_ != nullptr || decoded_ != nullptr) {
        return false;
    }
    // Opened without waiting (a named pipe with a tune's name is no tune),
    // where the game's other files are: the working folder first, then the
    // installed data.
    const int fd = open_regular_file(path);
    std::FILE* file = fd >= 0 ? fdopen(fd, "rb") : nullptr;
    if (file == nullptr) {
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    if (!open_plain(file) && !open_with_sdl(file)) {
        return false;
    }
    const std::uint64_t in_frames = data_left_ / frame_bytes_;
    // The same limit as for a tune converted whole.
    if (in_frames * kMixRate / static_cast<std::uint64_t>(rate_) > kMaxTuneFrames) {
        return false;
    }
    expected_ =
        static_cast<std::size_t>((in_frames * kMixRate + static_cast<std::uint64_t>(rate_) - 1) /
                                 static_cast<std::uint64_t>(rate_));
    return start_conversion();
}

// A RIFF WAVE file whose "fmt " chunk comes before its "data" chunk, holds a
// format that format_supported() accepts and whose data lie wholly in the
// file: read straight from the file, which is kept. False for anything else,
// which SDL's reader (knowing every variant) gets instead.
bool TuneSource::open_plain(std::FILE* f) {
    unsigned char head[12];
    long size = -1;
    if (std::fread(head, 1, sizeof head, f) == sizeof head && std::fseek(f, 0, SEEK_END) == 0) {
        size = std::ftell(f);
    }
    if (size < 12 || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) {
        return false;
    }
    const std::uint64_t riff_end = 8 + static_cast<std::uint64_t>(le32(head + 4));
    const auto file_end = static_cast<std::uint64_t>(size);
    WaveFormat format;
    bool have_format = false;
    std::uint64_t pos = 12;
    while (pos + 8 <= file_end) {
        unsigned char chunk[24];
        if (std::fseek(f, static_cast<long>(pos), SEEK_SET) != 0 ||
            std::fread(chunk, 1, 8, f) != 8) {
            return false;
        }
        const std::uint32_t length = le32(chunk + 4);
        const std::uint64_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (have_format || length < 16 || std::fread(chunk + 8, 1, 16, f) != 16) {
                return false;
            }
            format.format_tag = le16(chunk + 8);
            format.channels = le16(chunk + 10);
            format.samples_per_sec = le32(chunk + 12);
            format.avg_bytes_per_sec = le32(chunk + 16);
            format.block_align = le16(chunk + 20);
            format.bits_per_sample = le16(chunk + 22);
            have_format = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!have_format || !format_supported(format) || body + length > file_end ||
                body + length > riff_end || std::fseek(f, static_cast<long>(body), SEEK_SET) != 0) {
                return false;
            }
            file_ = f;
            sdl_format_ = sdl_format(format);
            channels_ = format.channels;
            rate_ = static_cast<int>(format.samples_per_sec);
            frame_bytes_ = format.block_align;
            data_left_ = length - length % frame_bytes_;
            return true;
        }
        pos = body + length + (length & 1u);
    }
    return false;
}

// Decodes the whole file with SDL, which closes it.
bool TuneSource::open_with_sdl(std::FILE* f) {
    SDL_RWops* rw = std::fseek(f, 0, SEEK_SET) == 0 ? SDL_RWFromFP(f, SDL_TRUE) : nullptr;
    if (rw == nullptr) {
        std::fclose(f);
        return false;
    }
    SDL_AudioSpec spec{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (SDL_LoadWAV_RW(rw, 1, &spec, &buf, &len) == nullptr) {
        return false;
    }
    decoded_ = buf;
    sdl_format_ = spec.format;
    channels_ = spec.channels;
    rate_ = spec.freq;
    frame_bytes_ = static_cast<std::size_t>(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
    if (frame_bytes_ == 0 || rate_ <= 0) {
        return false;
    }
    data_left_ = len - len % frame_bytes_;
    return true;
}

bool TuneSource::start_conversion() {
    stream_ =
        SDL_NewAudioStream(static_cast<SDL_AudioFormat>(sdl_format_), static_cast<Uint8>(channels_),
                           rate_, AUDIO_S16SYS, static_cast<Uint8>(kMixChannels), kMixRate);
    if (stream_ == nullptr) {
        return false;
    }
    piece_frames_ = piece_frames_for(rate_);
    if (file_ != nullptr) {
        try {
            piece_.resize(piece_frames_ * frame_bytes_);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    return true;
}

bool TuneSource::feed() {
    auto* stream = static_cast<SDL_AudioStream*>(stream_);
    if (data_left_ > 0) {
        std::size_t n = std::min(data_left_, piece_frames_ * frame_bytes_);
        const std::uint8_t* p = nullptr;
        if (file_ != nullptr) {
            // A file cut short since it was opened just ends early.
            const std::size_t got = std::fread(piece_.data(), 1, n, file_);
            data_left_ = got < n ? 0 : data_left_ - n;
            n = got - got % frame_bytes_;
            p = piece_.data();
        } else {
            p = decoded_ + decoded_offset_;
            decoded_offset_ += n;
            data_left_ -= n;
        }
        if (n > 0 && SDL_AudioStreamPut(stream, p, static_cast<int>(n)) != 0) {
            data_left_ = 0;
        }
        return true;
    }
    if (flushed_) {
        return false;
    }
    // See convert_all: silence after the end so that the resampler gives out
    // everything; the result is cut to its exact length.
    if (rate_ != kMixRate) {
        const std::vector<std::uint8_t> silence(kResamplerTail * frame_bytes_,
                                                sdl_format_ == AUDIO_U8 ? 0x80 : 0x00);
        SDL_AudioStreamPut(stream, silence.data(), static_cast<int>(silence.size()));
    }
    SDL_AudioStreamFlush(stream);
    flushed_ = true;
    return true;
}

std::size_t TuneSource::read(std::int16_t* out, std::size_t max_frames) {
    if (stream_ == nullptr) {
        return 0;
    }
    auto* stream = static_cast<SDL_AudioStream*>(stream_);
    constexpr std::size_t kFrameBytes = sizeof(std::int16_t) * kMixChannels;
    std::size_t got = 0;
    while (got < max_frames && delivered_ < expected_) {
        if (SDL_AudioStreamAvailable(stream) >= static_cast<int>(kFrameBytes)) {
            const std::size_t want = std::min(max_frames - got, expected_ - delivered_);
            const int n = SDL_AudioStreamGet(stream, out + got * kMixChannels,
                                             static_cast<int>(want * kFrameBytes));
            if (n <= 0) {
                break;
            }
            got += static_cast<std::size_t>(n) / kFrameBytes;
            delivered_ += static_cast<std::size_t>(n) / kFrameBytes;
        } else if (!feed()) {
            break;
        }
    }
    return got;
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
