// Placeholder until the movement of the targets lands: keeps the game linkable.
// Deleted (not edited) by the change that builds the real one.
#include "app/spiel.h"
#include "game/game.h"

std::int32_t Scroll_x = -512;

void Objekte_bewegen() {}

// The transition into a round relies on mode 0, so the view already works.
void Ansicht_scrollen(std::int32_t modus, std::int32_t betrag) {
    if (modus == 0) {
        Maus_x = 512;
        Maus_y = 384;
        Scroll_x = 512 - 1024;
    } else if (modus == 1) {
        Scroll_x += betrag;
        if (Scroll_x > 0) {
            Scroll_x = 0;
        }
    } else if (modus == 2) {
        Scroll_x -= betrag;
        if (Scroll_x < -1024) {
            Scroll_x = -1024;
        }
    }
}
