// The real game's entry point; the game runs on the SDL backend. Before the
// game itself starts, the command line picks full screen or a window, and the
// installed game moves into the player's game folder.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/aufnahme.h"
#include "app/spiel.h"
#include "platform/cp1252.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/stats.h"
#include "platform/window.h"

namespace {

constexpr const char* kHilfe =
    "Usage: bramblecourt [OPTION]\n"
    "A shooting gallery: aim with the mouse, fire with the left button, reload\n"
    "with the right one, and chase the top-ten list.\n"
    "\n"
    "  --window   start in a window instead of full screen (Alt+Enter switches)\n"
    "  --stats    at the end, print how long the passes of the main loop took,\n"
    "             by screen, and the time to the first title frame\n"
    "  --record FILE  record the session into FILE (and its trace into\n"
    "             FILE.trace), for a bug report: bramblecourt-sim --replay FILE\n"
    "             plays it again exactly\n"
    "  --snap-at-exit FILE  write the frame shown last to FILE (PNG) at the end\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "The installed game plays in ${XDG_DATA_HOME:-~/.local/share}/bramblecourt:\n"
    "Score.dat and your MP3 files live there, and your own Grafik.dat, Sound.dat\n"
    "or tunes there take the place of the installed ones.\n"
    "\n"
    "Bramblecourt is free software under the MIT licence (see --version).\n";

constexpr const char* kVersion =
    "bramblecourt " BRAMBLE_VERSION
    "\n"
    "Copyright (c) 2026 The Bramblecourt authors\n"
    "Free software under the MIT licence, with its default data: see the file\n"
    "LICENSE (/usr/share/doc/bramblecourt/copyright in the Debian package).\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

enum class Befehl { Spielen, Beenden, Fehler };

struct Befehlszeile {
    bool im_fenster = false;
    std::string aufnahme;
    std::string schnappschuss;
    std::string schnappschuss_name;  // as given, for the trace
};

Befehl Befehlszeile_lesen(int argc, char** argv, Befehlszeile& b) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kHilfe, stdout);
            return Befehl::Beenden;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::fputs(kVersion, stdout);
            return Befehl::Beenden;
        }
        if (std::strcmp(arg, "--window") == 0) {
            b.im_fenster = true;
            continue;
        }
        if (std::strcmp(arg, "--record") == 0 || std::strcmp(arg, "--snap-at-exit") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "bramblecourt: %s needs a file name\n", arg);
                return Befehl::Fehler;
            }
            (std::strcmp(arg, "--record") == 0 ? b.aufnahme : b.schnappschuss) = argv[++i];
            continue;
        }
        if (std::strcmp(arg, "--stats") == 0) {
            platform::stats::enable();
            continue;
        }
        std::fprintf(stderr,
                     "bramblecourt: %s '%s'\n"
                     "Try 'bramblecourt --help' for the options.\n",
                     arg[0] == '-' ? "unknown option" : "unexpected argument", arg);
        return Befehl::Fehler;
    }
    return Befehl::Spielen;
}

// The installed game plays in the player's game folder and reads what that
// folder lacks from the installed data. Run from its build folder, it plays
// in the working folder, as scripts/play and the tests start it.
bool Spielordner_betreten() {
    const std::string daten = platform::installed_data_folder();
    if (daten.empty()) {
        return true;
    }
    const std::string ordner = platform::player_game_folder("bramblecourt");
    std::string grund = "no home folder";
    if (ordner.empty() || !platform::enter_folder(ordner, grund)) {
        const std::string text =
            "Der Spielordner kann nicht angelegt werden!\n" + platform::utf8_to_cp1252(grund);
        platform::message_box(nullptr, text.c_str(), "Error...", MB_ICONERROR);
        return false;
    }
    platform::set_read_fallback(daten);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Befehlszeile b;
    switch (Befehlszeile_lesen(argc, argv, b)) {
        case Befehl::Beenden:
            return 0;
        case Befehl::Fehler:
            return 2;
        case Befehl::Spielen:
            break;
    }
    // Names given on the command line are meant from where the game was
    // started, not from the game folder it moves into.
    b.schnappschuss_name = b.schnappschuss;
    for (std::string* pfad : {&b.aufnahme, &b.schnappschuss}) {
        std::error_code fehler;
        if (!pfad->empty()) {
            const std::filesystem::path absolut = std::filesystem::absolute(*pfad, fehler);
            if (!fehler) {
                *pfad = absolut.string();
            }
        }
    }
    if (!Spielordner_betreten()) {
        return 1;
    }
    platform::window_start_fullscreen(!b.im_fenster);
    if (b.aufnahme.empty() && b.schnappschuss.empty()) {
        // Its last step prints the pass times of --stats.
        return Hauptprogramm();
    }
    const int code = Aufgenommen_spielen(b.aufnahme, b.schnappschuss, b.schnappschuss_name);
    if (platform::stats::enabled()) {
        Laufzeiten_ausgeben(stdout);
    }
    return code;
}
