// Storage of the shared state and the game's random generator.
#include "app/spiel.h"

std::int32_t Spielzustand = 0;
std::int32_t Punkte = 0;
std::int32_t Highscore = 0;
std::int32_t Kills = 0;
std::int32_t Lose = 0;
std::int32_t Zeit = 0;
std::int32_t Runde = 0;
std::int32_t Patronen = 0;
std::int32_t Letzter_Gewinn = 0;
std::uint32_t Gewinnzeit = 0;
std::int32_t Menuepunkt = 0;
std::int32_t Maus_x = 1024;
std::int32_t Maus_y = 384;
std::uint32_t Himmelsfarbe = 0x463CBA;
std::uint8_t Hintergrund_neu = 0;
std::uint8_t Gewonnen = 0;
std::uint8_t Debugmodus = 0;
char Spielername[17] = {};
std::uint32_t Bildtakt = 0;
std::int32_t Sekundentakt = 0;
std::uint32_t Menue_Startzeit = 0;
HWND Hauptfenster = nullptr;
std::uint32_t Letzte_Nachricht = 0;
WPARAM Letzter_wParam = 0;

static std::uint32_t zufall_zustand = 0;

void Zufall_saeen(std::uint32_t seed) {
    zufall_zustand = seed;
}

std::int32_t Zufall() {
    zufall_zustand = zufall_zustand * 214013u + 2531011u;
    return static_cast<std::int32_t>((zufall_zustand >> 16) & 0x7FFF);
}
