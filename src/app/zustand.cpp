// The reset of the shared state, the transitions between screen states, the
// background picture of each state, and the shutdown.
#include <cstring>

#include "app/spiel.h"
#include "app/start.h"
#include "audio/audio.h"
#include "game/game.h"
#include "gfx/ddraw.h"
#include "pack/packfile.h"
#include "platform/system.h"
#include "screens/screens.h"
#include "text/bitmaptext.h"

namespace {

void Sound_abspielen(int nummer) {
    DSound_abspielen(lpDSBSounds[nummer], 0, 10000);
}

}  // namespace

void Spiel_zuruecksetzen() {
    Zufall_saeen(platform::tick_count());

    Spielzustand = 0;
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
    Maus_x = 1024;
    Maus_y = 384;
    Scroll_x = -512;
    Himmelsfarbe = 0x463CBA;
    Hintergrund_neu = 0;
    Gewonnen = 0;
    Debugmodus = 0;
    std::memset(Spielername, 0, sizeof Spielername);
    Bildtakt = 0;
    Sekundentakt = 0;

    Mp3_Status = 4;
    Mp3_an = 1;
    Mp3_Startzeit = 0;
    Farbtiefe = 16;
    Hervorhebungsfarbe = 0xCC0000;
    std::memset(Zeilenpuffer, 0, sizeof Zeilenpuffer);
    std::memset(Titelpuffer, 0, sizeof Titelpuffer);
    Verstecke_setzen();

    Menue_Startzeit = platform::tick_count();
}

void Zustand_wechseln(std::int32_t ziel, std::uint8_t neu_laden) {
    Hintergrund_neu = neu_laden == 1 ? 1 : 0;

    switch (ziel) {
        case 0:
            Blinktakt(1000, 1);
            Gewonnen = 1;
            Runde = 0;
            Spielzustand = 0;
            break;
        case 1:
            Himmelsfarbe_setzen();
            Sound_abspielen(5);
            Mp3_steuern(4, "");
            Menue_Startzeit = platform::tick_count();
            Spielzustand = 1;
            break;
        case 2:
            Zeilenpuffer[0] = '\0';
            Countdown(200, 5, 1);
            Runde_vorbereiten();
            Runde += 1;
            Spielzustand = 2;
            Ansicht_scrollen(0, 0);
            Rekordfigur(0, 1);
            Mp3_wechseln(0, Mp3_ZUFALL);
            break;
        case 6:
            Blinktakt(500, 1);
            Musik_abspielen(Gewonnen == 1 ? "win.wav" : "lose.wav");
            Spielzustand = 6;
            break;
        case 7:
            Musik_abspielen("credits.wav");
            Spielzustand = 7;
            break;
        default:
            break;
    }

    Kills = 0;
    Lose = 0;
    Punkte = 0;
    Letzter_Gewinn = 0;
    Zeit = 90;
    Patronen = 6;
}

void Hintergrund_laden() {
    if (Hintergrund_neu == 0) {
        return;
    }
    switch (Spielzustand) {
        case 0:
            PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, 32, lpDDSHintergrund);
            break;
        case 1:
            PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, 24, lpDDSHintergrund);
            break;
        case 2:
            PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, 1, lpDDSLandschaft);
            break;
        case 6:
            PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, Gewonnen == 1 ? 33 : 23,
                                lpDDSHintergrund);
            break;
        case 7:
            PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, 3, lpDDSHintergrund);
            break;
        default:
            break;
    }
    Hintergrund_neu = 0;
}

void Spiel_beenden() {
    // The program never ends sooner than four seconds after the menu was
    // last entered; the last frame stays on screen meanwhile.
    for (;;) {
        const std::uint32_t vergangen = platform::tick_count() - Menue_Startzeit;
        if (vergangen >= 4000) {
            break;
        }
        platform::idle_step(4000 - vergangen);
    }
    // Every surface reference the start-up filled is cleared with the display.
    DDraw_beenden();
    DSound_beenden();
}
