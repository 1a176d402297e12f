// Placeholder until the sprites land: keeps the game linkable.
// Deleted (not edited) by the change that builds the real ones.
#include "gfx/sprite.h"

int Sprite_anlegen(Sprite*, int, int, int, int) {
    return 0;
}
int Sprite_Trefferfeld_setzen(Sprite*, std::uint8_t, int, int, int, int) {
    return 0;
}
void DDraw_Sprite_spiegeln(Sprite*) {}
void DDraw_Sprite_blitten(Sprite*, Surface*) {}
void Sprite_Bild_weiter(Sprite*) {}
