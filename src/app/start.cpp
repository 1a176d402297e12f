// The start-up sequence: required files, highscores, player name, archives,
// jukebox list, display, every long-lived surface with its picture, the fonts,
// the sound system, the sprites, and finally the title screen with its tune.
#include "app/start.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/spiel.h"
#include "audio/audio.h"
#include "core/tabellen.h"
#include "pack/packfile.h"
#include "platform/file.h"
#include "platform/system.h"
#include "platform/window.h"
#include "score/score.h"
#include "screens/screens.h"
#include "text/bitmaptext.h"

namespace {

constexpr std::uint8_t kSystemspeicher = 0;
constexpr std::uint8_t kVideospeicher = 1;

// The final box of a failed start; its caption carries the step's number.
void Start_abbrechen(int nummer) {
    Zustand_setzen(Zustand::Ende);
    std::snprintf(Zeilenpuffer, sizeof Zeilenpuffer, "Error Nr.:%i", nummer);
    platform::message_box(Hauptfenster, "Dieses Spiel kann leider nicht gestartet werden!",
                          Zeilenpuffer, MB_ICONERROR);
}

int Bild_laden(int nummer, Surface* ziel) {
    return PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, nummer, ziel);
}

// A surface of the size of Grafik.dat's entry bild, which it will hold.
int Bildflaeche_anlegen(Surface** surface, int bild, std::uint8_t placement) {
    return DDraw_Offscreen_anlegen(surface, Bildgroessen[bild].Breite, Bildgroessen[bild].Hoehe,
                                   placement);
}

}  // namespace

bool Datei_vorhanden(const char* name) {
    return platform::File::open(name, platform::File::Mode::Read) != nullptr;
}

bool Dateien_pruefen() {
    static constexpr const char* kDateien[] = {"Grafik.dat", "Sound.dat", "start.wav",  "main.wav",
                                               "win.wav",    "lose.wav",  "credits.wav"};
    for (const char* datei : kDateien) {
        if (!Datei_vorhanden(datei)) {
            platform::message_box(
                Hauptfenster,
                "Es fehlt mindestens eine Datei!\nDas Spiel kann leider nicht gestartet werden!",
                "Error...", MB_ICONERROR);
            return false;
        }
    }
    return true;
}

RECT* Rechteck_setzen(RECT* rechteck, std::int32_t links, std::int32_t oben, std::int32_t unten,
                      std::int32_t rechts) {
    rechteck->left = links;
    rechteck->top = oben;
    rechteck->right = rechts;
    rechteck->bottom = unten;
    return rechteck;
}

void Spiel_starten() {
    Farbtiefe = 16;

    if (!Dateien_pruefen()) {
        Zustand_setzen(Zustand::Ende);
        return;
    }

    // A missing or broken Score.dat is replaced here, before anything else
    // can fail.
    Highscore_laden("Score.dat");

    // The login name presets the name entry, cut to the 16 characters a
    // player name can have; without one the name stays empty.
    const std::string anmeldename = platform::login_name();
    const std::size_t laenge = std::min(anmeldename.size(), sizeof Spielername - 1);
    std::memcpy(Spielername, anmeldename.data(), laenge);
    Spielername[laenge] = '\0';
    Texteingabe(3, 0, Spielername);

    if (PackFile_oeffnen("Grafik.dat", &Grafik_Verzeichnis, Grafik_Schluessel) != 0) {
        return Start_abbrechen(8);
    }
    if (PackFile_oeffnen("Sound.dat", &Sound_Verzeichnis, Sound_Schluessel) != 0) {
        return Start_abbrechen(9);
    }

    // A game without tunes of its own starts normally.
    Mp3_suchen();

    if (DDraw_starten() != 0) {
        return Start_abbrechen(10);
    }
    RECT bildschirm;
    Rechteck_setzen(&bildschirm, 0, 0, 768, 1024);
    if (DDraw_Clipper_erzeugen(&bildschirm, 1) != 0) {
        return Start_abbrechen(11);
    }

    if (Bildflaeche_anlegen(&lpDDSHintergrund, Bild::Titel, kSystemspeicher) != 0) {
        return Start_abbrechen(12);
    }
    if (Bildflaeche_anlegen(&lpDDSLandschaft, Bild::Landschaft, kVideospeicher) != 0) {
        return Start_abbrechen(13);
    }
    if (Bildflaeche_anlegen(&lpDDSSchrift, Bild::Schrift, kVideospeicher) != 0) {
        return Start_abbrechen(14);
    }
    if (Bild_laden(Bild::Schrift, lpDDSSchrift) != 0) {
        return Start_abbrechen(15);
    }
    if (BitmapText_einlesen(lpDDSSchrift, &Zeichensatz, 0xC9C9C9) != 0) {
        return Start_abbrechen(16);
    }
    if (Bildflaeche_anlegen(&lpDDSSchriftRot, Bild::Schrift, kSystemspeicher) != 0) {
        return Start_abbrechen(17);
    }
    if (DDraw_Offscreen_klonen(lpDDSSchrift, lpDDSSchriftRot, 1, 0x282828, 0xCC0000) != 0) {
        return Start_abbrechen(18);
    }

    // The intro pictures and the pop-up figure are not vital: a failure has
    // shown its own message and the game goes on.
    for (Surface*& bild : lpDDSRundenbild) {
        Bildflaeche_anlegen(&bild, Bild::Rundenbild, kSystemspeicher);
    }
    for (int i = 0; i < 4; ++i) {
        Bild_laden(Bild::Rundenbild + i, lpDDSRundenbild[i]);
    }
    Bildflaeche_anlegen(&lpDDSRekordfigur, Bild::Rekordfigur, kVideospeicher);
    Bild_laden(Bild::Rekordfigur, lpDDSRekordfigur);

    if (Bildflaeche_anlegen(&lpDDSPatrone, Bild::Patrone, kVideospeicher) != 0) {
        return Start_abbrechen(19);
    }
    if (Bild_laden(Bild::Patrone, lpDDSPatrone) != 0) {
        return Start_abbrechen(20);
    }
    if (Bildflaeche_anlegen(&lpDDSEinschuss, Bild::Einschuss, kVideospeicher) != 0) {
        return Start_abbrechen(21);
    }
    if (Bild_laden(Bild::Einschuss, lpDDSEinschuss) != 0) {
        return Start_abbrechen(22);
    }

    if (DSound_starten() != 0) {
        return Start_abbrechen(23);
    }

    Sprites_laden();

    Zustand_wechseln(Zustand::Titel, 1);
    Musik_abspielen("start.wav");
}
