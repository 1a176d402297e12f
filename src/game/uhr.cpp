// The round clock, the ambient sounds and the pop-up figure.
#include "audio/audio.h"
#include "core/spielstand.h"
#include "core/takt.h"
#include "game/game.h"
#include "platform/system.h"
#include "score/score.h"

Kulissentakt Kulisse_A = {};
Kulissentakt Kulisse_B = {};

std::int32_t Figur_Zustand = Figur::Ruht;
std::int32_t Figur_y = 768;
std::int32_t Figur_Anker = 0;
std::uint32_t Figur_Schrittzeit = 0;
bool Figur_gestartet = false;

namespace {

constexpr std::int32_t kFigur_Schritt = 15;
constexpr std::int32_t kFigur_Oben = 431;     // rising stops once above this
constexpr std::int32_t kFigur_Unten = 768;    // sinking stops once below this
constexpr std::uint32_t kFigur_Takt = 2;      // ms between steps, at least
constexpr std::uint32_t kFigur_Pause = 1200;  // ms shown at the top

// Whether the ambient sound of a timer is due; if so its next interval is
// drawn as basis + r mod spanne.
bool Kulisse_faellig(Kulissentakt& takt, std::uint32_t basis, std::int32_t spanne) {
    const std::uint32_t jetzt = platform::tick_count();
    if (jetzt - takt.Letzter <= takt.Abstand) {
        return false;
    }
    takt.Letzter = jetzt;
    takt.Abstand = basis + static_cast<std::uint32_t>(Zufall() % spanne);
    return true;
}

}  // namespace

void Geraeuschkulisse() {
    if (Kulisse_faellig(Kulisse_A, 3000, 10000)) {
        Klang_abspielen(Klang::Kulisse_oft);
    }
    if (Kulisse_faellig(Kulisse_B, 10000, 20000)) {
        Klang_abspielen(Klang::Kulisse_selten);
    }
}

void Bildtakt_und_Uhr() {
    // A pass of play lasts at least 25 ms.
    for (;;) {
        const std::uint32_t vergangen = platform::tick_count() - Bildtakt;
        if (vergangen >= 25) {
            break;
        }
        platform::idle_step(25 - vergangen);
    }

    // The clock counts passes, not time: a round second is 41 passes however
    // long they took.
    if (Sekundentakt < 1000) {
        Sekundentakt += 25;
        return;
    }
    Zeit -= 1;
    if (Zeit > 0) {
        if (Zeit <= 10) {
            Klang_abspielen(Klang::Tick);
        }
        Sekundentakt = 0;
        return;
    }

    // Time is up: a round enters the list only with more points than its
    // last entry.
    Blinktakt(1000, 1);
    if (Punkte > Highscoreliste[9].Punkte) {
        if (Punkte > Highscore) {
            Highscore = Punkte;
        }
        Gewonnen = 1;
        Klang_abspielen(Klang::Rekord);
        Zustand_setzen(Zustand::Neuer_Highscore);
    } else {
        Gewonnen = 0;
        Klang_abspielen(Klang::Schluss);
        Zustand_setzen(Zustand::Game_Over);
    }
    Sekundentakt = 0;
}

bool Rekordfigur(std::uint8_t start, std::uint8_t zuruecksetzen) {
    const std::uint32_t jetzt = platform::tick_count();
    if (!Figur_gestartet) {
        Figur_gestartet = true;
        Figur_Schrittzeit = jetzt;
    }
    if (zuruecksetzen == 1) {
        Figur_Zustand = Figur::Ruht;
    }
    if (start == 1 && Figur_Zustand == Figur::Ruht) {
        // From here on the figure keeps its place in the landscape.
        Figur_Anker = -Scroll_x;
        Klang_abspielen(Klang::Rekordfigur);
        Figur_Zustand = Figur::Steigt;
    } else if (Figur_Zustand == Figur::Ruht || Figur_Zustand == Figur::Fertig) {
        return false;
    }

    // y is never reset: each rise starts where the last sink ended.
    switch (Figur_Zustand) {
        case Figur::Steigt:
            if (Figur_y < kFigur_Oben) {
                Figur_Zustand = Figur::Zeigt;
            } else if (jetzt - Figur_Schrittzeit > kFigur_Takt) {
                Figur_y -= kFigur_Schritt;
                Figur_Schrittzeit = jetzt;
            }
            break;
        case Figur::Zeigt:
            if (jetzt - Figur_Schrittzeit > kFigur_Pause) {
                Figur_Zustand = Figur::Sinkt;
            }
            break;
        case Figur::Sinkt:
            if (Figur_y > kFigur_Unten) {
                Figur_Zustand = Figur::Fertig;
            } else if (jetzt - Figur_Schrittzeit > kFigur_Takt) {
                Figur_y += kFigur_Schritt;
                Figur_Schrittzeit = jetzt;
            }
            break;
        default:
            break;
    }
    return true;
}
