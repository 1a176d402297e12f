// The round intro and the two text buffers that every screen formats into.
// The intro counts "-3-", "-2-", "-1-", "Shot!" over the landscape, one step
// every 1200 ms, and hands over to play the moment the count runs out.
#include <cstdio>
#include <cstring>

#include "audio/audio.h"
#include "core/spielstand.h"
#include "core/tabellen.h"
#include "core/takt.h"
#include "gfx/bilder.h"
#include "screens/screens.h"
#include "text/bitmaptext.h"

char Zeilenpuffer[80] = {};
char Titelpuffer[84] = {};

namespace {

// The intro picture shown; kept from frame to frame and back to 0 when the
// intro ends, so that every intro starts with the first picture.
int Rundenbild_Nr = 0;

constexpr std::int32_t kSchritt = 1200;

}  // namespace

void Rundenstart_zeichnen() {
    Landschaft_zeichnen();

    switch (Countdown(kSchritt, 0, 0)) {
        case 4:
            std::strcpy(Zeilenpuffer, "-3-");
            Klang_abspielen(Klang::Countdown);
            Rundenbild_Nr = 0;
            break;
        case 3:
            std::strcpy(Zeilenpuffer, "-2-");
            Klang_abspielen(Klang::Countdown);
            Rundenbild_Nr = 1;
            break;
        case 2:
            std::strcpy(Zeilenpuffer, "-1-");
            Klang_abspielen(Klang::Countdown);
            Klang_abspielen(Klang::Countdown_eins);
            Rundenbild_Nr = 2;
            break;
        case 1:
            std::strcpy(Zeilenpuffer, "Shot!");
            Klang_abspielen(Klang::Los);
            Klang_abspielen(Klang::Los_Hall);
            Rundenbild_Nr = 3;
            break;
        case 0:
            // Play starts in this very pass's successor: this frame is
            // neither finished nor shown.
            Rundenbild_Nr = 0;
            Zustand_setzen(Zustand::Spiel);
            return;
        default:  // still waiting for the next step
            break;
    }

    // Centred on the screen.
    DDraw_Bild_blitten(512 - Bildgroessen[Bild::Rundenbild].Breite / 2, 75, Bild::Rundenbild,
                       lpDDSRundenbild[Rundenbild_Nr], lpDDSBack);
    std::snprintf(Titelpuffer, sizeof Titelpuffer, "Round %i", Runde);
    BitmapText_ausgeben(lpDDSSchrift, Titelpuffer, 512, 290, 2, lpDDSBack);
    BitmapText_ausgeben(lpDDSSchrift, Zeilenpuffer, 512, 355, 2, lpDDSBack);
    DDraw_Puffer_flippen();
}
