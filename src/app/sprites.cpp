// The sprite catalogue: the five target templates with their frame pictures
// from Grafik.dat, and the eleven target slots bound to them.
#include "app/spiel.h"
#include "app/start.h"
#include "core/tabellen.h"
#include "game/game.h"
#include "gfx/bilder.h"
#include "pack/packfile.h"

namespace {

// A template's frames have the size of its first picture.
struct Vorlage {
    std::int32_t typ;
    // Hit area left, top, right, bottom; ganz 1: the whole picture.
    std::uint8_t ganz;
    int links;
    int oben;
    int rechts;
    int unten;
    // Entries of Grafik.dat: frame k of the animation (0 to 3) is erstes +
    // k x abstand (the flyers' frames lie interleaved, three apart); frame 4
    // is the hit picture.
    int erstes;
    int abstand;
    int getroffen;
    bool gespiegelt;  // flyers face their heading; riser and peeker one way only
};

constexpr int kBildanzahl = 5;

constexpr Vorlage kKatalog[5] = {
    {Typ::Kleiner_Flieger, 1, 0, 0, 0, 0, Bild::Kleiner_Flieger, 3, Bild::Kleiner_Flieger + 12,
     true},
    {Typ::Mittlerer_Flieger, 1, 0, 0, 0, 0, Bild::Mittlerer_Flieger, 3,
     Bild::Mittlerer_Flieger + 12, true},
    {Typ::Grosser_Flieger, 1, 0, 0, 0, 0, Bild::Grosser_Flieger, 3, Bild::Grosser_Flieger + 12,
     true},
    {Typ::Aufsteiger, 0, 0, 50, 160, 192, Bild::Aufsteiger, 1, Bild::Aufsteiger + 4, false},
    {Typ::Lauerer, 0, 75, 14, 100, 60, Bild::Lauerer, 1, Bild::Lauerer_getroffen, false},
};

// Slot by slot: its template and its layer (1 behind the landscape).
struct Belegung {
    int vorlage;
    std::uint8_t ebene;
};
constexpr Belegung kBelegung[kSlots] = {{0, 1}, {0, 1}, {0, 1}, {1, 0}, {1, 0}, {1, 0},
                                        {2, 0}, {2, 0}, {2, 0}, {3, 0}, {4, 1}};

}  // namespace

void Sprites_laden() {
    // Nothing here is checked: a failed surface or picture has shown its own
    // message, and the game goes on with what it has.
    for (int t = 0; t < 5; ++t) {
        const Vorlage& v = kKatalog[t];
        Sprite& s = Sprite_Vorlagen[t];
        Sprite_anlegen(&s, Bildgroessen[v.erstes].Breite, Bildgroessen[v.erstes].Hoehe, kBildanzahl,
                       v.typ);
        Sprite_Trefferfeld_setzen(&s, v.ganz, v.links, v.oben, v.rechts, v.unten);
        for (int i = 0; i < kBildanzahl; ++i) {
            const int bild = i == kBildanzahl - 1 ? v.getroffen : v.erstes + i * v.abstand;
            PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, bild, s.Bilder[i]);
        }
        if (v.gespiegelt) {
            DDraw_Sprite_spiegeln(&s);
        }
    }
    for (int slot = 0; slot < kSlots; ++slot) {
        Objekt_anlegen(&Sprite_Vorlagen[kBelegung[slot].vorlage], slot, kBelegung[slot].ebene);
    }
}
