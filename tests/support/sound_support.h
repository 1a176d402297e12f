// Building WAV files and archives, and measuring what the mixer produced
// (captured to a WAV file by the headless backend).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pack/packfile.h"

namespace bramble_test {

using Bytes = std::vector<std::uint8_t>;

struct WavSpec {
    std::uint16_t tag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    std::uint16_t block_align = 0;  // 0: channels x bits / 8
    std::uint32_t fmt_size = 16;    // 16 or 18 (18 adds an extra-size field of 0)
    bool data_first = false;
    std::vector<Bytes> chunks_before;  // complete chunks put ahead of the two
    std::int64_t data_size = -1;       // the declared size; -1: the real one
};

WavSpec wav_spec(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits = 16);
Bytes wav(const WavSpec& spec, const Bytes& data);
// A complete chunk (header, data, a pad byte when the size is odd).
Bytes chunk(const char id[4], const Bytes& data);
Bytes pcm16(const std::vector<std::int16_t>& samples);
// A sine at freq Hz, amplitude in 16-bit units, channels copies of each frame.
std::vector<std::int16_t> tone(double freq, int rate, int frames, double amplitude,
                               int channels = 1);

// A PackFile archive of the entries (markers as given) with the key.
Bytes sound_archive(const std::vector<std::pair<std::int32_t, Bytes>>& entries,
                    const std::string& key = "N2HV8C6WLA9E5JR3");
// The directory of an archive, as PackFile_oeffnen would hold it.
Verzeichnis verzeichnis_of(const Bytes& archive_bytes);
void write_file(const std::string& path, const Bytes& bytes);
// The whole file; empty when it cannot be read.
Bytes read_file(const std::string& path);

// A capture of the mixer: interleaved 16-bit stereo at 44100.
struct Capture {
    std::vector<std::int16_t> samples;
    std::size_t frames() const { return samples.size() / 2; }
    std::int16_t at(std::size_t frame, int channel) const { return samples[frame * 2 + channel]; }
    // Root mean square of one channel over [from, to) frames.
    double rms(int channel, std::size_t from, std::size_t to) const;
    // Amplitude of the component at freq in [from, to) (Goertzel filter).
    double amplitude_at(double freq, int channel, std::size_t from, std::size_t to) const;
    // Frames from the first to the last sample louder than threshold.
    std::size_t sounding_frames(int threshold, std::size_t* first = nullptr) const;
    // Positive-going zero crossings of a channel per second over [from, to).
    double crossings_per_second(int channel, std::size_t from, std::size_t to) const;
};
Capture read_capture(const std::string& path);

// Frames of n milliseconds at the mixer's 44,100 Hz.
constexpr std::size_t ms(int n) {
    return static_cast<std::size_t>(n) * 441 / 10;
}

// Whether lame, which encodes the test tunes, is installed.
bool have_lame();
// Encodes a mono tone (amplitude 12000) to an MP3 file at 128 kbit/s with
// lame; false when that failed.
bool make_mp3(const std::string& path, double freq, int rate, int frames);

// A scratch folder of the running test case below the test output folder,
// emptied first.
std::string scratch_dir(const std::string& name);

// Changes the working directory for the lifetime of the object.
class InDirectory {
   public:
    explicit InDirectory(const std::string& dir);
    ~InDirectory();
    InDirectory(const InDirectory&) = delete;
    InDirectory& operator=(const InDirectory&) = delete;

   private:
    std::string previous_;
};

}  // namespace bramble_test
