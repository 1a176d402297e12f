// A minimal but complete set of the seven files the game needs (Grafik.dat,
// Sound.dat and the five tunes), made in code: every picture at its size, a
// font picture in the separator layout, short tones for the sounds. Lets the
// tests start the whole game in a temporary folder without the default data.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bramble_test {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kGrafikKey = "QK7RM2D9TXB4HP1Z";
constexpr const char* kSoundKey = "N2HV8C6WLA9E5JR3";

// The archive trailer's layout, written out here on purpose (not taken from
// the game) so that a change to the game's copy shows up as a failing test.
constexpr int kVerzeichnisGroesse = 564;
constexpr int kMarkerBild = 2000;
constexpr int kMarkerSound = 1000;
constexpr int kOffsetTabelle = 204;
constexpr int kTagOffset = 404;
constexpr int kKeyOffset = 544;
constexpr int kMaxEintraege = 50;

// Width and height of picture entry 0 to 38 of Grafik.dat.
std::pair<int, int> picture_size(int entry);
// Picture entry as an 8-bit BMP file (bottom-up rows, 256-colour palette).
Bytes placeholder_picture(int entry);
// A RIFF WAVE file: a 16-bit mono tone of the given length.
Bytes tone_wav(int milliseconds, int frequency);
// An archive: the entries' files one after another and the 564-byte trailer
// with the markers (2000 picture, 1000 sound), offsets, tag and key.
Bytes archive(const std::vector<std::pair<std::int32_t, Bytes>>& entries, const std::string& key);

struct GameDataOptions {
    std::string grafik_key = kGrafikKey;
    std::string sound_key = kSoundKey;
    // Picture entries to store instead of the placeholders (say, one of the
    // wrong size, to make its load fail).
    std::map<int, Bytes> pictures;
};
// A picture of any size in one palette colour (an 8-bit BMP file).
Bytes plain_picture(int width, int height, std::uint8_t colour);
// The colour (0xRRGGBB) that the placeholder pictures give palette index i.
std::uint32_t palette_colour(int index);
// The palette index a placeholder picture fills its middle with.
int picture_colour_index(int entry);
// Writes the seven files into dir (which must exist). False when a file
// cannot be written.
bool write_game_data(const std::string& dir, const GameDataOptions& options = {});

}  // namespace bramble_test
