// The shared counters and flags of a run: the score and round counters, the
// mouse position, the menu's choice, the player's name and the pass clock.
// Every layer above the core reads and writes them; their start values are
// written in one place, Spielstand_zuruecksetzen.
#pragma once

#include <cstdint>

#include "core/core.h"

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

// The counters of a round, which every transition between screen states
// resets: no kills, losses or points, 90 seconds and six shells.
inline constexpr std::int32_t kRundenzeit = 90;
inline constexpr std::int32_t kVolleLadung = 6;

// Spielzustand to the title and every counter above to its start value;
// Menue_Startzeit is stamped by the caller, after the other layers' resets.
void Spielstand_zuruecksetzen();
// The round counters of a transition (Kills, Lose, Punkte, Letzter_Gewinn,
// Zeit, Patronen).
void Rundenzaehler_zuruecksetzen();
