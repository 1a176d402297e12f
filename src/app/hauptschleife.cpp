// The program's run: window, reset, start-up, the main loop and the shutdown.
// A pass is split into its two halves so that the scripted runner can watch
// the state between the messages it dispatches.
#include "app/spiel.h"
#include "app/start.h"
#include "audio/audio.h"
#include "game/game.h"
#include "gfx/ddraw.h"
#include "platform/loop.h"
#include "platform/stats.h"
#include "platform/system.h"
#include "platform/window.h"
#include "screens/screens.h"

std::uint32_t Letzte_Nachricht = 0;
WPARAM Letzter_wParam = 0;

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
    if (const Zustandsbeschreibung* zustand = Zustand_beschreibung(Spielzustand)) {
        zustand->durchlauf();
    }
}

void Durchlauf() {
    platform::stats::pass_begin();
    Nachrichten_abholen();
    const std::int32_t zustand = Spielzustand;
    Zustand_ausfuehren();
    Durchlauf_messen(zustand);
}

void Durchlauf_messen(std::int32_t zustand) {
    // A pass whose messages ended the game drew nothing.
    if (zustand != Zustand::Ende) {
        platform::stats::pass_end(zustand);
    }
}

void Laufzeiten_ausgeben(std::FILE* ziel) {
    const char* namen[kZustaende];
    for (int i = 0; i < kZustaende; ++i) {
        namen[i] = Zustaende[i].name;
    }
    platform::stats::print(ziel, namen, kZustaende);
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

namespace {

bool gestartet = false;

void Fenster_fehlt(const char* beschriftung) {
    platform::message_box(nullptr, "Programm konnte nicht gestartet werden!", beschriftung,
                          MB_ICONERROR);
}

}  // namespace

bool Programm_starten() {
    if (!platform::window_class_register("Tarnwick")) {
        Fenster_fehlt("Error - RegisterClass");
        return false;
    }
    Hauptfenster = platform::window_create("Bramblecourt", Fensterprozedur);
    if (Hauptfenster == nullptr) {
        Fenster_fehlt("Error - CreateWindow");
        return false;
    }
    Spiel_zuruecksetzen();
    Spiel_starten();
    gestartet = Spielzustand != Zustand::Ende;
    return true;
}

int Programm_beenden(bool abwarten) {
    if (abwarten) {
        Spiel_beenden();
    } else {
        Grafik_beenden();
        DSound_beenden();
    }
    platform::window_destroy(Hauptfenster);
    Hauptfenster = nullptr;
    return Beendigungscode(gestartet);
}

namespace {

bool Weiterlaufen() {
    if (Spielzustand == Zustand::Ende) {
        return false;
    }
    Durchlauf();
    return true;
}

// The figures of --stats follow the shutdown, here rather than in main: in
// the browser nothing after the loop's start runs in main.
int Auslaufen() {
    const int code = Programm_beenden(true);
    if (platform::stats::enabled()) {
        Laufzeiten_ausgeben(stdout);
    }
    return code;
}

}  // namespace

int Hauptprogramm() {
    if (!Programm_starten()) {
        return 1;
    }
    return platform::run_main_loop(Weiterlaufen, Auslaufen);
}
