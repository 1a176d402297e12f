// bramblecourt-testdata DIR: writes Grafik.dat, Sound.dat and the five tunes
// (minimal placeholders) into DIR.
#include <cstdio>
#include <filesystem>

#include "support/game_data.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bramblecourt-testdata DIR\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    if (!bramble_test::write_game_data(argv[1])) {
        std::fprintf(stderr, "bramblecourt-testdata: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
