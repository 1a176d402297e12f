// Movement of the targets and the scrolled view.
#include "app/spiel.h"
#include "game/game.h"

std::int32_t Scroll_x = -512;

void Objekte_bewegen() {}

void Ansicht_scrollen(std::int32_t modus, std::int32_t betrag) {
    if (modus == 0) {
        // Only the stored position moves; the pointer stays where it is.
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
