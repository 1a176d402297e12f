// The two tick-based timers that several screens share, and the sky colour.
#include "core/takt.h"

#include "core/spielstand.h"
#include "platform/system.h"

namespace {

// Instants are compared by their signed distance, so that a timer armed just
// before the 32-bit tick count wraps still waits its full time.
bool spaeter_als(std::uint32_t jetzt, std::uint32_t zeitpunkt) {
    return static_cast<std::int32_t>(jetzt - zeitpunkt) > 0;
}

std::uint32_t blink_naechster = 0;
std::int32_t blink_periode = 0;

std::uint32_t countdown_naechster = 0;
std::int32_t countdown_rest = 0;

}  // namespace

bool Blinktakt(std::int32_t periode, std::uint8_t start) {
    const std::uint32_t jetzt = platform::tick_count();
    if (start != 0) {
        blink_naechster = jetzt + static_cast<std::uint32_t>(periode);
        blink_periode = periode;
        return false;
    }
    if (!spaeter_als(jetzt, blink_naechster)) {
        return false;
    }
    const std::uint32_t ende = blink_naechster + static_cast<std::uint32_t>(blink_periode);
    if (!spaeter_als(jetzt, ende)) {
        return true;
    }
    // The true phase keeps the armed period, the false phase takes this call's.
    blink_naechster = ende + static_cast<std::uint32_t>(periode);
    return false;
}

std::int32_t Countdown(std::int32_t schritt, std::int32_t anzahl, std::uint8_t arm) {
    const std::uint32_t jetzt = platform::tick_count();
    if (arm != 0) {
        countdown_naechster = jetzt + static_cast<std::uint32_t>(schritt);
        countdown_rest = anzahl;
        return anzahl;
    }
    if (countdown_rest <= 0) {
        return 0;
    }
    if (spaeter_als(jetzt, countdown_naechster)) {
        countdown_naechster = jetzt + static_cast<std::uint32_t>(schritt);
        countdown_rest -= 1;
        return countdown_rest;
    }
    return -countdown_rest;
}

void Himmelsfarbe_setzen() {
    switch (platform::local_time().hour) {
        case 0:
        case 1:
        case 23:
            Himmelsfarbe = 0x323140;
            break;
        case 2:
        case 3:
        case 4:
        case 20:
        case 21:
        case 22:
            Himmelsfarbe = 0x423E6C;
            break;
        case 5:
        case 6:
        case 7:
        case 17:
        case 18:
        case 19:
            Himmelsfarbe = 0x463CBA;
            break;
        case 8:
        case 9:
        case 10:
        case 14:
        case 15:
        case 16:
            Himmelsfarbe = 0x2918E1;
            break;
        default:  // 11 to 13
            Himmelsfarbe = 0x2816EA;
            break;
    }
}
