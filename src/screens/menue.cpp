// The title and the menu: a background picture, a blinking prompt or the four
// menu items, and the version in the bottom left corner in a slowly drifting
// colour. The menu also pulses the red font, which every screen that writes
// in red shares, and records where its items lie for the mouse.
#include <cstdio>
#include <cstring>

#include "core/spielstand.h"
#include "core/tabellen.h"
#include "core/takt.h"
#include "gfx/bilder.h"
#include "platform/text.h"
#include "screens/screens.h"
#include "text/bitmaptext.h"

RECT Menue_Trefferfelder[4] = {};
std::uint32_t Hervorhebungsfarbe = 0xCC0000;

namespace {

// One drifting colour: each channel swings between 20 and 200 by a random
// step of 1 to 5 per frame.
struct Eckfarbe {
    int rot = 80;
    int gruen = 160;
    int blau = 240;
    std::uint8_t rot_steigt = 1;
    std::uint8_t gruen_steigt = 0;
    std::uint8_t blau_steigt = 1;
};

Eckfarbe Titel_Eckfarbe;
Eckfarbe Menue_Eckfarbe;

int Hervorhebung = 255;
std::uint8_t Hervorhebung_steigt = 1;

struct Menueeintrag {
    const char* text;
    int x;
    int y;
};

// "Exit Game" stands 20 pixels left of the others' centre; its hit
// rectangle does not follow it.
constexpr Menueeintrag kMenue[4] = {
    {"Start Game", 512, 100},
    {"Show Highscores", 512, 200},
    {"Show Credits", 512, 300},
    {"Exit Game", 492, 400},
};

constexpr int kVersion = 1014;

void Eckfarbe_pendeln(Eckfarbe& f) {
    Wert_pendeln(f.rot, 200, 20, Zufall() % 5 + 1, f.rot_steigt);
    Wert_pendeln(f.gruen, 200, 20, Zufall() % 5 + 1, f.gruen_steigt);
    Wert_pendeln(f.blau, 200, 20, Zufall() % 5 + 1, f.blau_steigt);
}

// The version number in the bottom left corner, in the platform's default
// font through the back buffer's device context.
void Ecktexte_zeichnen(const Eckfarbe& f) {
    platform::TextDC* dc = platform::get_dc(lpDDSBack);
    if (dc == nullptr) {
        return;
    }
    const int modus = platform::set_bk_mode(dc, platform::TRANSPARENT);
    const COLORREF farbe = platform::set_text_color(
        dc, RGB(static_cast<std::uint8_t>(f.rot), static_cast<std::uint8_t>(f.gruen),
                static_cast<std::uint8_t>(f.blau)));
    std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, " Version %d", kVersion);
    RECT bildschirm{0, 0, 1023, 767};
    platform::draw_text(dc, Zeilenpuffer, -1, &bildschirm,
                        platform::DT_SINGLELINE | platform::DT_BOTTOM);
    platform::set_text_color(dc, farbe);
    platform::set_bk_mode(dc, modus);
    platform::release_dc(lpDDSBack, dc);
}

void Menueeintrag_zeichnen(int index, Surface* schrift) {
    const Menueeintrag& e = kMenue[index];
    std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "%s", e.text);
    BitmapText_ausgeben(schrift, Zeilenpuffer, e.x, e.y, 2, lpDDSBack);
    Menue_Trefferfeld_setzen(512, e.y, 2, static_cast<int>(std::strlen(Zeilenpuffer)), index);
}

}  // namespace

void Hintergrund_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    DDraw_Bild_blitten(0, 0, Bild::Titel, lpDDSHintergrund, lpDDSBack);
}

void Titel_zeichnen() {
    Eckfarbe_pendeln(Titel_Eckfarbe);
    Hintergrund_zeichnen();
    if (Blinktakt(500, 0)) {
        BitmapText_ausgeben(lpDDSSchrift, "Press SPACE to start", 552, 683, 2, lpDDSBack);
    }
    Ecktexte_zeichnen(Titel_Eckfarbe);
    DDraw_Puffer_flippen();
}

void Menue_zeichnen() {
    Eckfarbe_pendeln(Menue_Eckfarbe);
    Hintergrund_zeichnen();

    // The red font is recoloured in place, so the red of every screen is the
    // menu's last pulse.
    Wert_pendeln(Hervorhebung, 250, 150, 2, Hervorhebung_steigt);
    const std::uint32_t neu = RGB_Farbe(Hervorhebung, 0, 0);
    DDraw_Offscreen_Color_change(lpDDSSchriftRot, Hervorhebungsfarbe, neu);
    Hervorhebungsfarbe = neu;

    const bool gewaehlt = Menuepunkt >= 0 && Menuepunkt <= 3;
    if (gewaehlt) {
        Menueeintrag_zeichnen(Menuepunkt, lpDDSSchriftRot);
    }
    for (int i = 0; i < 4; ++i) {
        if (!gewaehlt || i != Menuepunkt) {
            Menueeintrag_zeichnen(i, lpDDSSchrift);
        }
    }
    Ecktexte_zeichnen(Menue_Eckfarbe);
    DDraw_Puffer_flippen();
}

void Menue_Trefferfeld_setzen(int x, int y, int modus, int n, int index) {
    if (index < 0) {
        return;
    }
    if (index > 3) {
        index = 3;
    }
    const int W = Zeichensatz.W;
    const int H = Zeichensatz.H;
    RECT& r = Menue_Trefferfelder[index];
    if (modus == 2) {
        r = RECT{x - (n / 2) * W, y, x + (n / 2) * W, y + H};
    } else if (modus == 3) {
        r = RECT{x - n * W, y, x, y + H};
    } else {
        r = RECT{x, y, x + n * W, y + H};
    }
}
