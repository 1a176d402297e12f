// The two screens at the end of a round, both over the round's landscape: the
// name entry after a round that made the top ten, and the question whether to
// play again. Also the name editor that the typed keys go through.
#include <cstdio>
#include <cstring>

#include "core/spielstand.h"
#include "core/takt.h"
#include "game/game.h"
#include "platform/system.h"
#include "platform/window.h"
#include "score/score.h"
#include "screens/screens.h"
#include "text/bitmaptext.h"

Namenspuffer Eingabepuffer = {};

namespace {

// The two headings' throbs: the growth swings 2, 3, ..., 7, 6, ..., 0, 1,
// ... one step every 31 ms or more, counted from the screen's first frame.
Puls Highscore_Puls;
Puls Game_Over_Puls;

void Puls_schlagen(Puls& p) {
    const std::uint32_t jetzt = platform::tick_count();
    if (!p.gestempelt) {
        p.zeit = jetzt;
        p.gestempelt = true;
    }
    p.schlagen(jetzt, 30, 6);
}

}  // namespace

unsigned Texteingabe(unsigned operation, int taste, char* text) {
    switch (operation) {
        case 2: {
            // Every key beeps, also one that changes nothing.
            platform::message_beep(0);
            const auto k = static_cast<signed char>(taste & 0xFF);
            if (k == 8) {
                if (Eingabepuffer.Laenge >= 1) {
                    Eingabepuffer.Text[Eingabepuffer.Laenge] = '\0';
                    Eingabepuffer.Laenge -= 1;
                    Eingabepuffer.Text[Eingabepuffer.Laenge] = '\0';
                }
            } else if (k == 9 || k == 10 || k == 13) {
                // Tab, line feed and Enter never enter a name.
            } else if (Eingabepuffer.Laenge < 16) {
                Eingabepuffer.Text[Eingabepuffer.Laenge] = k;
                Eingabepuffer.Laenge += 1;
                Eingabepuffer.Text[Eingabepuffer.Laenge] = '\0';
            }
            break;
        }
        case 3:
            if (text == nullptr) {
                break;
            }
            // The text always stays terminated: a string without a zero in
            // its 17 bytes gives its first 16 characters.
            std::memcpy(Eingabepuffer.Text, text, sizeof Eingabepuffer.Text);
            Eingabepuffer.Text[16] = '\0';
            Eingabepuffer.Laenge = static_cast<std::int32_t>(std::strlen(Eingabepuffer.Text));
            break;
        case 4:
            if (text == nullptr) {
                break;
            }
            std::memcpy(text, Eingabepuffer.Text, sizeof Eingabepuffer.Text);
            break;
        default:
            break;
    }
    return static_cast<unsigned>(Eingabepuffer.Laenge);
}

void Neuer_Highscore_zeichnen() {
    Puls_schlagen(Highscore_Puls);
    Landschaft_zeichnen();
    Rekordfigur_zeigen();

    // Better than the best of the list is a new highscore; better than the
    // lowest only a new record.
    if (Punkte > Highscoreliste[0].Punkte) {
        BitmapText_vergroessert_ausgeben(lpDDSSchriftRot, "N E W  H I G H S C O R E", 110, 50, 1,
                                         Highscore_Puls.wachstum, lpDDSBack);
    } else {
        BitmapText_vergroessert_ausgeben(lpDDSSchriftRot, "N E W  R E C O R D", 200, 50, 1,
                                         Highscore_Puls.wachstum, lpDDSBack);
    }
    std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "You have %04i points.", Punkte);
    BitmapText_ausgeben(lpDDSSchrift, Zeilenpuffer, 512, 200, 2, lpDDSBack);
    BitmapText_ausgeben(lpDDSSchrift, "Name:", 512, 400, 2, lpDDSBack);

    Texteingabe(4, 0, Spielername);
    std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "(%s)", Spielername);
    BitmapText_ausgeben(lpDDSSchriftRot, Zeilenpuffer, 512, 500, 2, lpDDSBack);
    DDraw_Puffer_flippen();
}

void Game_Over_zeichnen() {
    Puls_schlagen(Game_Over_Puls);
    Landschaft_zeichnen();
    BitmapText_vergroessert_ausgeben(lpDDSSchriftRot, "G A M E  O V E R", 250, 50, 1,
                                     Game_Over_Puls.wachstum, lpDDSBack);

    // After a name entry the points have been honoured already.
    if (Gewonnen == 0) {
        if (Punkte > 0) {
            std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "You have only %04i points.", Punkte);
        } else {
            std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "You are a loser.");
        }
        BitmapText_ausgeben(lpDDSSchrift, Zeilenpuffer, 532, 212, 2, lpDDSBack);
    }
    BitmapText_ausgeben(lpDDSSchrift, "Would you like play again?", 512, 404, 2, lpDDSBack);
    if (Blinktakt(500, 0)) {
        BitmapText_ausgeben(lpDDSSchrift, "(y/n)", 502, 534, 2, lpDDSBack);
    }
    DDraw_Puffer_flippen();
}
