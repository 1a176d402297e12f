// The top-ten list and the file Score.dat that keeps it between runs.
#pragma once

#include <cstdint>

struct Highscore_Eintrag {
    std::int32_t Punkte;
    char Name[20];  // zero-terminated, Windows-1252
};

// Ten entries, best first; entry 9's score is the admission threshold.
extern Highscore_Eintrag Highscoreliste[10];

int Highscore_laden(const char* datei);
int Highscore_neu_anlegen();
int Highscore_schreiben(const char* datei);
int Highscore_eintragen(const char* name, std::int32_t punkte);
int Highscore_sortieren(Highscore_Eintrag* liste);
