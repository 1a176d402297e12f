// The screens that show rather than play: the top-ten table, the credits
// whose letters fly in and out page by page, the quit question with its
// farewell frame, and the hidden page that F1 turns on in the credits.
#include <cstdio>
#include <cstring>

#include "core/spielstand.h"
#include "core/takt.h"
#include "gfx/bilder.h"
#include "platform/system.h"
#include "score/score.h"
#include "screens/screens.h"
#include "text/bitmaptext.h"

// Each page flies in, stands complete for its hold time, and flies out; after
// the last page the first comes again. Page 7's contact and web lines point
// to what this project really has: its README and its issue tracker.
const Credits_Seite Credits_Seiten[8] = {
    {"Game Design\n\nFriedhelm, Konrad Harbeck\n&  \nJannik Wessel", 2000, 0, 200},
    {"Programming\n\nFriedhelm Harbeck", 2000, 0, 200},
    {"Grafik\n\nFriedhelm Harbeck", 2000, 0, 200},
    {"SoundFx\n\nFriedhelm Harbeck", 2000, 0, 200},
    {"SpecialFx\n\nFriedhelm Harbeck", 2000, 0, 200},
    {"Special Thanks\n\nJannik Wessel  ", 2000, 0, 200},
    {"Pictures\n\nDrawn in code by the\nbuilt-in asset generator", 2000, 0, 200},
    {"Contact\n\nRead README.md\n\nQuestions and bugs:\nthe project issue tracker", 8000, 0, 200},
};

namespace {

// The hidden page: its mode (0 off, 3 on) and the throb of its heading.
struct Geheimseite {
    std::int32_t modus = 0;
    Puls puls;  // stamped at the page's first call, one step every 21 ms or more
};

Geheimseite Geheim;

constexpr std::int32_t kGeheimAn = 3;

// Where the credits stand; only the first visit of the run starts at page
// 0, later visits go on with the page (and its letters) where they were.
struct Credits_Ablauf {
    std::int32_t seite = 0;
    std::int32_t anzahl = 8;
    std::int32_t bewegung = 1;  // 1 letters fly in, 2 they fly out
    std::int32_t ergebnis = 0;  // the effect's last result
    std::uint8_t angekommen = 1;
    std::uint8_t starten = 1;
    std::uint32_t haltebeginn = 0;
    bool begonnen = false;
};

Credits_Ablauf Credits;

constexpr std::int32_t kEinfliegen = 1;
constexpr std::int32_t kAusfliegen = 2;
constexpr std::int32_t kSeiteSteht = 3;
constexpr std::int32_t kSeiteFort = 5;

}  // namespace

void Highscoreliste_zeichnen() {
    Hintergrund_zeichnen();
    BitmapText_ausgeben(lpDDSSchrift, "Top 10", 512, 75, 2, lpDDSBack);
    // Each row stands 3 pixels further right than the one above it.
    for (int i = 0; i < 10; ++i) {
        const int y = 170 + i * Zeichensatz.H;
        const Highscore_Eintrag& e = Highscoreliste[i];
        std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "%02i.", i + 1);
        BitmapText_ausgeben(lpDDSSchrift, Zeilenpuffer, 200 + 3 * i, y, 3, lpDDSBack);
        std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "%12.*s", static_cast<int>(sizeof e.Name),
                      e.Name);
        BitmapText_ausgeben(lpDDSSchrift, Zeilenpuffer, 240 + 3 * i, y, 1, lpDDSBack);
        std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "%04i", e.Punkte);
        BitmapText_ausgeben(lpDDSSchrift, Zeilenpuffer, 720 + 3 * i, y, 1, lpDDSBack);
    }
    if (Blinktakt(500, 0)) {
        BitmapText_ausgeben(lpDDSSchrift, "Press SPACE to exit", 512, 678, 2, lpDDSBack);
    }
    DDraw_Puffer_flippen();
}

void Credits_zeichnen() {
    Credits_Ablauf& c = Credits;
    if (!c.begonnen) {
        c.haltebeginn = platform::tick_count();
        c.begonnen = true;
    }
    // While it is on, the hidden page takes the place of the credits, which
    // wait where they are.
    if (Geheim.modus == kGeheimAn) {
        Geheimseite_zeichnen(kGeheimAn);
        return;
    }

    const Credits_Seite& seite = Credits_Seiten[c.seite];
    if (c.ergebnis == kSeiteSteht) {
        // The hold counts from the frame after the one that first found the
        // whole page in place.
        if (c.angekommen != 0) {
            c.angekommen = 0;
            c.haltebeginn = platform::tick_count();
        }
        if (platform::tick_count() - c.haltebeginn > static_cast<std::uint32_t>(seite.Halten)) {
            c.bewegung = kAusfliegen;
        }
    }
    if (c.ergebnis == kSeiteFort && c.angekommen == 0) {
        c.seite = c.seite + 1 >= c.anzahl ? 0 : c.seite + 1;
        c.bewegung = kEinfliegen;
        c.angekommen = 1;
        c.starten = 1;
    }
    if (c.starten != 0) {
        const Credits_Seite& neu = Credits_Seiten[c.seite];
        BitmapText_Credits_Effekt(0, neu.Text, neu.x, neu.y, nullptr, nullptr);
        c.starten = 0;
    }

    Hintergrund_zeichnen();
    if (c.bewegung == kEinfliegen) {
        c.ergebnis = BitmapText_Credits_Effekt(1, nullptr, 0, 0, lpDDSSchrift, lpDDSBack);
    } else if (c.bewegung == kAusfliegen) {
        c.ergebnis = BitmapText_Credits_Effekt(2, nullptr, 0, 0, lpDDSSchrift, lpDDSBack);
    }
    DDraw_Puffer_flippen();
}

void Beenden_zeichnen(std::uint8_t abschied) {
    Hintergrund_zeichnen();
    if (abschied == 0) {
        BitmapText_ausgeben(lpDDSSchrift, "Are you sure you want to quite?", 512, 200, 2,
                            lpDDSBack);
        if (Blinktakt(500, 0)) {
            std::snprintf(Titelpuffer, sizeof Titelpuffer, "(Y/N)");
            BitmapText_ausgeben(lpDDSSchrift, Titelpuffer, 502, 394, 2, lpDDSBack);
        }
    } else {
        BitmapText_ausgeben(lpDDSSchrift, "Made by Friedhelm Harbeck", 512, 200, 2, lpDDSBack);
    }
    DDraw_Puffer_flippen();
}

std::int32_t Geheimseite_zeichnen(std::int32_t operation) {
    Geheimseite& g = Geheim;
    if (!g.puls.gestempelt) {
        g.puls.zeit = platform::tick_count();
        g.puls.gestempelt = true;
    }
    switch (operation) {
        case 1:
            g.modus = kGeheimAn;
            break;
        case 2:
            g.modus = 0;
            break;
        case 3: {
            g.puls.schlagen(platform::tick_count(), 20, 10);
            Hintergrund_zeichnen();
            BitmapText_vergroessert_ausgeben(lpDDSSchrift, "Aus is 03/02!", 512, 50, 2,
                                             g.puls.wachstum, lpDDSBack);
            DDraw_Puffer_flippen();
            break;
        }
        default:
            break;
    }
    return g.modus;
}
