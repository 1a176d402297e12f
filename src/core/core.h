// The bottom of the game, above the platform only: the screen state and the
// routine that ends the run, the game window with the error box it owns, and
// the game's one random generator. Every other layer of the game may use it;
// it uses nothing of the game.
#pragma once

#include <cstdint>

#include "core/nummern.h"
#include "platform/win32.h"

// Screen state (values in Zustand::): what each pass of the main loop runs.
// Read it here; every change goes through Zustand_setzen.
extern const std::int32_t& Spielzustand;
void Zustand_setzen(std::int32_t zustand);

// Ends the run: the main loop stops before its next pass and the shutdown
// follows. Lower layers call it after a fatal error of their own.
void Lauf_beenden();

// The game window; every message box of the game is owned by it.
extern HWND Hauptfenster;

// Reports an error at once in a modal box owned by the game window, caption
// "Error...", error icon. text is Windows-1252.
void Fehler_melden(const char* text);

// The game's random generator: state = state * 214013 + 2531011 (mod 2^32),
// each draw (state >> 16) & 0x7FFF, a number from 0 to 32767.
void Zufall_saeen(std::uint32_t seed);
std::int32_t Zufall();
// Watches the generator when set (tests follow the order of the game's
// decisions with it): called with gesaet true and the seed at every seeding,
// with false and the number drawn at every draw.
extern void (*Zufall_Beobachter)(bool gesaet, std::uint32_t wert);
