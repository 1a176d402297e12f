// The table of the screen states, the reset of the shared state, the
// transitions between screen states, the background picture of each state,
// and the shutdown.
#include <cstring>

#include "app/spiel.h"
#include "app/start.h"
#include "audio/audio.h"
#include "game/game.h"
#include "gfx/bilder.h"
#include "gfx/ddraw.h"
#include "pack/packfile.h"
#include "platform/system.h"
#include "screens/screens.h"
#include "text/bitmaptext.h"

namespace {

// --- the set-up on the way into a state ---------------------------------------

void Titel_betreten() {
    Blinktakt(1000, 1);
    Gewonnen = 1;
    Runde = 0;
    Zustand_setzen(Zustand::Titel);
}

void Menue_betreten() {
    Himmelsfarbe_setzen();
    Klang_abspielen(Klang::Tick);
    Mp3_steuern(Mp3::Schliessen, "");
    Menue_Startzeit = platform::tick_count();
    Zustand_setzen(Zustand::Menue);
}

void Rundenstart_betreten() {
    Zeilenpuffer[0] = '\0';
    Countdown(200, 5, 1);
    Runde_vorbereiten();
    Runde += 1;
    Zustand_setzen(Zustand::Rundenstart);
    Ansicht_scrollen(0, 0);
    Rekordfigur(0, 1);
    Mp3_wechseln(0, Mp3_ZUFALL);
}

void Highscoreliste_betreten() {
    Blinktakt(500, 1);
    Musik_abspielen(Gewonnen == 1 ? "win.wav" : "lose.wav");
    Zustand_setzen(Zustand::Highscoreliste);
}

void Credits_betreten() {
    Musik_abspielen("credits.wav");
    Zustand_setzen(Zustand::Credits);
}

// --- a pass of the states whose pass is more than one routine -----------------

void Spiel_Durchlauf() {
    Objekte_bewegen();
    Spielszene_zeichnen();
    Geraeuschkulisse();
    Bildtakt_und_Uhr();
}

void Beenden_Durchlauf() {
    Beenden_zeichnen(0);
}

}  // namespace

const Zustandsbeschreibung Zustaende[kZustaende] = {
    {"title", Titel_zeichnen, Titel_Eingabe, Titel_betreten, Bild::Titel, Bild::Titel,
     &lpDDSHintergrund},
    {"menu", Menue_zeichnen, Menue_Eingabe, Menue_betreten, Bild::Menue, Bild::Menue,
     &lpDDSHintergrund},
    // The round intro takes no input.
    {"round intro", Rundenstart_zeichnen, nullptr, Rundenstart_betreten, Bild::Landschaft,
     Bild::Landschaft, &lpDDSLandschaft},
    {"play", Spiel_Durchlauf, Spiel_Eingabe, nullptr, -1, -1, nullptr},
    {"name entry", Neuer_Highscore_zeichnen, Namenseingabe, nullptr, -1, -1, nullptr},
    {"game over", Game_Over_zeichnen, Spielende_Eingabe, nullptr, -1, -1, nullptr},
    {"highscores", Highscoreliste_zeichnen, Tabelle_oder_Credits_Eingabe, Highscoreliste_betreten,
     Bild::Highscore_gewonnen, Bild::Highscore_verloren, &lpDDSHintergrund},
    {"credits", Credits_zeichnen, Tabelle_oder_Credits_Eingabe, Credits_betreten, Bild::Credits,
     Bild::Credits, &lpDDSHintergrund},
    {"quit question", Beenden_Durchlauf, Beenden_Eingabe, nullptr, -1, -1, nullptr},
};

const Zustandsbeschreibung* Zustand_beschreibung(std::int32_t zustand) {
    return zustand >= 0 && zustand < kZustaende ? &Zustaende[zustand] : nullptr;
}

void Spiel_zuruecksetzen() {
    Zufall_saeen(platform::tick_count());

    Spielstand_zuruecksetzen();
    Scroll_x = -512;
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
    // A state without a set-up of its own is not entered: only the round
    // counters are reset.
    const Zustandsbeschreibung* zustand = Zustand_beschreibung(ziel);
    if (zustand != nullptr && zustand->eintritt != nullptr) {
        zustand->eintritt();
    }
    Rundenzaehler_zuruecksetzen();
}

void Hintergrund_laden() {
    if (Hintergrund_neu == 0) {
        return;
    }
    const Zustandsbeschreibung* zustand = Zustand_beschreibung(Spielzustand);
    if (zustand != nullptr && zustand->bild >= 0) {
        PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis,
                            Gewonnen == 1 ? zustand->bild : zustand->bild_verloren, *zustand->ziel);
    }
    Hintergrund_neu = 0;
}

void Grafik_beenden() {
    DDraw_beenden();
    // The slots' copies of the templates shared their frames, which ended
    // with the display.
    Objekte_loesen();
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
    Grafik_beenden();
    DSound_beenden();
}
