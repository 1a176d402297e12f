// The frame of play: sky, the targets behind and in front of the scrolled
// landscape, the pop-up figure, points and time, the impact, the shells left,
// the debug overlay and the short-lived pop-ups, in this order, each painting
// over what came before.
#include <cstdio>
#include <cstring>

#include "audio/audio.h"
#include "core/spielstand.h"
#include "core/tabellen.h"
#include "core/takt.h"
#include "game/game.h"
#include "gfx/bilder.h"
#include "platform/system.h"
#include "platform/text.h"
#include "screens/screens.h"
#include "text/bitmaptext.h"

namespace {

// When the targets' frames last advanced; 0 at load, so the first frame of
// play advances them at once.
std::uint32_t Animationszeit = 0;

constexpr std::uint32_t kAnimationsabstand = 200;
constexpr std::uint32_t kGewinnDauer = 1000;
constexpr std::uint32_t kTiteldauer = 2500;
// The impact picture is shown this long after a hit, in ms.
constexpr std::uint32_t kEinschlagdauer = 125;
// The pop-up figure stands centred on the screen when the view has not
// scrolled since it started.
constexpr std::int32_t kFigur_x = 512 - Bildgroessen[Bild::Rekordfigur].Breite / 2;

void Landschaft_blitten() {
    DDraw_Bild_blitten(Scroll_x, Landschaft_y, Bild::Landschaft, lpDDSLandschaft, lpDDSBack);
}

}  // namespace

void Landschaft_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, Himmelsfarbe);
    Landschaft_blitten();
}

void Rekordfigur_zeigen() {
    if (Rekordfigur(0, 0)) {
        DDraw_Bild_blitten(kFigur_x + Scroll_x + Figur_Anker, Figur_y, Bild::Rekordfigur,
                           lpDDSRekordfigur, lpDDSBack);
    }
}

void Einschlag_zeichnen() {
    // Drawn at the click's screen position: it does not scroll with the view.
    if (platform::tick_count() - Einschlag_Zeit < kEinschlagdauer) {
        DDraw_Bild_blitten(Einschlag_x - Bildgroessen[Bild::Einschuss].Breite / 2,
                           Einschlag_y - Bildgroessen[Bild::Einschuss].Hoehe / 2, Bild::Einschuss,
                           lpDDSEinschuss, lpDDSBack);
    }
}

void Objekte_animieren() {
    const std::uint32_t jetzt = platform::tick_count();
    if (jetzt - Animationszeit <= kAnimationsabstand) {
        return;
    }
    for (Objekt& objekt : Objekte) {
        if (objekt.aktiv != 0 && objekt.animiert != 0) {
            Sprite_Bild_weiter(&objekt.Sprite);
        }
    }
    // Backdating the stamp by up to 99 ms keeps the targets from flapping in
    // step with each other frame after frame.
    Animationszeit = platform::tick_count() - static_cast<std::uint32_t>(Zufall() % 100);
}

void Objekte_zeichnen(std::uint8_t ebene) {
    for (Objekt& objekt : Objekte) {
        if (objekt.Ebene != ebene || objekt.Zus == Zus::Entkommen || objekt.Zus == Zus::Weg ||
            objekt.aktiv == 0) {
            continue;
        }
        DDraw_Sprite_blitten(&objekt.Sprite, lpDDSBack);
    }
}

void Statuszeile_zeichnen() {
    if (Debugmodus == 0) {
        std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "Points:%04i", Punkte);
        BitmapText_ausgeben(lpDDSSchrift, Zeilenpuffer, 10, 10, 1, lpDDSBack);
        std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "Time:%03i", Zeit);
        BitmapText_ausgeben(lpDDSSchrift, Zeilenpuffer, 794, 10, 1, lpDDSBack);
        return;
    }
    platform::TextDC* dc = platform::get_dc(lpDDSBack);
    if (dc == nullptr) {
        return;
    }
    std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer,
                  "Points:%04i | Highscore:%04i | Kills:%03i | Lose:%03i | Time:%04i", Punkte,
                  Highscore, Kills, Lose, Zeit);
    const int modus = platform::set_bk_mode(dc, platform::TRANSPARENT);
    platform::text_out(dc, 599, 20, Zeilenpuffer, static_cast<int>(std::strlen(Zeilenpuffer)));
    platform::set_bk_mode(dc, modus);
    platform::release_dc(lpDDSBack, dc);
}

void Patronen_zeichnen(Surface* patrone) {
    for (int i = 0; i < Patronen; ++i) {
        DDraw_Bild_blitten(1004 - 22 * (i + 1), 620, Bild::Patrone, patrone, lpDDSBack);
    }
}

void Debug_Objekte_zeichnen() {
    platform::TextDC* dc = platform::get_dc(lpDDSBack);
    if (dc == nullptr) {
        return;
    }
    const int modus = platform::set_bk_mode(dc, platform::TRANSPARENT);
    for (int n = 0; n < kSlots; ++n) {
        const Objekt& o = Objekte[n];
        std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer,
                      "Obj-Nr:%02i Obj-Typ:%02i Zus:%i Rich:%02i T:%04i L:%04i B:%04i R:%04i", n,
                      o.Sprite.Typ, o.Zus, o.Rich, o.T, o.L, o.B, o.R);
        platform::text_out(dc, 20, 20 + 20 * n, Zeilenpuffer,
                           static_cast<int>(std::strlen(Zeilenpuffer)));
    }
    platform::set_bk_mode(dc, modus);
    platform::release_dc(lpDDSBack, dc);
}

void Einblendungen_zeichnen() {
    // Both pop-ups switch themselves off once their time is up; unsigned
    // differences carry them over the wrap of the tick count.
    if (Gewinnzeit != 0) {
        if (platform::tick_count() - Gewinnzeit >= kGewinnDauer) {
            Gewinnzeit = 0;
        } else {
            std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, Letzter_Gewinn > 0 ? "+%i" : "%i",
                          Letzter_Gewinn);
            BitmapText_ausgeben(lpDDSSchriftRot, Zeilenpuffer, 512, 10, 2, lpDDSBack);
        }
    }
    if (Mp3_Startzeit != 0) {
        if (platform::tick_count() - Mp3_Startzeit >= kTiteldauer) {
            Mp3_Startzeit = 0;
        } else if (Mp3_Nummer >= 0 && Mp3_Nummer < 10) {
            // The file name may be longer than the line: it is cut to fit.
            std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "%s", Mp3_Liste[Mp3_Nummer]);
            // The extension goes; a name whose only dot leads it stays whole.
            for (int i = static_cast<int>(std::strlen(Zeilenpuffer)) - 1; i >= 1; --i) {
                if (Zeilenpuffer[i] == '.') {
                    Zeilenpuffer[i] = '\0';
                    break;
                }
            }
            BitmapText_ausgeben(lpDDSSchrift, Zeilenpuffer, 20, 718, 1, lpDDSBack);
        }
    }
}

void Spielszene_zeichnen() {
    Objekte_animieren();
    DDraw_Puffer_leeren(lpDDSBack, Himmelsfarbe);
    Objekte_zeichnen(1);
    Landschaft_blitten();
    Objekte_zeichnen(0);
    Rekordfigur_zeigen();
    Statuszeile_zeichnen();
    Einschlag_zeichnen();
    Patronen_zeichnen(lpDDSPatrone);
    if (Debugmodus != 0) {
        Debug_Objekte_zeichnen();
    }
    Einblendungen_zeichnen();
    DDraw_Puffer_flippen();
}
