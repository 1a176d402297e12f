// Movement of the targets and the scrolled view: one step of play per pass,
// the decisions of each kind at the edges of its zone, and edge scrolling.
#include "core/spielstand.h"
#include "core/tabellen.h"
#include "core/takt.h"
#include "game/game.h"
#include "platform/system.h"

std::int32_t Scroll_x = -512;

namespace {

// The screen width, and with it the scroll limit.
constexpr std::int32_t kBildschirmbreite = 1024;
constexpr std::int32_t kLandschaftsbreite = Bildgroessen[Bild::Landschaft].Breite;

// Step per pass of each direction, before the slot's addends: a is dx, b is
// dy, and each step is sx * (a + ax) across and sy * (b + by) down. Screen y
// grows downwards; 0 is up, 4 right, 8 down, 12 left.
struct Schritt {
    int sx;
    int ax;
    int sy;
    int by;
};
constexpr Schritt kRichtungen[16] = {
    {0, 0, -1, 1}, {1, 1, -1, 3},  {1, 4, -1, 3},  {1, 3, -1, 1},   // 0 to 3
    {1, 2, 0, 0},  {1, 3, 1, 1},   {1, 4, 1, 3},   {1, 1, 1, 3},    // 4 to 7
    {0, 0, 1, 1},  {-1, 1, 1, 3},  {-1, 4, 1, 3},  {-1, 3, 1, 1},   // 8 to 11
    {-1, 2, 0, 0}, {-1, 3, -1, 1}, {-1, 4, -1, 3}, {-1, 1, -1, 3},  // 12 to 15
};

bool gueltig(int slot) {
    return slot >= 0 && slot < kSlots;
}

bool zwischen(std::int32_t wert, std::int32_t von, std::int32_t bis) {
    return wert >= von && wert <= bis;
}

// The slot has left play and counts as escaped. A flyer hit in its last
// step inside the left edge is already beyond it when it starts to fall (the
// hit rectangle is a step behind the move): it is gone, but it did not escape.
void entkommen(int slot) {
    if (Objekte[slot].Zus == Zus::Getroffen) {
        Objekte[slot].Zus = Zus::Weg;
    } else {
        Objekte[slot].Zus = Zus::Entkommen;
        Lose += 1;
    }
    Wartezeit_setzen(slot);
}

// The slot has left play without counting.
void verschwunden(int slot) {
    Objekte[slot].Zus = Zus::Weg;
    Wartezeit_setzen(slot);
}

// Riser and peeker: risen to oben, pause there for dauer ms; back below the
// screen, out of play.
void auf_und_ab(int slot, std::int32_t oben, std::uint32_t dauer) {
    Objekt& o = Objekte[slot];
    if (o.bewegt == 0 && o.Phase == 1) {
        return;
    }
    if (o.y <= oben && o.Zus == Zus::Im_Spiel && o.Phase == 0) {
        o.bewegt = 0;
        o.Startzeit = platform::tick_count();
        o.Dauer = dauer;
        o.Phase = 1;
        return;
    }
    if (o.y > 778) {
        if (o.Zus == Zus::Getroffen) {
            o.Zus = Zus::Weg;
        } else {
            o.Zus = Zus::Entkommen;
            Lose += 1;
        }
        Wartezeit_setzen(slot);
    }
}

}  // namespace

void Objekte_bewegen() {
    Randscrollen(Maus_x);
    for (int i = 0; i < kSlots; ++i) {
        Objekt& o = Objekte[i];
        // The picture is drawn where the slot was before this step.
        Bildposition_setzen(i);
        if (o.Zus == Zus::Entkommen || o.Zus == Zus::Weg) {
            // A relaunched slot keeps its last rectangle until its first step.
            Wiederkehr_pruefen(i);
            continue;
        }
        // A hit target keeps the rectangle of the moment it was hit.
        if (o.Zus == Zus::Im_Spiel) {
            Trefferrechteck_setzen(i);
        }
        switch (o.Sprite.Typ) {
            case Typ::Kleiner_Flieger:
            case Typ::Mittlerer_Flieger:
            case Typ::Grosser_Flieger:
                Flieger_Kurswechsel(i);
                Flieger_Grenzen(i);
                break;
            case Typ::Aufsteiger:
                Abtauchen_pruefen(i);
                Aufsteiger_Grenzen(i);
                break;
            case Typ::Lauerer:
                Abtauchen_pruefen(i);
                Lauerer_Grenzen(i);
                break;
            default:
                break;
        }
        // Also made when the decision above has just taken the slot out of
        // play; it is not drawn any more, and the relaunch sets it anew.
        if (o.bewegt != 0 && zwischen(o.Rich, 0, 15)) {
            const Schritt& s = kRichtungen[o.Rich];
            o.x += s.sx * (o.dx + s.ax);
            o.y += s.sy * (o.dy + s.by);
        }
    }
}

void Ansicht_scrollen(std::int32_t modus, std::int32_t betrag) {
    if (modus == 0) {
        // Only the stored position moves; the pointer stays where it is.
        Maus_x = 512;
        Maus_y = 384;
        Scroll_x = 512 - kBildschirmbreite;
    } else if (modus == 1) {
        Scroll_x += betrag;
        if (Scroll_x > 0) {
            Scroll_x = 0;
        }
    } else if (modus == 2) {
        Scroll_x -= betrag;
        if (Scroll_x < -kBildschirmbreite) {
            Scroll_x = -kBildschirmbreite;
        }
    }
}

void Randscrollen(std::int32_t maus_x) {
    // Fast in the outer eight pixels of each side, slower further in.
    if (maus_x <= 8) {
        Ansicht_scrollen(1, 50);
    } else if (maus_x >= 1016) {
        Ansicht_scrollen(2, 50);
    } else if (maus_x <= 64) {
        Ansicht_scrollen(1, 20);
    } else if (maus_x >= 960) {
        Ansicht_scrollen(2, 20);
    }
}

void Trefferrechteck_setzen(int slot) {
    if (!gueltig(slot)) {
        return;
    }
    Objekt& o = Objekte[slot];
    o.L = o.x + o.Sprite.Links;
    o.R = o.x + o.Sprite.Rechts;
    o.T = o.y + o.Sprite.Oben;
    o.B = o.y + o.Sprite.Unten;
}

void Bildposition_setzen(int slot) {
    if (!gueltig(slot)) {
        return;
    }
    Objekt& o = Objekte[slot];
    o.Sprite.x = o.x + Scroll_x;
    o.Sprite.y = o.y;
}

void Flieger_Kurswechsel(int slot) {
    if (!gueltig(slot)) {
        return;
    }
    Objekt& o = Objekte[slot];
    const std::uint32_t jetzt = platform::tick_count();
    if (jetzt - o.Startzeit < o.Dauer) {
        return;
    }
    // No change near or beyond the top and the bottom of the flying zone.
    if (o.y <= 0 || o.y >= 550) {
        return;
    }
    Zufall_saeen(jetzt);
    // Level or a sixteenth up or down, keeping the horizontal sense; a
    // falling flyer (8) only renews its timer.
    if (zwischen(o.Rich, 1, 7)) {
        o.Rich = 3 + Zufall() % 3;
    } else if (zwischen(o.Rich, 9, 15)) {
        o.Rich = 11 + Zufall() % 3;
    }
    o.Dauer = 100 + static_cast<std::uint32_t>(Zufall() % 2000);
    o.Startzeit = jetzt;
}

void Flieger_Grenzen(int slot) {
    if (!gueltig(slot)) {
        return;
    }
    Objekt& o = Objekte[slot];
    Zufall_saeen(platform::tick_count());
    const std::int32_t breite = o.Sprite.Breite;

    // The bottom: a falling flyer leaves the screen; the small flyers, behind
    // the landscape, turn higher up than the others.
    const bool unten = (o.Zus == Zus::Getroffen && o.y > 768) ||
                       (o.Zus != Zus::Getroffen && o.y > 550 && o.Ebene == 0) ||
                       (o.Zus != Zus::Getroffen && o.y > 450 && o.Ebene == 1);
    if (unten) {
        if (zwischen(o.Rich, 5, 7)) {
            o.Rich = 1 + Zufall() % 3;
        } else if (zwischen(o.Rich, 9, 11)) {
            o.Rich = 13 + Zufall() % 3;
        } else {
            // Level, upwards or falling: gone without counting.
            verschwunden(slot);
        }
        return;
    }
    // The sides: heading inwards it is still coming in; otherwise it escaped.
    if (o.x < -breite) {
        if (!zwischen(o.Rich, 1, 7)) {
            entkommen(slot);
        }
        return;
    }
    if (o.x > breite + kLandschaftsbreite) {
        if (!zwischen(o.Rich, 9, 15)) {
            entkommen(slot);
        }
        return;
    }
    // Above the top: turn down, unless still coming in from there.
    if (o.y >= 0 || o.Zus == Zus::Getroffen) {
        return;
    }
    if (zwischen(o.Rich, 1, 4)) {
        o.Rich = 5 + Zufall() % 3;
    } else if (zwischen(o.Rich, 12, 15)) {
        o.Rich = 9 + Zufall() % 3;
    } else if (o.Rich == 0 || o.Rich == 8) {
        entkommen(slot);
    }
}

void Abtauchen_pruefen(int slot) {
    if (!gueltig(slot)) {
        return;
    }
    Objekt& o = Objekte[slot];
    if (o.Phase == 1 && platform::tick_count() - o.Startzeit > o.Dauer) {
        o.Rich = 8;
        o.Phase = 2;
        o.bewegt = 1;
    }
}

void Aufsteiger_Grenzen(int slot) {
    if (!gueltig(slot)) {
        return;
    }
    // Fully in view when its top is 774 - height: y 580 for the riser.
    auf_und_ab(slot, 774 - Objekte[slot].Sprite.Hoehe, 800);
}

void Lauerer_Grenzen(int slot) {
    if (!gueltig(slot)) {
        return;
    }
    // Three pixels above its hiding place after 13 steps of 7.
    auf_und_ab(slot, Verstecke[Versteck_Nr][1], 1400);
}
