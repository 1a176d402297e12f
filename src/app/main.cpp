// The real game's entry point; the game runs on the SDL backend. Before the
// game itself starts, the command line picks full screen or a window, and the
// installed game moves into the player's game folder.
#include <cstdio>
#include <cstring>
#include <string>

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
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "The installed game plays in ${XDG_DATA_HOME:-~/.local/share}/bramblecourt:\n"
    "Score.dat and your MP3 files live there, and your own Grafik.dat, Sound.dat\n"
    "or tunes there take the place of the installed ones.\n";

enum class Befehl { Spielen, Beenden, Fehler };

Befehl Befehlszeile_lesen(int argc, char** argv, bool& im_fenster) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kHilfe, stdout);
            return Befehl::Beenden;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("bramblecourt %s\n", BRAMBLE_VERSION);
            return Befehl::Beenden;
        }
        if (std::strcmp(arg, "--window") == 0) {
            im_fenster = true;
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
    bool im_fenster = false;
    switch (Befehlszeile_lesen(argc, argv, im_fenster)) {
        case Befehl::Beenden:
            return 0;
        case Befehl::Fehler:
            return 2;
        case Befehl::Spielen:
            break;
    }
    if (!Spielordner_betreten()) {
        return 1;
    }
    platform::window_start_fullscreen(!im_fenster);
    return Hauptprogramm();
}
