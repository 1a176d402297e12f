// Sounds and tunes, synthesised: the 22 effects of Sound.dat and the five
// WAV tunes beside the game.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// Samples in -1..1, channels interleaved, written as PCM of the given width.
struct Wave {
    int rate = 22050;
    int channels = 1;
    int bits = 16;  // 8 (unsigned) or 16 (signed)
    std::vector<float> samples;

    double seconds() const {
        return static_cast<double>(samples.size()) / (static_cast<double>(rate) * channels);
    }
};

// A complete RIFF WAVE file: "fmt " chunk of 16 bytes, then "data".
std::vector<std::uint8_t> wav_bytes(const Wave& wave);

// Effects in Sound.dat order 0..21.
std::vector<Wave> make_sounds();

struct Tune {
    std::string file;  // start.wav, main.wav, win.wav, lose.wav, credits.wav
    Wave wave;
};
std::vector<Tune> make_tunes();

}  // namespace assets
