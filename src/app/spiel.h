// The top of the game: the table of the nine screen states, the transitions
// between them, the main loop and the window procedure that takes all input.
// The shared counters live in core/spielstand.h, the timers in core/takt.h.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/core.h"
#include "core/spielstand.h"
#include "core/takt.h"
#include "gfx/ddraw.h"
#include "platform/surface.h"
#include "platform/win32.h"

// --- the screen states ------------------------------------------------------

// What a screen state is made of. Every member may be empty.
struct Zustandsbeschreibung {
    // What --stats calls it.
    const char* name;
    // The routines of one pass in this state.
    void (*durchlauf)();
    // Its input: true when the message was handled, otherwise the default
    // window procedure gets it.
    bool (*eingabe)(std::uint32_t nachricht, WPARAM wparam, LPARAM lparam);
    // Zustand_wechseln's set-up on the way into the state; it sets the state.
    void (*eintritt)();
    // Grafik.dat's entry that a transition with neu_laden 1 loads into *ziel
    // (-1: none); after a round without an entry the second one.
    int bild;
    int bild_verloren;
    Surface** ziel;
};
// Indexed by the state, Zustand::Titel to Zustand::Beenden; Zustand::Ende
// has no entry.
inline constexpr int kZustaende = Zustand::Ende;
extern const Zustandsbeschreibung Zustaende[kZustaende];
// The state's description; nullptr for Zustand::Ende and what is no state.
const Zustandsbeschreibung* Zustand_beschreibung(std::int32_t zustand);

// The input of each state that takes any (in eingabe.cpp).
bool Titel_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM lparam);
bool Menue_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM lparam);
bool Spiel_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM lparam);
bool Namenseingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM lparam);
bool Spielende_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM lparam);
bool Tabelle_oder_Credits_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM lparam);
bool Beenden_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM lparam);

// --- states and the main loop -----------------------------------------------

// Every shared counter to its start value; seeds the random generator first
// and stamps Menue_Startzeit last.
void Spiel_zuruecksetzen();
// The one way into most screen states: the target state's set-up and the
// round counters' reset. neu_laden 1 asks for the state's background picture.
void Zustand_wechseln(std::int32_t ziel, std::uint8_t neu_laden);
// Loads the current state's background picture when a transition asked for it.
void Hintergrund_laden();
// Releases the display, with every surface, and forgets every reference to
// one (the long-lived surfaces and the slots' sprite frames).
void Grafik_beenden();
// After the loop: waits until 4000 ms have passed since the menu was last
// entered, then releases the display and the sound system.
void Spiel_beenden();

// The last message taken from the queue and its wParam.
extern std::uint32_t Letzte_Nachricht;
extern WPARAM Letzter_wParam;
// Takes one pending message and hands it to the window procedure; false when
// the queue is empty.
bool Nachricht_verarbeiten();
// Takes and dispatches every pending message (the first step of a pass).
void Nachrichten_abholen();
// The rest of a pass: Bildtakt, Hintergrund_laden and the routines of the
// current screen state.
void Zustand_ausfuehren();
// One pass of the main loop.
void Durchlauf();
// With --stats: the pass that ran the routines of zustand ends (its start is
// marked by platform::stats::pass_begin before its messages); and the table
// of pass times by screen state, written at the end.
void Durchlauf_messen(std::int32_t zustand);
void Laufzeiten_ausgeben(std::FILE* ziel);
// The program's exit code: 1 when the start-up failed; after the main loop
// the code a WM_QUIT carried if that was the last message, otherwise 0.
int Beendigungscode(bool gestartet);
// The run in three steps, shared by the real game and the scripted runner.
// Programm_starten registers the window class, makes the window, resets and
// runs the start-up; false (after its message box) when the window cannot be
// made, and the run is over. Then Durchlauf until Spielzustand is
// Zustand::Ende. Programm_beenden shuts down (abwarten: with the wait of
// Spiel_beenden; without it the display and the sound are released at once),
// closes the window and returns the exit code.
bool Programm_starten();
int Programm_beenden(bool abwarten);
// The whole program: the three steps above (the loop through the platform's
// driver), then the --stats figures. Returns the exit code.
int Hauptprogramm();

// --- input ------------------------------------------------------------------

LRESULT Fensterprozedur(HWND fenster, std::uint32_t nachricht, WPARAM wparam, LPARAM lparam);
// punkt -1: a mouse click at (x, y) picks the item; otherwise the keyboard
// activates Menuepunkt.
void Menue_ausloesen(std::int32_t x, std::int32_t y, std::int32_t punkt);
// Borders included.
bool Punkt_in_Rechteck(std::int32_t x, std::int32_t y, const platform::Rect& rechteck);
// "1" to "9" give 1 to 9, everything else 0.
std::int32_t Ziffer_lesen(char zeichen);
