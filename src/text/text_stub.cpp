// Placeholder until the bitmap text lands: keeps the game linkable.
// Deleted (not edited) by the change that builds the real one.
#include "text/bitmaptext.h"

Glyphentabelle Zeichensatz{};
Surface* lpDDSSchrift = nullptr;
Surface* lpDDSSchriftRot = nullptr;

int BitmapText_einlesen(Surface*, Glyphentabelle*, std::uint32_t) { return 2; }
int BitmapText_Zeichenindex(char) { return 81; }
int BitmapText_ausgeben(Surface*, const char*, int, int, int, Surface*) { return 0; }
int BitmapText_vergroessert_ausgeben(Surface*, const char*, int, int, int, int, Surface*) {
    return 0;
}
std::int32_t BitmapText_Credits_Effekt(std::int32_t, const char*, std::int32_t, std::int32_t,
                                       Surface*, Surface*) {
    return 0;
}
void BitmapText_Zeilenbreiten(const Glyphentabelle*, const char*, std::int32_t*, int) {}
