// Sample format conversion for the mixer, done with SDL's audio conversion in
// src/platform/sdl/shared/ so that both backends produce the same samples.
// No SDL type appears here.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Reads a WAV file (whatever SDL can read) and converts it to the mix format.
// False when the file is missing, unreadable or not a WAV.
bool load_wav_file(const char* path, std::vector<std::int16_t>& out);

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
