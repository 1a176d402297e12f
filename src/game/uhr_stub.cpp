// Placeholder until the round clock lands: keeps the game linkable.
// Deleted (not edited) by the change that builds the real one.
#include "app/spiel.h"
#include "game/game.h"
#include "platform/system.h"

void Geraeuschkulisse() {}

// Only the pacing for now: a pass of play lasts at least 25 ms.
void Bildtakt_und_Uhr() {
    for (;;) {
        const std::uint32_t vergangen = platform::tick_count() - Bildtakt;
        if (vergangen >= 25) {
            break;
        }
        platform::idle_step(25 - vergangen);
    }
}

void Rekordfigur(std::uint8_t, std::uint8_t) {}
