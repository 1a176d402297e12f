// Compiles with the game's own flags: the game's headers are all there.
#include "app/spiel.h"
#include "audio/audio.h"
#include "core/core.h"
#include "gfx/ddraw.h"

int layering_control() {
    return Zustand::Ende;
}
