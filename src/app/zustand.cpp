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

void Spiel_zuruecksetzen() {
    Zufall_saeen(platform::tick_count());

    Spielzustand = Zustand::Titel;
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

    Mp3_Status = Mp3::Zu;
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
        case Zustand::Titel:
            Blinktakt(1000, 1);
            Gewonnen = 1;
            Runde = 0;
            Spielzustand = Zustand::Titel;
            break;
        case Zustand::Menue:
            Himmelsfarbe_setzen();
            Klang_abspielen(Klang::Tick);
            Mp3_steuern(Mp3::Schliessen, "");
            Menue_Startzeit = platform::tick_count();
            Spielzustand = Zustand::Menue;
            break;
        case Zustand::Rundenstart:
            Zeilenpuffer[0] = '\0';
            Countdown(200, 5, 1);
            Runde_vorbereiten();
            Runde += 1;
            Spielzustand = Zustand::Rundenstart;
            Ansicht_scrollen(0, 0);
            Rekordfigur(0, 1);
            Mp3_wechseln(0, Mp3_ZUFALL);
            break;
        case Zustand::Highscoreliste:
            Blinktakt(500, 1);
            Musik_abspielen(Gewonnen == 1 ? "win.wav" : "lose.wav");
            Spielzustand = Zustand::Highscoreliste;
            break;
        case Zustand::Credits:
            Musik_abspielen("credits.wav");
            Spielzustand = Zustand::Credits;
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
        case Zustand::Titel:
            PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, Bild::Titel, lpDDSHintergrund);
            break;
        case Zustand::Menue:
            PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, Bild::Menue, lpDDSHintergrund);
            break;
        case Zustand::Rundenstart:
            PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, Bild::Landschaft,
                                lpDDSLandschaft);
            break;
        case Zustand::Highscoreliste:
            PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis,
                                Gewonnen == 1 ? Bild::Highscore_gewonnen : Bild::Highscore_verloren,
                                lpDDSHintergrund);
            break;
        case Zustand::Credits:
            PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, Bild::Credits, lpDDSHintergrund);
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
