// Placeholder until the highscore table, credits and quit screens land: keeps
// the game linkable and the screens paced by their flips. Deleted (not
// edited) by the change that builds the real ones.
#include "screens/screens.h"

void Highscoreliste_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    DDraw_Puffer_flippen();
}

void Credits_zeichnen() {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    DDraw_Puffer_flippen();
}

void Beenden_zeichnen(std::uint8_t) {
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    DDraw_Puffer_flippen();
}

std::int32_t Geheimseite_zeichnen(std::int32_t) {
    return 0;
}
