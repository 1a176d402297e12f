// Screen states, the shared counters and flags, the timers and the game's one
// random generator: the spine that every subsystem reads and writes.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// Screen state: 0 title, 1 menu, 2 round intro, 3 play, 4 new highscore,
// 5 game over, 6 highscore table, 7 credits, 8 quit confirmation, 9 exit.
extern std::int32_t Spielzustand;

extern std::int32_t Punkte;
extern std::int32_t Highscore;
extern std::int32_t Kills;
extern std::int32_t Lose;
extern std::int32_t Zeit;
extern std::int32_t Runde;
extern std::int32_t Patronen;
extern std::int32_t Letzter_Gewinn;
extern std::uint32_t Gewinnzeit;
extern std::int32_t Menuepunkt;
extern std::int32_t Maus_x;
extern std::int32_t Maus_y;
extern std::uint32_t Himmelsfarbe;
extern std::uint8_t Hintergrund_neu;
extern std::uint8_t Gewonnen;
extern std::uint8_t Debugmodus;
extern char Spielername[17];
extern std::uint32_t Bildtakt;
extern std::int32_t Sekundentakt;
extern std::uint32_t Menue_Startzeit;

// The game window; every message box of the game is owned by it.
extern HWND Hauptfenster;

// Reports an error at once in a modal box owned by the game window, caption
// "Error...", error icon. text is Windows-1252.
void Fehler_melden(const char* text);

// The game's random generator: state = state * 214013 + 2531011 (mod 2^32),
// each draw (state >> 16) & 0x7FFF.
void Zufall_saeen(std::uint32_t seed);
std::int32_t Zufall();
