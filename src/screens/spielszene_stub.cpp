// Placeholder until the game view lands: keeps the game linkable and the
// screens paced by their flips. Deleted (not edited) by the change that
// builds the real one.
#include "app/spiel.h"
#include "screens/screens.h"

char Zeilenpuffer[80] = {};
char Titelpuffer[84] = {};

void Spielszene_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    DDraw_Puffer_flippen();
}

// The countdown already leads into play, so a round can be reached.
void Rundenstart_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    if (Countdown(1200, 0, 0) == 0) {
        Spielzustand = 3;
        return;
    }
    DDraw_Puffer_flippen();
}
