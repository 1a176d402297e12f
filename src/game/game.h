// The game simulation: the eleven target slots and their kinds, movement and
// the scrolled view, shots and scoring, the round clock, the ambient sounds
// and the pop-up figure.
#pragma once

#include <cstdint>

#include "gfx/sprite.h"

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

extern Objekt Objekte[11];

// The peeker's eight hiding places (world x of the picture's left edge, screen
// y its top rises to) and the one in use.
extern std::int32_t Verstecke[8][2];
extern std::int32_t Versteck_Nr;
// Fills the hiding-place table and sets Versteck_Nr to 0; part of the reset.
void Verstecke_setzen();

void Objekt_anlegen(const ::Sprite* vorlage, int slot, std::uint8_t ebene);
void Runde_vorbereiten();

// Screen x of the landscape's left edge, -1024 to 0.
extern std::int32_t Scroll_x;
void Objekte_bewegen();
// Mode 0 centres the view and the stored mouse position; 1 moves the view
// towards the landscape's left end, 2 towards its right end, by betrag pixels.
void Ansicht_scrollen(std::int32_t modus, std::int32_t betrag);

void Schuss_abgeben(std::int32_t maus_x, std::int32_t maus_y);
void Nachladen();

void Geraeuschkulisse();
// The last routine of a pass of play: holds the pass to at least 25 ms and
// runs the round clock.
void Bildtakt_und_Uhr();
void Rekordfigur(std::uint8_t start, std::uint8_t zuruecksetzen);
