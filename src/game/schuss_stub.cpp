// Placeholder until shooting lands: keeps the game linkable.
// Deleted (not edited) by the change that builds the real one.
#include "game/game.h"

void Schuss_abgeben(std::int32_t, std::int32_t) {}
void Nachladen() {}
void Einschlag(std::int32_t, std::int32_t, std::uint8_t) {}
