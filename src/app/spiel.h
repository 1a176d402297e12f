// Screen states, the shared counters and flags, the timers and the game's one
// random generator: the spine that every subsystem reads and writes. Also the
// main loop, the state transitions and the window procedure that takes all
// input.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/core.h"
#include "platform/surface.h"
#include "platform/win32.h"

extern std::int32_t Punkte;
extern std::int32_t Highscore;
extern std::int32_t Kills;
extern std::int32_t Lose;
extern std::int32_t Zeit;
extern std::int32_t Runde;
extern std::int32_t Patronen;
extern std::int32_t Letzter_Gewinn;
extern std::uint32_t Gewinnzeit;
extern std::int32_t Menuepunkt;
extern std::int32_t Maus_x;
extern std::int32_t Maus_y;
extern std::uint32_t Himmelsfarbe;
extern std::uint8_t Hintergrund_neu;
extern std::uint8_t Gewonnen;
extern std::uint8_t Debugmodus;
extern char Spielername[17];
extern std::uint32_t Bildtakt;
extern std::int32_t Sekundentakt;
extern std::uint32_t Menue_Startzeit;

// --- shared timers ----------------------------------------------------------

// Square wave: start != 0 arms it (result false); start 0 polls it: false for
// one period after arming, then true for one period, false for one, ...
bool Blinktakt(std::int32_t periode, std::uint8_t start);
// Step countdown: arm != 0 arms it and returns anzahl; arm 0 polls it:
// negative while the next step is not due, otherwise the steps left.
std::int32_t Countdown(std::int32_t schritt, std::int32_t anzahl, std::uint8_t arm);
// Sky colour by the local hour; chosen whenever the menu is entered.
void Himmelsfarbe_setzen();

// --- states and the main loop -----------------------------------------------

// Every shared counter to its start value; seeds the random generator first
// and stamps Menue_Startzeit last.
void Spiel_zuruecksetzen();
// The one way into most screen states: the target state's set-up and the
// round counters' reset. neu_laden 1 asks for the state's background picture.
void Zustand_wechseln(std::int32_t ziel, std::uint8_t neu_laden);
// Loads the current state's background picture when a transition asked for it.
void Hintergrund_laden();
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
