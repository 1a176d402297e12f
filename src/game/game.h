// The game simulation: the eleven target slots and their kinds, movement and
// the scrolled view, shots and scoring, the round clock, the ambient sounds
// and the pop-up figure.
#pragma once

#include <cstdint>

#include "gfx/sprite.h"

// Kinds of target, the Typ of a slot's Sprite.
namespace Typ {
inline constexpr std::int32_t Kleiner_Flieger = 0;    // slots 0 to 2, behind the landscape
inline constexpr std::int32_t Mittlerer_Flieger = 1;  // slots 3 to 5
inline constexpr std::int32_t Grosser_Flieger = 2;    // slots 6 to 8
inline constexpr std::int32_t Aufsteiger = 3;         // slot 9, comes up from below the screen
inline constexpr std::int32_t Lauerer = 4;            // slot 10, behind the landscape
}  // namespace Typ

// One target slot. x is a landscape (world) x, y a screen y.
struct Objekt {
    std::int32_t x;
    std::int32_t y;
    std::int32_t dx;  // speed addends, added to the direction's base step
    std::int32_t dy;
    std::int32_t Zus;    // 0 in play, 1 hit and falling, 2 escaped or waiting, 3 gone
    std::int32_t Rich;   // direction 0 to 15, 0 up, clockwise in sixteenths
    std::int32_t Phase;  // riser and peeker: 0 rising, 1 pausing, 2 going down
    std::uint32_t Startzeit;
    std::uint32_t Dauer;
    std::uint8_t bewegt;
    std::uint8_t aktiv;
    std::uint8_t Ebene;  // 1 behind the landscape, 0 in front
    std::uint8_t animiert;
    // Hit rectangle, inclusive: world x left and right, screen y top and bottom.
    std::int32_t L;
    std::int32_t R;
    std::int32_t T;
    std::int32_t B;
    ::Sprite Sprite;
};

inline constexpr int kSlots = 11;
extern Objekt Objekte[kSlots];

// The peeker's eight hiding places (world x of the picture's left edge, screen
// y its top rises to) and the one in use.
extern std::int32_t Verstecke[8][2];
extern std::int32_t Versteck_Nr;
// Fills the hiding-place table and sets Versteck_Nr to 0; part of the reset.
void Verstecke_setzen();

// --- slots, kinds and launching ---------------------------------------------

// Fills a slot from a catalogue sprite at start-up (frames shared, not copied).
void Objekt_anlegen(const ::Sprite* vorlage, int slot, std::uint8_t ebene);
// Forgets the frames every slot shares with its template, once the display
// that owned them is gone.
void Objekte_loesen();
// Sets all eleven slots up for a new round.
void Runde_vorbereiten();
void Flieger_starten(int slot);
void Aufsteiger_starten(int slot, std::int32_t zustand);
void Lauerer_starten(int slot, std::int32_t zustand);
// blick 0 faces right (frames as loaded), 1 left (mirrored frames).
void Blickrichtung_setzen(int slot, std::uint8_t blick);
// Starts the respawn wait; reseeds the random generator with the tick count.
void Wartezeit_setzen(int slot);
// Relaunches a slot in state 2 or 3 whose wait is over.
void Wiederkehr_pruefen(int slot);

// --- movement and the scrolled view ------------------------------------------

// Screen x of the landscape's left edge, -1024 to 0.
extern std::int32_t Scroll_x;
// One simulation step of play.
void Objekte_bewegen();
// Mode 0 centres the view and the stored mouse position; 1 moves the view
// towards the landscape's left end, 2 towards its right end, by betrag pixels.
void Ansicht_scrollen(std::int32_t modus, std::int32_t betrag);
void Randscrollen(std::int32_t maus_x);
void Bildposition_setzen(int slot);
// The hit rectangle at the slot's place, recomputed every step while in play.
void Trefferrechteck_setzen(int slot);
void Flieger_Kurswechsel(int slot);
void Flieger_Grenzen(int slot);
void Abtauchen_pruefen(int slot);
void Aufsteiger_Grenzen(int slot);
void Lauerer_Grenzen(int slot);

// --- shooting, hits and scoring -----------------------------------------------

void Schuss_abgeben(std::int32_t maus_x, std::int32_t maus_y);
void Nachladen();
// Borders included: L <= world x <= R and T <= y <= B.
bool Treffer_pruefen(int slot, std::int32_t welt_x, std::int32_t y);
// Whether the point lies below the horizon line (hidden behind the landscape).
bool Hinter_Horizont(std::int32_t welt_x, std::int32_t y);
// Plays a sound panned by the slot's place on the screen.
void Objektgeraeusch(int slot, int klang);
// The impact of the last hit: the click's screen position (it does not
// scroll with the view) and the tick of the hit. The play screen draws it
// while it is recent.
extern std::int32_t Einschlag_x;
extern std::int32_t Einschlag_y;
extern std::uint32_t Einschlag_Zeit;
void Einschlag_merken(std::int32_t x, std::int32_t y);

// --- round clock, ambient sounds, pop-up figure ------------------------------

// An ambient sound's timer: tick of its last sound and the interval to the
// next, in ms. Both start at 0 and are never reset, so both sounds play on
// the first frame of play of a run and again after any pause.
struct Kulissentakt {
    std::uint32_t Letzter;
    std::uint32_t Abstand;
};
extern Kulissentakt Kulisse_A;  // sound 21, every 3 to 13 s of play
extern Kulissentakt Kulisse_B;  // sound 2, every 10 to 30 s of play

// The pop-up figure: its state (Figur::), the screen y of its top edge (768
// at load and never reset), the landscape x it is anchored to (the negated
// Scroll_x at its start), and the tick of its last step, which its very
// first call sets (Figur_gestartet).
extern std::int32_t Figur_Zustand;
extern std::int32_t Figur_y;
extern std::int32_t Figur_Anker;
extern std::uint32_t Figur_Schrittzeit;
extern bool Figur_gestartet;

void Geraeuschkulisse();
// The last routine of a pass of play: holds the pass to at least 25 ms and
// runs the round clock.
void Bildtakt_und_Uhr();
// start 1 starts the figure if it is idle; zuruecksetzen 1 makes it idle (a
// new round). Every call while it runs moves it one step; true when it is
// running, and so is drawn this pass where a screen shows it.
bool Rekordfigur(std::uint8_t start, std::uint8_t zuruecksetzen);
