// The start-up sequence: it fills the long-lived surfaces of gfx/bilder.h.
#pragma once

#include <cstdint>

#include "gfx/ddraw.h"

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
