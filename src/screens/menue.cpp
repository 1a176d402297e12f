// The menu's hit rectangles and the red font's current colour.
#include "screens/screens.h"

RECT Menue_Trefferfelder[4] = {};
std::uint32_t Hervorhebungsfarbe = 0xCC0000;
