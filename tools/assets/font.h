// The game's bitmap font (Grafik.dat entry 31): 81 glyphs in bands between
// separator rows, each glyph cell enclosed by marks in its band's first row.
#pragma once

#include <cstdint>
#include <vector>

#include "core/tabellen.h"
#include "picture.h"

namespace assets {

constexpr std::uint32_t kSeparatorColour = 0xC9C9C9;
constexpr std::uint32_t kLetterColour = 0x282828;  // the red font replaces exactly this
constexpr int kFontWidth = 920;
constexpr int kFontHeight = 152;
constexpr int kGlyphCount = Zeichenanzahl;

// The character of each glyph index 0..80 (80 is the line feed).
unsigned char glyph_character(int index);

Picture draw_font();

// The glyph table as the game reads it out of the picture (at 16 bits).
struct GlyphRect {
    int left;
    int top;
    int right;  // exclusive when drawn
    int bottom;
};
struct GlyphTable {
    std::vector<GlyphRect> glyphs;
    int average_width = 0;
    int average_height = 0;
};
bool read_glyphs(const Picture& font, GlyphTable& table);

}  // namespace assets
