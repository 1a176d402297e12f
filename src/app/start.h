// The start-up sequence and the surfaces that live for the whole run.
#pragma once

#include <cstdint>

#include "gfx/ddraw.h"
#include "gfx/sprite.h"

// Full-screen background of the current screen (title, menu, table, credits).
extern Surface* lpDDSHintergrund;
// The landscape, 2048 x 448, loaded when a round is started from the menu.
extern Surface* lpDDSLandschaft;
// The four round-intro pictures.
extern Surface* lpDDSRundenbild[4];
// The pop-up figure.
extern Surface* lpDDSRekordfigur;
// One shell of the row of shells left.
extern Surface* lpDDSPatrone;
// The shot impact.
extern Surface* lpDDSEinschuss;

// The five target sprite templates (small, medium and large flyer, riser,
// peeker), bound to the eleven target slots at start-up.
extern Sprite Sprite_Vorlagen[5];

// Runs once before the main loop: Spielzustand is 0 after success and 9
// after a failure, which has been reported.
void Spiel_starten();
// True when all seven required files are present; false after its message.
bool Dateien_pruefen();
bool Datei_vorhanden(const char* name);
// Takes the edges in the order left, top, bottom, right.
RECT* Rechteck_setzen(RECT* rechteck, std::int32_t links, std::int32_t oben, std::int32_t unten,
                      std::int32_t rechts);
// Builds the sprite templates and binds the target slots to them.
void Sprites_laden();
