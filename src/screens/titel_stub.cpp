// Placeholder until the title and menu screens land: keeps the game linkable
// and the screens paced by their flips. Deleted (not edited) by the change
// that builds the real ones.
#include "screens/screens.h"

void Titel_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    DDraw_Puffer_flippen();
}

void Menue_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    DDraw_Puffer_flippen();
}
