// Placeholder until the target slots land: keeps the game linkable.
// Deleted (not edited) by the change that builds the real ones.
#include "game/game.h"

Objekt Objekte[11] = {};
std::int32_t Verstecke[8][2] = {};
std::int32_t Versteck_Nr = 0;

void Verstecke_setzen() {
    static constexpr std::int32_t orte[8][2] = {{264, 329}, {519, 401},  {587, 453},  {669, 456},
                                                {970, 321}, {1196, 464}, {1531, 342}, {1750, 404}};
    for (int i = 0; i < 8; ++i) {
        Verstecke[i][0] = orte[i][0];
        Verstecke[i][1] = orte[i][1];
    }
    Versteck_Nr = 0;
}

void Objekt_anlegen(const ::Sprite*, int, std::uint8_t) {}
void Runde_vorbereiten() {}
