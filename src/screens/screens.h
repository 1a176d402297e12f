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

// Shared first steps: the sky with the landscape at the scroll position (play,
// intro, round end); black with the full-screen background picture (title,
// menu, table, credits, quit).
void Landschaft_zeichnen();

// A heading's throb (the new-highscore and game-over headings, the hidden
// page): once more than abstand ms have passed since the last step, the
// growth moves one step, rising until it passes grenze, then falling until
// it is below 1. Each heading has its own; zeit is stamped by its screen.
struct Puls {
    std::int32_t wachstum = 2;
    std::uint8_t waechst = 1;
    std::uint32_t zeit = 0;  // of the last step
    bool gestempelt = false;

    void schlagen(std::uint32_t jetzt, std::uint32_t abstand, std::int32_t grenze) {
        if (jetzt - zeit <= abstand) {
            return;
        }
        zeit = jetzt;
        wachstum += waechst != 0 ? 1 : -1;
        if (wachstum > grenze) {
            waechst = 0;
        } else if (wachstum < 1) {
            waechst = 1;
        }
    }
};
void Hintergrund_zeichnen();

// Game view and round intro. Spielszene_zeichnen runs the steps below in
// this order: the targets' animation, sky, layer-1 targets, landscape,
// layer-0 targets, pop-up figure, status line, impact, shells, debug lines,
// pop-ups, flip.
void Spielszene_zeichnen();
void Objekte_animieren();
void Objekte_zeichnen(std::uint8_t ebene);
// The pop-up figure moves one step and is drawn while it runs.
void Rekordfigur_zeigen();
// The last hit's impact, while it is recent.
void Einschlag_zeichnen();
void Statuszeile_zeichnen();
void Patronen_zeichnen(Surface* patrone);
void Debug_Objekte_zeichnen();
void Einblendungen_zeichnen();
void Rundenstart_zeichnen();

// Title and menu. The menu writes one hit rectangle per item (left, top,
// right, bottom, borders included) while it draws the labels; the input
// handling tests mouse clicks against them.
extern RECT Menue_Trefferfelder[4];
// The colour the red font's letters have at the moment (0xRRGGBB).
extern std::uint32_t Hervorhebungsfarbe;
void Titel_zeichnen();
void Menue_zeichnen();
// The rectangle of n average glyphs at (x, y) aligned as the text routines
// do (2 centred, 3 right-aligned, else left-aligned). An index above 3 is
// taken as 3.
void Menue_Trefferfeld_setzen(int x, int y, int modus, int n, int index);

// Round-end screens and the name editor: operation 2 edits with a typed key,
// 3 sets the text from the string, 4 copies the text into the string.
struct Namenspuffer {
    char Text[17];        // at most 16 characters and a zero
    std::int32_t Laenge;  // characters in Text
};
extern Namenspuffer Eingabepuffer;
void Neuer_Highscore_zeichnen();
void Game_Over_zeichnen();
unsigned Texteingabe(unsigned operation, int taste, char* text);

// Highscore table, credits and the quit confirmation. abschied 0 draws the
// question, anything else the farewell frame. Geheimseite_zeichnen: operation
// 0 asks for the hidden page's mode (0 off, 3 on), 1 turns it on, 2 off, 3
// draws it; the credits show it instead of their pages while it is on.
struct Credits_Seite {
    char Text[96];        // lines joined by line feeds, at most 95 characters
    std::int32_t Halten;  // ms the complete page stands before it flies out
    std::int32_t x;       // left edge of every line, 0 to centre each on 512
    std::int32_t y;       // top of the first line
};
extern const Credits_Seite Credits_Seiten[8];
void Highscoreliste_zeichnen();
void Credits_zeichnen();
void Beenden_zeichnen(std::uint8_t abschied);
std::int32_t Geheimseite_zeichnen(std::int32_t operation);
