// Sample format conversion for the mixer, done with SDL's audio conversion in
// src/platform/sdl/shared/ so that both backends produce the same samples.
// No SDL type appears here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/sound.h"

namespace platform::audio {

// The one format the mixer works in: interleaved signed 16-bit stereo.
constexpr int kMixRate = 44100;
constexpr int kMixChannels = 2;

// The longest sound a static buffer holds once converted: 2^24 frames, about
// six minutes and 64 MiB. Effects last seconds; the limit keeps a buffer of a
// low rate (which grows up to 1764-fold in the mix format) from taking
// gigabytes. Tunes may run up to 2^26 frames, about 25 minutes.
constexpr std::size_t kMaxBufferFrames = std::size_t{1} << 24;
constexpr std::size_t kMaxTuneFrames = std::size_t{1} << 26;

// Frames that bytes of the format become in the mix format (rounded up).
std::size_t converted_frames(const WaveFormat& format, std::size_t bytes);

// True when the format is one a static buffer can hold: PCM with 8, 16 or
// 32 bits or IEEE float with 32 bits, one or two channels, 100 to 200000
// samples per second and a block alignment of channels x bytes per sample.
bool format_supported(const WaveFormat& format);

// Converts the whole frames of data (in format) to the mix format into out.
// False when SDL cannot convert the format (out is then left empty).
bool convert_to_mix(const WaveFormat& format, const std::uint8_t* data, std::size_t bytes,
                    std::vector<std::int16_t>& out);

// A WAV file converted to the mix format a piece at a time, as a tune plays,
// so that starting a tune costs no more than opening the file. Plain PCM and
// float files are read from the file as they are needed; anything else SDL
// can read (compressed, 24-bit, more channels, unusual chunk layouts) is
// decoded whole by SDL at open, which is quick next to the conversion.
//
// SDL's resampler gives slightly different samples for different piece sizes
// (by one step at most), so the input is always converted in pieces of the
// same size, whoever reads and however much at a time: the samples depend on
// the file alone.
class TuneSource {
   public:
    TuneSource();
    ~TuneSource();
    TuneSource(const TuneSource&) = delete;
    TuneSource& operator=(const TuneSource&) = delete;

    // False when the file is missing, unreadable, not a WAV, in a format SDL
    // cannot convert, or longer than kMaxTuneFrames once converted.
    bool open(const char* path);
    // Up to max_frames converted frames into out; fewer only at the end.
    std::size_t read(std::int16_t* out, std::size_t max_frames);
    // Frames the whole file gives in the mix format.
    std::size_t total_frames() const { return expected_; }

   private:
    bool open_plain(std::FILE* file);
    bool open_with_sdl(std::FILE* file);
    bool start_conversion();
    // Feeds the converter one more piece, or the end; false when nothing is left.
    bool feed();

    std::FILE* file_ = nullptr;        // plain files: positioned in the data
    std::uint8_t* decoded_ = nullptr;  // other files: SDL's decoded samples
    std::size_t decoded_offset_ = 0;
    std::size_t data_left_ = 0;  // bytes of whole frames still to feed
    int sdl_format_ = 0;
    int channels_ = 0;
    int rate_ = 0;
    std::size_t frame_bytes_ = 0;
    std::size_t piece_frames_ = 0;
    std::vector<std::uint8_t> piece_;
    void* stream_ = nullptr;  // SDL_AudioStream
    bool flushed_ = false;
    std::size_t expected_ = 0;
    std::size_t delivered_ = 0;
};

// A streaming rate converter from 16-bit stereo at in_rate to the mix format,
// for decoded MP3 data whose rate is only known when the file is opened.
class Resampler {
   public:
    explicit Resampler(int in_rate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    bool ok() const { return stream_ != nullptr; }
    void put(const std::int16_t* frames, std::size_t count);
    // No more input: the converter gives out what it still holds.
    void flush();
    // Up to max_frames converted frames into out; the number delivered.
    std::size_t get(std::int16_t* out, std::size_t max_frames);
    std::size_t available() const;
    void clear();

   private:
    void* stream_ = nullptr;
};

}  // namespace platform::audio
