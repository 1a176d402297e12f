// The two tick-based timers that several screens share, and the sky colour
// by the local hour.
#pragma once

#include <cstdint>

// Square wave: start != 0 arms it (result false); start 0 polls it: false for
// one period after arming, then true for one period, false for one, ...
bool Blinktakt(std::int32_t periode, std::uint8_t start);
// Step countdown: arm != 0 arms it and returns anzahl; arm 0 polls it:
// negative while the next step is not due, otherwise the steps left.
std::int32_t Countdown(std::int32_t schritt, std::int32_t anzahl, std::uint8_t arm);
// Sky colour by the local hour; chosen whenever the menu is entered.
void Himmelsfarbe_setzen();
