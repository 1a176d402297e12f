// Bitmap fonts read out of a picture by separator rows, text drawing at the
// glyphs' own size or stretched, and the credits effect of flying letters.
#pragma once

#include <cstdint>

#include "gfx/bilder.h"
#include "gfx/ddraw.h"

// One glyph cell: left, top inclusive; right, bottom exclusive when blitted.
struct Glyphe {
    std::int32_t left, top, right, bottom;
};

struct Glyphentabelle {
    Glyphe zeichen[99];
    std::int32_t W;  // average glyph width
    std::int32_t H;  // average glyph height
};

extern Glyphentabelle Zeichensatz;

int BitmapText_einlesen(Surface* font, Glyphentabelle* tabelle, std::uint32_t trennfarbe);
// The glyph of a character; kKeinZeichen for one the font has none of. Such a
// character moves the pen by the advance of the glyph drawn last, so leading
// blanks take no room.
inline constexpr int kKeinZeichen = 81;
int BitmapText_Zeichenindex(char zeichen);
int BitmapText_ausgeben(Surface* font, const char* text, int x, int y, int modus, Surface* ziel);
int BitmapText_vergroessert_ausgeben(Surface* font, const char* text, int x, int y, int modus,
                                     int wachstum, Surface* ziel);
std::int32_t BitmapText_Credits_Effekt(std::int32_t operation, const char* text, std::int32_t x,
                                       std::int32_t y, Surface* font, Surface* ziel);
void BitmapText_Zeilenbreiten(const Glyphentabelle* tabelle, const char* text,
                              std::int32_t* breiten, int max_zeilen);
