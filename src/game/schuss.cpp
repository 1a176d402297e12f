// Shooting and reloading: the hit tests against the targets' rectangles and
// the horizon line, scoring by kind with the bonus for several hits at once,
// sounds panned to a target's place, and the short impact picture.
#include "audio/audio.h"
#include "core/spielstand.h"
#include "core/tabellen.h"
#include "core/takt.h"
#include "game/game.h"
#include "platform/system.h"

std::int32_t Einschlag_x = 0;
std::int32_t Einschlag_y = 0;
std::uint32_t Einschlag_Zeit = 0;

namespace {

bool spielt(int klang) {
    // Exactly "playing": a status with more flags set does not count.
    return platform::sound_buffer_status(lpDSBSounds[klang]) == platform::kSoundStatusPlaying;
}

// Points and hit sound by kind; a kind without an entry scores 5 silently.
struct Wertung {
    std::int32_t punkte;
    int klang;  // -1: none
};
Wertung wertung(std::int32_t typ) {
    switch (typ) {
        case Typ::Kleiner_Flieger:
            return {35, Klang::Flieger_getroffen};
        case Typ::Mittlerer_Flieger:
            return {20, Klang::Flieger_getroffen};
        case Typ::Grosser_Flieger:
            return {10, Klang::Flieger_getroffen};
        case Typ::Aufsteiger:
            return {75, Klang::Aufsteiger_getroffen};
        case Typ::Lauerer:
            return {100, Klang::Lauerer_getroffen};
        default:
            return {5, -1};
    }
}

// Bonus for several targets with one shot.
Wertung bonus(int treffer) {
    if (treffer == 2) {
        return {25, Klang::Bonus_zwei};
    }
    if (treffer == 3) {
        return {50, Klang::Bonus_drei};
    }
    if (treffer >= 4 && treffer <= 9) {
        return {100, Klang::Bonus_viele};
    }
    return {0, -1};
}

// The target falls straight down showing its hit picture, small ones slowest.
void abschiessen(Objekt& o) {
    o.Zus = Zus::Getroffen;
    o.Rich = 8;
    o.animiert = 0;
    o.bewegt = 1;
    o.Sprite.Bild = o.Sprite.Bildanzahl - 1;
    if (o.Sprite.Typ == Typ::Kleiner_Flieger) {
        o.dy = 2;
    } else if (o.Sprite.Typ == Typ::Mittlerer_Flieger) {
        o.dy = 4;
    } else {
        o.dy = 6;
    }
}

}  // namespace

void Schuss_abgeben(std::int32_t maus_x, std::int32_t maus_y) {
    // The shot sound's length is the shortest time between two shots; a
    // click meanwhile is ignored without a sound.
    if (spielt(Klang::Schuss)) {
        return;
    }
    if (Patronen <= 0) {
        Klang_abspielen(Klang::Leer);
        return;
    }
    if (spielt(Klang::Nachladen)) {
        return;
    }
    Patronen -= 1;
    Klang_abspielen(Klang::Schuss);

    const std::int32_t welt_x = maus_x - Scroll_x;
    int treffer = 0;
    std::int32_t gewinn = 0;
    // Every target under the crosshair is hit, in slot order, unless it
    // stands behind the landscape where the landscape covers the point.
    for (int j = 0; j < kSlots; ++j) {
        Objekt& o = Objekte[j];
        if (o.Zus != Zus::Im_Spiel || !Treffer_pruefen(j, welt_x, maus_y) ||
            (o.Ebene == 1 && Hinter_Horizont(welt_x, maus_y))) {
            continue;
        }
        Kills += 1;
        treffer += 1;
        Einschlag_merken(maus_x, maus_y);
        const Wertung w = wertung(o.Sprite.Typ);
        if (w.klang >= 0) {
            Objektgeraeusch(j, w.klang);
        }
        gewinn += w.punkte;
        abschiessen(o);
    }
    const Wertung b = bonus(treffer);
    if (b.klang >= 0) {
        gewinn += b.punkte;
        Klang_abspielen(b.klang);
    }
    // A miss leaves the last gain and its pop-up alone.
    if (gewinn == 0) {
        return;
    }
    Letzter_Gewinn = gewinn;
    Punkte += gewinn;
    Gewinnzeit = platform::tick_count();
    if (Punkte > Highscore) {
        Rekordfigur(1, 0);
    }
}

void Nachladen() {
    Klang_abspielen(Klang::Nachladen);
    Patronen = kVolleLadung;
}

bool Treffer_pruefen(int slot, std::int32_t welt_x, std::int32_t y) {
    if (slot < 0 || slot >= kSlots) {
        return false;
    }
    const Objekt& o = Objekte[slot];
    return o.L <= welt_x && welt_x <= o.R && o.T <= y && y <= o.B;
}

bool Hinter_Horizont(std::int32_t welt_x, std::int32_t y) {
    // A step function: within a stretch its left point's height counts; on
    // a point's own x, and outside the line, nothing is hidden.
    for (int i = 0; i + 1 < Horizontpunkte; ++i) {
        if (Horizontlinie[i].x < welt_x && welt_x < Horizontlinie[i + 1].x) {
            return y > Horizontlinie[i].y;
        }
    }
    return false;
}

void Objektgeraeusch(int slot, int klang) {
    if (slot < 0 || slot >= kSlots) {
        return;
    }
    const Objekt& o = Objekte[slot];
    const std::int32_t mitte = o.x + o.Sprite.Breite / 2;
    // The world x at the middle of the screen.
    const std::int32_t bezug = 512 - Scroll_x;
    std::int32_t pan = (mitte - bezug) * 10;
    if (pan < -10000) {
        pan = -10000;
    } else if (pan > 10000) {
        pan = 10000;
    }
    Klang_abspielen(klang, pan, 10000);
}

void Einschlag_merken(std::int32_t x, std::int32_t y) {
    Einschlag_Zeit = platform::tick_count();
    Einschlag_x = x;
    Einschlag_y = y;
}
