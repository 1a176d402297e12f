// Strings drawn with a bitmap font, one keyed blit per glyph, at the glyphs'
// own size or stretched outward by a growth value.
#include <algorithm>
#include <cstring>

#include "text/bitmaptext.h"

namespace {

constexpr int kRechterRand = 1023;
constexpr int kUntererRand = 767;

bool Zeile_sichtbar(int y) {
    return y >= -Zeichensatz.H && y <= kUntererRand;
}

}  // namespace

// Returns 0 when the string was handled (also when it ran off the screen),
// 1 when a surface or the string is missing, or the result of a failed blit.
int BitmapText_ausgeben(Surface* font, const char* text, int x, int y, int modus, Surface* ziel) {
    if (font == nullptr || text == nullptr || ziel == nullptr) {
        return 1;
    }
    // Alignment estimates the width from the average glyph width: no
    // measuring pass over the string.
    const int n = static_cast<int>(std::strlen(text));
    if (modus == 2) {
        x -= (n / 2) * Zeichensatz.W;
    } else if (modus == 3) {
        x -= n * Zeichensatz.W;
    }

    // A character without a glyph moves the pen by the width of the glyph
    // drawn last, so leading blanks take no room.
    int vorschub = 0;
    for (int i = 0; i < n; ++i) {
        const int g = BitmapText_Zeichenindex(text[i]);
        x += vorschub;
        if (g == kKeinZeichen) {
            continue;
        }
        if (x < 0 || x > kRechterRand || !Zeile_sichtbar(y)) {
            return 0;
        }
        const Glyphe& glyphe = Zeichensatz.zeichen[g];
        const int w = glyphe.right - glyphe.left;
        const int h = glyphe.bottom - glyphe.top;
        const RECT quelle{glyphe.left, glyphe.top, glyphe.right, glyphe.bottom};
        const RECT zielrechteck{x, y, x + w, y + h};
        const int ergebnis = platform::blit(*ziel, zielrechteck, *font, quelle, true);
        if (ergebnis != platform::kOk) {
            return ergebnis;
        }
        vorschub = w;
    }
    return 0;
}

// Each glyph grows by the growth value to the left, right and top, and by
// three quarters of it downward; neighbours overlap by the growth.
int BitmapText_vergroessert_ausgeben(Surface* font, const char* text, int x, int y, int modus,
                                     int wachstum, Surface* ziel) {
    if (font == nullptr || text == nullptr || ziel == nullptr) {
        return 1;
    }
    if (!Zeile_sichtbar(y)) {
        return 0;
    }
    const int n = static_cast<int>(std::strlen(text));
    if (modus == 1) {
        x -= (n / 2) * wachstum;
    } else if (modus == 2) {
        x -= (Zeichensatz.W + wachstum) * (n / 2);
    } else if (modus == 3) {
        x -= (Zeichensatz.W + wachstum) * n;
    }

    int vorschub = 0;
    for (int i = 0; i < n; ++i) {
        const int g = BitmapText_Zeichenindex(text[i]);
        x += vorschub;
        if (g == kKeinZeichen) {
            continue;
        }
        if (x < 0 || x > kRechterRand) {
            return 0;
        }
        const Glyphe& glyphe = Zeichensatz.zeichen[g];
        const int w = glyphe.right - glyphe.left;
        const int h = glyphe.bottom - glyphe.top;
        // A small glyph limits the growth, and the limit holds for the rest of
        // the string, so a heading keeps one size after its narrowest letter.
        wachstum = std::min(wachstum, w);
        wachstum = std::min(wachstum, h);
        const RECT quelle{glyphe.left, glyphe.top, glyphe.right, glyphe.bottom};
        const RECT zielrechteck{x - wachstum, y - wachstum, x + w + wachstum,
                                y + h + 3 * (wachstum / 4)};
        const int ergebnis = platform::blit_stretched(*ziel, zielrechteck, *font, quelle);
        if (ergebnis != platform::kOk) {
            return ergebnis;
        }
        vorschub = w + wachstum;
    }
    return 0;
}
