// The animated picture of a target: up to six frames of equal size, the same
// frames mirrored, a screen position, the frame shown and a hit area.
#pragma once

#include <cstdint>

#include "gfx/ddraw.h"

struct Sprite {
    std::int32_t Typ;            // kind of target (0 to 4)
    std::int32_t x;              // screen column of the left edge when drawn
    std::int32_t y;              // screen row of the top edge
    std::int32_t Breite;         // frame width in pixels
    std::int32_t Hoehe;          // frame height in pixels
    std::int32_t Bildanzahl;     // number of frames, at most 6
    std::int32_t Zykluslaenge;   // Sprite_Bild_weiter wraps to 0 here
    std::int32_t Bild;           // index of the frame drawn
    std::uint8_t Blickrichtung;  // 0 facing right (frames as loaded), 1 facing left
    // Hit area in frame coordinates, stored left, right, top, bottom.
    std::int32_t Links;
    std::int32_t Rechts;
    std::int32_t Oben;
    std::int32_t Unten;
    Surface* Bilder[6];         // the frames drawn
    Surface* Spiegelbilder[6];  // frame i mirrored left to right
};

int Sprite_anlegen(Sprite* sprite, int breite, int hoehe, int anzahl, int typ);
// ganz 1: the whole picture is the hit area; otherwise left, top, right, bottom.
int Sprite_Trefferfeld_setzen(Sprite* sprite, std::uint8_t ganz, int links, int oben, int rechts,
                              int unten);
void DDraw_Sprite_spiegeln(Sprite* sprite);
void DDraw_Sprite_blitten(Sprite* sprite, Surface* ziel);
void Sprite_Bild_weiter(Sprite* sprite);
