// Storage of the shared counters and flags.
#include "app/spiel.h"

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
std::uint32_t Letzte_Nachricht = 0;
WPARAM Letzter_wParam = 0;
