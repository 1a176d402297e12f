// The eleven target slots, the peeker's hiding places, launching and the
// respawn wait.
#include "core/spielstand.h"
#include "core/tabellen.h"
#include "core/takt.h"
#include "game/game.h"
#include "platform/system.h"

Objekt Objekte[kSlots] = {};
std::int32_t Verstecke[8][2] = {};
std::int32_t Versteck_Nr = 0;

namespace {

constexpr int kMaxBilder = 6;
constexpr std::int32_t kLandschaftsbreite = Bildgroessen[Bild::Landschaft].Breite;

bool ist_flieger(std::int32_t typ) {
    return typ >= Typ::Kleiner_Flieger && typ <= Typ::Grosser_Flieger;
}

bool gueltig(int slot) {
    return slot >= 0 && slot < kSlots;
}

// A flyer from the left or right side heads level or a sixteenth up or down.
std::int32_t seitliche_richtung(std::int32_t gerade, std::int32_t hoch, std::int32_t runter) {
    const std::int32_t k = Zufall() % 6;
    if (k == 1) {
        return hoch;
    }
    if (k == 2) {
        return runter;
    }
    return gerade;
}

// Steeply down to the right (facing right) or to the left (facing left).
void von_oben_rechts(int slot) {
    Blickrichtung_setzen(slot, 0);
    Objekte[slot].Rich = 5 + Zufall() % 3;
}

void von_oben_links(int slot) {
    Blickrichtung_setzen(slot, 1);
    Objekte[slot].Rich = 9 + Zufall() % 3;
}

// What every launch sets alike: in play (or waiting, as asked), moving,
// drawn and animated from its first frame.
void losschicken(Objekt& o, std::int32_t zustand) {
    o.Zus = zustand;
    o.bewegt = 1;
    o.aktiv = 1;
    o.animiert = 1;
    o.Sprite.Bild = 0;
}

}  // namespace

void Verstecke_setzen() {
    for (int i = 0; i < 8; ++i) {
        Verstecke[i][0] = Versteckorte[i].x;
        Verstecke[i][1] = Versteckorte[i].y;
    }
    Versteck_Nr = 0;
}

void Objekt_anlegen(const ::Sprite* vorlage, int slot, std::uint8_t ebene) {
    if (vorlage == nullptr || !gueltig(slot)) {
        return;
    }
    Objekt& o = Objekte[slot];
    ::Sprite& s = o.Sprite;
    s.Typ = vorlage->Typ;
    s.x = vorlage->x;
    s.y = vorlage->y;
    s.Breite = vorlage->Breite;
    s.Hoehe = vorlage->Hoehe;
    s.Bildanzahl = vorlage->Bildanzahl;
    s.Bild = vorlage->Bild;
    s.Blickrichtung = vorlage->Blickrichtung;
    s.Links = vorlage->Links;
    s.Rechts = vorlage->Rechts;
    s.Oben = vorlage->Oben;
    s.Unten = vorlage->Unten;
    // The slot shares the template's surfaces; only the references are copied.
    for (int i = 0; i < vorlage->Bildanzahl && i < kMaxBilder; ++i) {
        s.Bilder[i] = vorlage->Bilder[i];
        s.Spiegelbilder[i] = vorlage->Spiegelbilder[i];
    }
    if (vorlage->Bildanzahl > 1) {
        o.animiert = 1;
    }
    o.Ebene = ebene;
}

void Objekte_loesen() {
    for (Objekt& o : Objekte) {
        for (int i = 0; i < kMaxBilder; ++i) {
            o.Sprite.Bilder[i] = nullptr;
            o.Sprite.Spiegelbilder[i] = nullptr;
        }
    }
}

void Runde_vorbereiten() {
    for (int i = 0; i < kSlots; ++i) {
        Objekt& o = Objekte[i];
        const std::int32_t typ = o.Sprite.Typ;
        if (ist_flieger(typ)) {
            Flieger_starten(i);
            o.Dauer = 100 + static_cast<std::uint32_t>(Zufall() % 2000);
        } else if (typ == Typ::Aufsteiger) {
            Aufsteiger_starten(i, Zus::Entkommen);
            Wartezeit_setzen(i);
        } else if (typ == Typ::Lauerer) {
            Lauerer_starten(i, Zus::Entkommen);
            Wartezeit_setzen(i);
        }
        // All nine flyers enter at once; their first course change is due
        // 100 to 2099 ms from now.
        o.Startzeit = platform::tick_count();
        o.Sprite.Zykluslaenge = o.Sprite.Bildanzahl - 1;
        Bildposition_setzen(i);
    }
}

void Flieger_starten(int slot) {
    if (!gueltig(slot)) {
        return;
    }
    Objekt& o = Objekte[slot];
    const std::int32_t breite = o.Sprite.Breite;
    const std::int32_t hoehe = o.Sprite.Hoehe;
    const std::int32_t kante = Zufall() % 4;
    if (kante == 1) {
        // From the left, just outside the landscape.
        Blickrichtung_setzen(slot, 0);
        o.x = -10 - breite;
        o.Rich = seitliche_richtung(4, 3, 5);
        o.y = Zufall() % 540 - hoehe;
    } else if (kante == 2) {
        // From the right: the picture starts a full width further out than
        // one from the left.
        Blickrichtung_setzen(slot, 1);
        o.x = breite + 2058;
        o.Rich = seitliche_richtung(12, 13, 11);
        o.y = Zufall() % 540 - hoehe;
    } else {
        // From the top, towards the landscape's far side; from its middle
        // third either way.
        o.x = Zufall() % kLandschaftsbreite;
        if (o.x <= 682) {
            von_oben_rechts(slot);
        } else if (o.x > 1364) {
            von_oben_links(slot);
        } else if (Zufall() % 2 == 1) {
            von_oben_rechts(slot);
        } else {
            von_oben_links(slot);
        }
        o.y = -hoehe;
    }
    if (o.Sprite.Typ == Typ::Kleiner_Flieger) {
        o.dx = Zufall() % 3;
        o.dy = Zufall() % 2;
    } else if (o.Sprite.Typ == Typ::Grosser_Flieger) {
        o.dx = Zufall() % 8;
        o.dy = Zufall() % 6;
    } else {
        o.dx = Zufall() % 5;
        o.dy = Zufall() % 4;
    }
    losschicken(o, Zus::Im_Spiel);
    // Startzeit holds the start of the respawn wait: a relaunched flyer keeps
    // its course a second longer before the first change.
    o.Startzeit += 1000;
}

void Aufsteiger_starten(int slot, std::int32_t zustand) {
    if (!gueltig(slot)) {
        return;
    }
    Objekt& o = Objekte[slot];
    o.x = Zufall() % (kLandschaftsbreite - o.Sprite.Breite);
    // One pixel below the screen, heading up.
    o.y = 769;
    o.dx = 8;
    o.dy = 6;
    o.Rich = 0;
    o.Phase = 0;
    losschicken(o, zustand);
}

void Lauerer_starten(int slot, std::int32_t zustand) {
    if (!gueltig(slot)) {
        return;
    }
    Objekt& o = Objekte[slot];
    Versteck_Nr = Zufall() % 8;
    // Its whole height below the hiding place, behind the landscape.
    o.x = Verstecke[Versteck_Nr][0];
    o.y = Verstecke[Versteck_Nr][1] + o.Sprite.Hoehe;
    o.dx = 8;
    o.dy = 6;
    o.Rich = 0;
    o.Phase = 0;
    losschicken(o, zustand);
}

void Blickrichtung_setzen(int slot, std::uint8_t blick) {
    if (!gueltig(slot)) {
        return;
    }
    ::Sprite& s = Objekte[slot].Sprite;
    if (s.Blickrichtung == blick) {
        return;
    }
    for (int i = 0; i < kMaxBilder; ++i) {
        Surface* bild = s.Bilder[i];
        s.Bilder[i] = s.Spiegelbilder[i];
        s.Spiegelbilder[i] = bild;
    }
    s.Blickrichtung = s.Blickrichtung == 0 ? 1 : 0;
}

void Wartezeit_setzen(int slot) {
    if (!gueltig(slot)) {
        return;
    }
    Objekt& o = Objekte[slot];
    // Slots that leave play at the same tick get the same wait.
    const std::uint32_t jetzt = platform::tick_count();
    Zufall_saeen(jetzt);
    o.Startzeit = jetzt;
    switch (o.Sprite.Typ) {
        case Typ::Kleiner_Flieger:
        case Typ::Mittlerer_Flieger:
        case Typ::Grosser_Flieger:
            o.Dauer = 1000 + static_cast<std::uint32_t>(Zufall() % 3000);
            break;
        case Typ::Aufsteiger:
            o.Dauer = 20000 + static_cast<std::uint32_t>(Zufall() % 60000);
            break;
        case Typ::Lauerer:
            o.Dauer = 10000 + static_cast<std::uint32_t>(Zufall() % 20000);
            break;
        default:
            break;
    }
}

void Wiederkehr_pruefen(int slot) {
    if (!gueltig(slot)) {
        return;
    }
    Objekt& o = Objekte[slot];
    if (platform::tick_count() - o.Startzeit < o.Dauer) {
        return;
    }
    const std::int32_t typ = o.Sprite.Typ;
    if (ist_flieger(typ)) {
        Flieger_starten(slot);
    } else if (typ == Typ::Aufsteiger) {
        Aufsteiger_starten(slot, Zus::Im_Spiel);
        Objektgeraeusch(slot, Klang::Aufsteiger_erscheint);
    } else if (typ == Typ::Lauerer) {
        Lauerer_starten(slot, Zus::Im_Spiel);
        Objektgeraeusch(slot, Klang::Lauerer_erscheint);
    }
}
