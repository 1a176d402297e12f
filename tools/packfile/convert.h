// Converting the pictures and sounds players make with common tools into the
// one form the game reads: 8-bit BMP with a 256-colour palette, a 40-byte
// info header and bottom-up rows; 16-bit PCM WAV, mono or stereo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace packfile {

// An entry in the game's form and one line on what was done to get it.
struct Conversion {
    std::vector<std::uint8_t> bytes;
    std::string summary;
};

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

// A decoded picture, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;
    std::string source;  // what it was, for the summary ("PNG, RGB with alpha")
};

// The largest picture converted: far beyond the game's largest (2048 x 448),
// small enough that a forged header cannot ask for gigabytes.
constexpr int kMaxSide = 16384;
constexpr std::size_t kMaxPixels = std::size_t{1} << 24;

bool is_png(const std::uint8_t* bytes, std::size_t size);

// BMP files with any of the usual info headers (12, 40, 52, 56, 108 or 124
// bytes), 1, 4, 8, 16, 24 or 32 bits per pixel, uncompressed, RLE8, RLE4 or
// with bit fields, rows bottom-up or top-down. 32-bit pixels carry alpha
// when the header gives an alpha mask and not every alpha byte is zero.
bool decode_bmp(const std::uint8_t* bytes, std::size_t size, Image& image, std::string& error);
// PNG files of every colour type and depth, transparency included.
bool decode_png(const std::uint8_t* bytes, std::size_t size, Image& image, std::string& error);

// The game's colour key, pure green, and the range of colours that a 16-bit
// display turns into the key as well (red and blue below 8, green above 247).
constexpr std::uint32_t kKeyColour = 0x00FF00;
bool looks_like_key_at_16_bits(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// The picture as the game's 8-bit BMP. Pixels less than half opaque and pure
// green pixels become the key colour (palette entry 0); every other colour
// stays visible: one that a 16-bit display would take for the key is moved
// just outside that range. Up to 255 colours are kept exactly; more are
// reduced to 255 by median cut. A width that is not a multiple of 4 is
// padded on the right with the key colour, since the game reads rows
// without padding.
Conversion encode_picture(const Image& image);

// A picture file (BMP or PNG) as the game's 8-bit BMP.
bool convert_picture(const std::uint8_t* bytes, std::size_t size, Conversion& out,
                     std::string& error);

// A WAV file (PCM of 8 to 32 bits, IEEE float of 32 or 64 bits, also in the
// extensible format; any number of channels and any rate) as 16-bit PCM:
// mono stays mono, more channels are mixed down to stereo, and a rate outside
// 1000 to 192000 Hz is resampled to 44100 Hz.
bool convert_sound(const std::uint8_t* bytes, std::size_t size, Conversion& out,
                   std::string& error);

}  // namespace packfile
