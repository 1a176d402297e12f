#include "core/core.h"

#include "platform/window.h"

namespace {

std::int32_t zustand = Zustand::Titel;

}  // namespace

const std::int32_t& Spielzustand = zustand;
HWND Hauptfenster = nullptr;

void Zustand_setzen(std::int32_t neu) {
    zustand = neu;
}

void Lauf_beenden() {
    Zustand_setzen(Zustand::Ende);
}

void Fehler_melden(const char* text) {
    platform::message_box(Hauptfenster, text, "Error...", MB_OK | MB_ICONERROR);
}

namespace {

std::uint32_t zufall_zustand = 0;

}  // namespace

void (*Zufall_Beobachter)(bool gesaet, std::uint32_t wert) = nullptr;

void Zufall_saeen(std::uint32_t seed) {
    zufall_zustand = seed;
    if (Zufall_Beobachter != nullptr) {
        Zufall_Beobachter(true, seed);
    }
}

std::int32_t Zufall() {
    zufall_zustand = zufall_zustand * 214013u + 2531011u;
    const auto zug = static_cast<std::int32_t>((zufall_zustand >> 16) & 0x7FFF);
    if (Zufall_Beobachter != nullptr) {
        Zufall_Beobachter(false, static_cast<std::uint32_t>(zug));
    }
    return zug;
}
