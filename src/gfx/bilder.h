// The surfaces that live for the whole run and the five target sprite
// templates. The start-up fills them; the display owns every surface, so
// DDraw_beenden forgets all of them when it releases the display.
#pragma once

#include "gfx/ddraw.h"
#include "gfx/sprite.h"

// Full-screen background of the current screen (title, menu, table, credits).
extern Surface* lpDDSHintergrund;
// The landscape, loaded when a round is started from the menu.
extern Surface* lpDDSLandschaft;
// The four round-intro pictures.
extern Surface* lpDDSRundenbild[4];
// The pop-up figure.
extern Surface* lpDDSRekordfigur;
// One shell of the row of shells left.
extern Surface* lpDDSPatrone;
// The shot impact.
extern Surface* lpDDSEinschuss;
// The font picture, and its copy with red letters for highlighted text.
extern Surface* lpDDSSchrift;
extern Surface* lpDDSSchriftRot;

// The five target sprite templates (small, medium and large flyer, riser,
// peeker), bound to the eleven target slots at start-up.
extern Sprite Sprite_Vorlagen[5];

// Clears every reference above; the surfaces themselves end with the display.
void Bilder_vergessen();
