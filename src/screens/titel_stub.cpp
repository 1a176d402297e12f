// Placeholder until the title and menu screens land: keeps the game linkable
// and the screens paced by their flips. Deleted (not edited) by the change
// that builds the real ones.
#include "screens/screens.h"

RECT Menue_Trefferfelder[4] = {};
std::uint32_t Hervorhebungsfarbe = 0xCC0000;

void Titel_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    DDraw_Puffer_flippen();
}

void Menue_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    DDraw_Puffer_flippen();
}
