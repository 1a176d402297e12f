// The round intro and the two text buffers that every screen formats into.
#include "app/spiel.h"
#include "screens/screens.h"

char Zeilenpuffer[80] = {};
char Titelpuffer[84] = {};

void Rundenstart_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    if (Countdown(1200, 0, 0) == 0) {
        Spielzustand = Zustand::Spiel;
        return;
    }
    DDraw_Puffer_flippen();
}
