// One drawing routine per screen state: each composes a whole frame in the
// back buffer and flips it. Also the text buffers every screen formats into,
// the menu's hit rectangles and the name editor of the new-highscore screen.
#pragma once

#include <cstdint>

#include "gfx/ddraw.h"

// Two text buffers shared by all screens. The round intro keeps its countdown
// text in the line buffer between frames.
extern char Zeilenpuffer[80];
extern char Titelpuffer[84];

// Game view and round intro.
void Spielszene_zeichnen();
void Rundenstart_zeichnen();

// Title and menu. The menu writes one hit rectangle per item (left, top,
// right, bottom, borders included) while it draws the labels; the input
// handling tests mouse clicks against them.
extern RECT Menue_Trefferfelder[4];
// The colour the red font's letters have at the moment (0xRRGGBB).
extern std::uint32_t Hervorhebungsfarbe;
void Titel_zeichnen();
void Menue_zeichnen();

// Round-end screens and the name editor: operation 2 edits with a typed key,
// 3 sets the text from the string, 4 copies the text into the string.
void Neuer_Highscore_zeichnen();
void Game_Over_zeichnen();
unsigned Texteingabe(unsigned operation, int taste, char* text);

// Highscore table, credits and the quit confirmation. abschied 0 draws the
// question, anything else the farewell frame. Geheimseite_zeichnen: operation
// 0 asks for the hidden page's mode (0 off, 3 on), 1 turns it on, 2 off.
void Highscoreliste_zeichnen();
void Credits_zeichnen();
void Beenden_zeichnen(std::uint8_t abschied);
std::int32_t Geheimseite_zeichnen(std::int32_t operation);
