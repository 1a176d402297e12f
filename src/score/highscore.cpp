// The top-ten list and Score.dat.
#include "score/score.h"

Highscore_Eintrag Highscoreliste[10] = {};

int Highscore_laden(const char*) {
    return 0;
}
int Highscore_neu_anlegen() {
    return 0;
}
int Highscore_schreiben(const char*) {
    return 0;
}
int Highscore_eintragen(const char*, std::int32_t) {
    return 0;
}
int Highscore_sortieren(Highscore_Eintrag*) {
    return 0;
}
