// The program's run: window, reset, start-up, the main loop and the shutdown.
// A pass is split into its two halves so that the scripted runner can watch
// the state between the messages it dispatches.
#include "app/spiel.h"
#include "app/start.h"
#include "game/game.h"
#include "platform/system.h"
#include "platform/window.h"
#include "screens/screens.h"

bool Nachricht_verarbeiten() {
    platform::Message nachricht;
    if (!platform::peek_message(nachricht)) {
        return false;
    }
    Letzte_Nachricht = nachricht.msg;
    Letzter_wParam = nachricht.wparam;
    platform::dispatch_message(nachricht);
    return true;
}

void Nachrichten_abholen() {
    // WM_QUIT does not end the drain; only state 9 ends the loop.
    while (Nachricht_verarbeiten()) {
    }
}

void Zustand_ausfuehren() {
    Bildtakt = platform::tick_count();
    Hintergrund_laden();
    switch (Spielzustand) {
        case 0:
            Titel_zeichnen();
            break;
        case 1:
            Menue_zeichnen();
            break;
        case 2:
            Rundenstart_zeichnen();
            break;
        case 3:
            Objekte_bewegen();
            Spielszene_zeichnen();
            Geraeuschkulisse();
            Bildtakt_und_Uhr();
            break;
        case 4:
            Neuer_Highscore_zeichnen();
            break;
        case 5:
            Game_Over_zeichnen();
            break;
        case 6:
            Highscoreliste_zeichnen();
            break;
        case 7:
            Credits_zeichnen();
            break;
        case 8:
            Beenden_zeichnen(0);
            break;
        default:
            break;
    }
}

void Durchlauf() {
    Nachrichten_abholen();
    Zustand_ausfuehren();
}

int Beendigungscode(bool gestartet) {
    if (!gestartet) {
        return 1;
    }
    // The game usually ends on a key or WM_CLOSE, not on WM_QUIT; passing
    // such a message's wParam on (the character 'y' is 121) would report a
    // normal end as a failure.
    return Letzte_Nachricht == WM_QUIT ? static_cast<int>(Letzter_wParam) : 0;
}

int Hauptprogramm() {
    Hauptfenster = platform::window_create("Bramblecourt", Fensterprozedur);
    if (Hauptfenster == nullptr) {
        platform::message_box(nullptr, "Programm konnte nicht gestartet werden!",
                              "Error - CreateWindow", MB_ICONERROR);
        return 1;
    }
    Spiel_zuruecksetzen();
    Spiel_starten();
    const bool gestartet = Spielzustand != 9;
    while (Spielzustand != 9) {
        Durchlauf();
    }
    Spiel_beenden();
    platform::window_destroy(Hauptfenster);
    Hauptfenster = nullptr;
    return Beendigungscode(gestartet);
}
