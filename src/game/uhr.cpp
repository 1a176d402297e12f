// The round clock, the ambient sounds and the pop-up figure.
#include "app/spiel.h"
#include "game/game.h"
#include "platform/system.h"

void Geraeuschkulisse() {}

void Bildtakt_und_Uhr() {
    // A pass of play lasts at least 25 ms.
    for (;;) {
        const std::uint32_t vergangen = platform::tick_count() - Bildtakt;
        if (vergangen >= 25) {
            break;
        }
        platform::idle_step(25 - vergangen);
    }
}

void Rekordfigur(std::uint8_t, std::uint8_t) {}
