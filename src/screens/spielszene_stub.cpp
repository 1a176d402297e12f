// Placeholder until the game view lands: keeps the game linkable and the
// screens paced by their flips. Deleted (not edited) by the change that
// builds the real one.
#include "screens/screens.h"

void Spielszene_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    DDraw_Puffer_flippen();
}
