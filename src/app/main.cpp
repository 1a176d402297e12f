// The real game's entry point; the game runs on the SDL backend.
#include <cstdio>
#include <cstring>

#include "app/spiel.h"
#include "platform/stats.h"

int main(int argc, char** argv) {
    // --stats: the pass times by screen state, written when the game ends.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--stats") == 0) {
            platform::stats::enable();
        }
    }
    const int code = Hauptprogramm();
    if (platform::stats::enabled()) {
        Laufzeiten_ausgeben(stdout);
    }
    return code;
}
