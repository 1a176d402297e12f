// All input arrives as window messages and is handled here, first by screen
// state, then by message: the same key means different things on different
// screens.
#include <cstring>

#include "app/spiel.h"
#include "audio/audio.h"
#include "game/game.h"
#include "platform/window.h"
#include "score/score.h"
#include "screens/screens.h"

namespace {

constexpr LRESULT kBehandelt = 0;

void Maus_merken(LPARAM lparam) {
    Maus_x = LOWORD(static_cast<std::uintptr_t>(lparam));
    Maus_y = HIWORD(static_cast<std::uintptr_t>(lparam));
}

// Characters are compared on the low byte of wParam.
char Zeichen(WPARAM wparam) {
    return static_cast<char>(wparam & 0xFF);
}

void Beenden_fragen() {
    Blinktakt(1000, 1);
    Zustand_setzen(Zustand::Beenden);
    Klang_abspielen(Klang::Schluss);
}

// The current tune's file name, or an empty name when the jukebox has no
// valid current tune.
const char* Aktuelle_Mp3() {
    return Mp3_Nummer >= 0 && Mp3_Nummer < 10 ? Mp3_Liste[Mp3_Nummer] : "";
}

}  // namespace

bool Titel_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM) {
    if (nachricht != WM_KEYDOWN) {
        return false;
    }
    if (wparam == VK_RETURN || wparam == VK_SPACE) {
        Zustand_wechseln(Zustand::Menue, 1);
        Musik_abspielen("main.wav");
        return true;
    }
    if (wparam == VK_ESCAPE) {
        platform::post_message(Hauptfenster, WM_CLOSE, 0, 0);
        return true;
    }
    return false;
}

bool Menue_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM lparam) {
    switch (nachricht) {
        case WM_KEYDOWN:
            switch (wparam) {
                case VK_RETURN:
                case VK_SPACE:
                    Menue_ausloesen(0, 0, Menuepunkt);
                    return true;
                case VK_ESCAPE:
                    Beenden_fragen();
                    return true;
                case VK_UP:
                    Menuepunkt -= 1;
                    if (Menuepunkt < 0) {
                        Menuepunkt = 3;
                    }
                    Klang_abspielen(Klang::Auswahl);
                    return true;
                case VK_DOWN:
                    Menuepunkt += 1;
                    if (Menuepunkt >= 4) {
                        Menuepunkt = 0;
                    }
                    Klang_abspielen(Klang::Auswahl);
                    return true;
                default:
                    return false;
            }
        case WM_MOUSEMOVE:
            Maus_merken(lparam);
            return true;
        case WM_LBUTTONDOWN:
            Menue_ausloesen(Maus_x, Maus_y, -1);
            return true;
        default:
            return false;
    }
}

// Play takes every key and character, also those it does nothing with.
bool Spiel_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM lparam) {
    switch (nachricht) {
        case WM_KEYDOWN:
            switch (wparam) {
                case VK_ESCAPE:
                    Zustand_wechseln(Zustand::Menue, 1);
                    break;
                case VK_SPACE:
                    Zustand_wechseln(Zustand::Rundenstart, 0);
                    break;
                case VK_LEFT:
                    Ansicht_scrollen(1, 40);
                    break;
                case VK_RIGHT:
                    Ansicht_scrollen(2, 40);
                    break;
                case VK_UP:
                    Mp3_wechseln(0, Mp3_NAECHSTES);
                    break;
                case VK_DOWN:
                    Mp3_wechseln(0, Mp3_VORHERIGES);
                    break;
                case VK_F1:
                    Debugmodus = Debugmodus == 0 ? 1 : 0;
                    break;
                case VK_F2:
                    if (Mp3_Status == Mp3::Offen) {
                        Mp3_steuern(Mp3::Schliessen, "");
                        Mp3_an = 0;
                    } else {
                        Mp3_an = 1;
                        Mp3_steuern(Mp3::Endlos, Aktuelle_Mp3());
                    }
                    break;
                case VK_F3:
                    Mp3_steuern(Mp3::Schliessen, "");
                    Mp3_wechseln(0, Mp3_ZUFALL);
                    break;
                default:
                    break;
            }
            return true;
        case WM_CHAR: {
            const char c = Zeichen(wparam);
            if (c >= '0' && c <= '9') {
                Mp3_steuern(Mp3::Schliessen, "");
                Mp3_wechseln(Ziffer_lesen(c), 0);
            }
            return true;
        }
        case WM_MOUSEMOVE:
            Maus_merken(lparam);
            return true;
        case WM_LBUTTONDOWN:
            Schuss_abgeben(Maus_x, Maus_y);
            return true;
        case WM_RBUTTONDOWN:
            Nachladen();
            return true;
        default:
            return false;
    }
}

bool Namenseingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM) {
    if (nachricht != WM_CHAR) {
        return false;
    }
    const char c = Zeichen(wparam);
    if (c == 13) {
        if (Spielername[0] == '\0') {
            std::strcpy(Spielername, "Monkey");
        }
        Highscore_eintragen(Spielername, Punkte);
        Zustand_setzen(Zustand::Game_Over);
        Klang_abspielen(Klang::Schuss, 0, 50000);
    } else {
        Texteingabe(2, c, Spielername);
        Klang_abspielen(Klang::Auswahl, 0, 50000);
    }
    return true;
}

bool Spielende_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM) {
    if (nachricht != WM_CHAR) {
        return false;
    }
    const char c = Zeichen(wparam);
    if (c == 'j' || c == 'y') {
        Zustand_wechseln(Zustand::Rundenstart, 0);
        return true;
    }
    if (c == 'n') {
        Zustand_wechseln(Zustand::Menue, 1);
        return true;
    }
    return false;
}

bool Tabelle_oder_Credits_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM) {
    if (nachricht != WM_KEYDOWN) {
        return false;
    }
    if (wparam == VK_RETURN || wparam == VK_ESCAPE || wparam == VK_SPACE) {
        Zustand_wechseln(Zustand::Menue, 1);
        Musik_abspielen(nullptr);
        return true;
    }
    if (wparam == VK_F1 && Spielzustand == Zustand::Credits) {
        Klang_abspielen(Klang::Tick);
        Geheimseite_zeichnen(Geheimseite_zeichnen(0) != 0 ? 2 : 1);
        return true;
    }
    return false;
}

bool Beenden_Eingabe(std::uint32_t nachricht, WPARAM wparam, LPARAM) {
    if (nachricht == WM_CHAR) {
        const char c = Zeichen(wparam);
        if (c == 'j' || c == 'y' || c == 'z') {
            Beenden_zeichnen(1);
            Zustand_setzen(Zustand::Ende);
            return true;
        }
        if (c == 'n') {
            Zustand_wechseln(Zustand::Menue, 0);
            return true;
        }
        return false;
    }
    if (nachricht == WM_KEYDOWN && wparam == VK_ESCAPE) {
        Zustand_wechseln(Zustand::Menue, 0);
        return true;
    }
    return false;
}

LRESULT Fensterprozedur(HWND fenster, std::uint32_t nachricht, WPARAM wparam, LPARAM lparam) {
    const Zustandsbeschreibung* zustand = Zustand_beschreibung(Spielzustand);
    if (zustand == nullptr) {
        return platform::default_window_proc(fenster, nachricht, wparam, lparam);
    }
    if (nachricht == WM_DESTROY) {
        Zustand_setzen(Zustand::Ende);
        platform::post_message(fenster, WM_QUIT, 0, 0);
        return kBehandelt;
    }
    if (nachricht == WM_CLOSE) {
        // The window stays; the loop ends and the shutdown runs.
        Zustand_setzen(Zustand::Ende);
        return kBehandelt;
    }

    const bool behandelt =
        zustand->eingabe != nullptr && zustand->eingabe(nachricht, wparam, lparam);
    return behandelt ? kBehandelt
                     : platform::default_window_proc(fenster, nachricht, wparam, lparam);
}

void Menue_ausloesen(std::int32_t x, std::int32_t y, std::int32_t punkt) {
    if (punkt == -1) {
        int gefunden = -1;
        for (int i = 0; i < 4; ++i) {
            if (Punkt_in_Rechteck(x, y, Menue_Trefferfelder[i])) {
                gefunden = i;
                break;
            }
        }
        if (gefunden < 0) {
            return;
        }
        Menuepunkt = gefunden;
    }
    switch (Menuepunkt) {
        case 0:
            Zustand_wechseln(Zustand::Rundenstart, 1);
            break;
        case 1:
            Zustand_wechseln(Zustand::Highscoreliste, 1);
            break;
        case 2:
            Zustand_wechseln(Zustand::Credits, 1);
            break;
        case 3:
            Beenden_fragen();
            break;
        default:
            break;
    }
    Klang_abspielen(Klang::Schuss);
}

bool Punkt_in_Rechteck(std::int32_t x, std::int32_t y, const platform::Rect& rechteck) {
    return rechteck.left <= x && x <= rechteck.right && rechteck.top <= y && y <= rechteck.bottom;
}

std::int32_t Ziffer_lesen(char zeichen) {
    return zeichen >= '1' && zeichen <= '9' ? zeichen - '0' : 0;
}
