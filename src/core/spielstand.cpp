#include "core/spielstand.h"

#include <cstring>

#include "core/core.h"

// Static storage starts at zero; the start values of a run are set by
// Spielstand_zuruecksetzen, before anything reads them.
std::int32_t Punkte;
std::int32_t Highscore;
std::int32_t Kills;
std::int32_t Lose;
std::int32_t Zeit;
std::int32_t Runde;
std::int32_t Patronen;
std::int32_t Letzter_Gewinn;
std::uint32_t Gewinnzeit;
std::int32_t Menuepunkt;
std::int32_t Maus_x;
std::int32_t Maus_y;
std::uint32_t Himmelsfarbe;
std::uint8_t Hintergrund_neu;
std::uint8_t Gewonnen;
std::uint8_t Debugmodus;
char Spielername[17];
std::uint32_t Bildtakt;
std::int32_t Sekundentakt;
std::uint32_t Menue_Startzeit;

void Spielstand_zuruecksetzen() {
    Zustand_setzen(Zustand::Titel);
    Punkte = 0;
    Highscore = 0;
    Kills = 0;
    Lose = 0;
    Zeit = 0;
    Runde = 0;
    Patronen = 0;
    Letzter_Gewinn = 0;
    Gewinnzeit = 0;
    Menuepunkt = 0;
    // The pointer starts at the right edge, half-way down.
    Maus_x = 1024;
    Maus_y = 384;
    Himmelsfarbe = 0x463CBA;
    Hintergrund_neu = 0;
    Gewonnen = 0;
    Debugmodus = 0;
    std::memset(Spielername, 0, sizeof Spielername);
    Bildtakt = 0;
    Sekundentakt = 0;
    Menue_Startzeit = 0;
}

void Rundenzaehler_zuruecksetzen() {
    Kills = 0;
    Lose = 0;
    Punkte = 0;
    Letzter_Gewinn = 0;
    Zeit = kRundenzeit;
    Patronen = kVolleLadung;
}
