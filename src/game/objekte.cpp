// The eleven target slots, the peeker's hiding places, launching and the
// respawn wait.
#include "core/tabellen.h"
#include "game/game.h"

Objekt Objekte[11] = {};
std::int32_t Verstecke[8][2] = {};
std::int32_t Versteck_Nr = 0;

void Verstecke_setzen() {
    for (int i = 0; i < 8; ++i) {
        Verstecke[i][0] = Versteckorte[i].x;
        Verstecke[i][1] = Versteckorte[i].y;
    }
    Versteck_Nr = 0;
}

void Objekt_anlegen(const ::Sprite*, int, std::uint8_t) {}
void Runde_vorbereiten() {}
