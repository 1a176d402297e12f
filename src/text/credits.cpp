// The credits effect: every letter of a page flies in from its own random
// point beyond the screen's edges to its place in the page's lines, and back.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/core.h"
#include "platform/system.h"
#include "text/bitmaptext.h"

namespace {

constexpr std::uint32_t kMaxZeichen = 96;
constexpr int kMaxZeilen = 16;
constexpr char kZeilenende = '\n';

// One effect at a time; the state outlives the credits screen, so a page left
// half-flown continues when the steps resume.
struct Effektzustand {
    char text[kMaxZeichen + 1];
    std::uint32_t n;
    std::int32_t x0;  // left edge of every line, or 0 to centre each on x 512
    std::int32_t y0;
    std::int32_t zeilenbreiten[kMaxZeilen + 1];
    std::int32_t jetzt[kMaxZeichen][2];
    std::int32_t start[kMaxZeichen][2];
};

Effektzustand effekt{};

// Moves one coordinate one step toward its target: the far step while 20 or
// more pixels away, then single pixels. A step never passes the target.
std::int32_t Schrittweite(std::int32_t von, std::int32_t nach, std::int32_t weit) {
    const std::int32_t abstand = nach - von;
    std::int32_t schritt = (abstand >= 20 || abstand <= -20) ? weit : 1;
    if (schritt > std::abs(abstand)) {
        schritt = std::abs(abstand);
    }
    return abstand > 0 ? schritt : -schritt;
}

// One movement step of a letter. True when it was already in place, so a
// letter that arrives in this step counts only from the next one on.
bool Buchstabe_bewegen(std::int32_t* pos, std::int32_t zx, std::int32_t zy, std::int32_t weit_x,
                       std::int32_t weit_y) {
    if (pos[0] == zx && pos[1] == zy) {
        return true;
    }
    // Diagonal while both coordinates differ, then straight along the other.
    pos[0] += Schrittweite(pos[0], zx, weit_x);
    pos[1] += Schrittweite(pos[1], zy, weit_y);
    return false;
}

std::int32_t Zeilenanfang(std::int32_t zeile) {
    if (effekt.x0 != 0) {
        return effekt.x0;
    }
    // Lines past the last measured one have the width 0 of the final entry.
    const std::int32_t breite = effekt.zeilenbreiten[zeile < kMaxZeilen ? zeile : kMaxZeilen];
    return 512 - (breite >> 1);
}

void Seite_beginnen(const char* text, std::int32_t x, std::int32_t y) {
    const std::size_t laenge = std::strlen(text);
    effekt.n = static_cast<std::uint32_t>(laenge);
    std::memcpy(effekt.text, text, laenge);
    effekt.x0 = x;
    effekt.y0 = y;
    BitmapText_Zeilenbreiten(&Zeichensatz, effekt.text, effekt.zeilenbreiten, kMaxZeilen);

    for (std::uint32_t i = 0; i < effekt.n; ++i) {
        std::int32_t* p = effekt.jetzt[i];
        switch (Zufall() % 4) {
            case 0:  // above the top edge
                p[0] = Zufall() % 1124 - 50;
                p[1] = -50 - Zufall() % 100;
                break;
            case 1:  // right of the right edge
                p[0] = 1074 + Zufall() % 100;
                p[1] = Zufall() % 868 - 50;
                break;
            case 2:  // below the bottom edge
                p[0] = Zufall() % 1124 - 50;
                p[1] = 818 + Zufall() % 100;
                break;
            default:  // left of the left edge
                p[0] = -50 - Zufall() % 100;
                p[1] = Zufall() % 868 - 50;
                break;
        }
    }
    std::memcpy(effekt.start, effekt.jetzt, sizeof effekt.start);
}

// One step of every letter toward its place (hinein) or back to its start
// point. Returns the number of characters in place, or -1 if a blit failed.
int Schritt(bool hinein, Surface* font, Surface* ziel) {
    const std::int32_t weit_x = hinein ? 16 : 32;
    const std::int32_t weit_y = hinein ? 12 : 24;
    std::int32_t zeile = 0;
    std::int32_t zeile_x = Zeilenanfang(0);
    std::int32_t zeile_y = effekt.y0;
    std::int32_t vorschub = 0;
    // Height of the last glyph placed, for the next line feed; a page that
    // begins with a line feed gets a blank line of the average height.
    std::int32_t letzte_hoehe = Zeichensatz.H;
    int am_platz = 0;

    for (std::uint32_t i = 0; i < effekt.n; ++i) {
        const char c = effekt.text[i];
        if (c == kZeilenende) {
            ++zeile;
            zeile_y += letzte_hoehe + 10;
            zeile_x = Zeilenanfang(zeile);
            vorschub = 0;
            ++am_platz;
            continue;
        }
        const int g = BitmapText_Zeichenindex(c);
        zeile_x += vorschub;
        if (g == kKeinZeichen) {
            ++am_platz;
            continue;
        }
        const Glyphe& glyphe = Zeichensatz.zeichen[g];
        const std::int32_t w = glyphe.right - glyphe.left;
        const std::int32_t h = glyphe.bottom - glyphe.top;
        vorschub = w;
        letzte_hoehe = h;

        std::int32_t* pos = effekt.jetzt[i];
        if (font == nullptr || ziel == nullptr) {
            return -1;
        }
        // Letters beyond the edges are cut by the destination's clipper.
        const RECT quelle{glyphe.left, glyphe.top, glyphe.right, glyphe.bottom};
        const RECT zielrechteck{pos[0], pos[1], pos[0] + w, pos[1] + h};
        if (platform::blit(*ziel, zielrechteck, *font, quelle, true) != platform::kOk) {
            return -1;
        }
        const std::int32_t zx = hinein ? zeile_x : effekt.start[i][0];
        const std::int32_t zy = hinein ? zeile_y : effekt.start[i][1];
        if (Buchstabe_bewegen(pos, zx, zy, weit_x, weit_y)) {
            ++am_platz;
        }
    }
    return am_platz;
}

}  // namespace

std::int32_t BitmapText_Credits_Effekt(std::int32_t operation, const char* text, std::int32_t x,
                                       std::int32_t y, Surface* font, Surface* ziel) {
    switch (operation) {
        case 0: {
            Zufall_saeen(platform::tick_count());
            effekt = Effektzustand{};
            const char* seite = text != nullptr ? text : "";
            if (std::strlen(seite) > kMaxZeichen) {
                // The cleared state is an empty page, so a step run after the
                // refusal draws nothing instead of reading past the buffers.
                return -3;
            }
            Seite_beginnen(seite, x, y);
            return 1;
        }
        case 1: {
            const int am_platz = Schritt(true, font, ziel);
            if (am_platz < 0) {
                return -1;
            }
            return static_cast<std::uint32_t>(am_platz) == effekt.n ? 3 : 2;
        }
        case 2: {
            const int am_platz = Schritt(false, font, ziel);
            if (am_platz < 0) {
                return -2;
            }
            return static_cast<std::uint32_t>(am_platz) == effekt.n ? 5 : 4;
        }
        default:
            return 0;
    }
}

void BitmapText_Zeilenbreiten(const Glyphentabelle* tabelle, const char* text,
                              std::int32_t* breiten, int max_zeilen) {
    if (tabelle == nullptr || text == nullptr || breiten == nullptr) {
        return;
    }
    if (max_zeilen <= 0) {
        breiten[0] = 0;
        return;
    }
    int zeile = 0;
    std::int32_t breite = 0;
    std::int32_t vorschub = 0;  // width of the last glyph on this line
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == kZeilenende) {
            breiten[zeile++] = breite;
            if (zeile == max_zeilen) {
                breiten[zeile] = 0;
                return;
            }
            breite = 0;
            vorschub = 0;
            continue;
        }
        const int g = BitmapText_Zeichenindex(*p);
        if (g == kKeinZeichen) {
            breite += vorschub;
            continue;
        }
        const Glyphe& glyphe = tabelle->zeichen[g];
        vorschub = glyphe.right - glyphe.left;
        breite += vorschub;
    }
    breiten[zeile] = breite;
}
