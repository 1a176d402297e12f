// Loading an archive's entries with the game's own loaders, on the headless
// backend, so that `packfile check` applies every limit the game applies
// (the sound buffer's size and length, the sample block's size, the
// surface's size) with the game's own code and messages.
#pragma once

#include <string>
#include <vector>

#include "archive.h"

namespace packfile {

struct GameRefusal {
    int index = 0;
    std::string messages;  // the game's message boxes in order, UTF-8, joined by "; "
};

// Loads every readable picture and sound entry of the archive at path (whose
// report is given) as the game's start-up does: a picture into a surface of
// its own size at 16 bits with PackFile_Bild_laden, a sound with
// PackFile_Sound_laden. Entries the game never loads (pictures from 39 and
// sounds from 22 on) are loaded through a directory that names them as
// entry 0, so that they meet the same limits. Returns the entries refused.
std::vector<GameRefusal> load_as_the_game(const std::string& path, const ArchiveReport& report);

}  // namespace packfile
