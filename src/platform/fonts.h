// Where the font of the game's text comes from: on Linux the file fontconfig
// matches for "sans-serif" (DejaVu Sans on Debian); where there is no
// fontconfig, the copy of DejaVu Sans that ships with the game's data, so the
// text shows the same pixels everywhere.
#pragma once

#include <string>

namespace platform {

struct FontFile {
    std::string file;  // empty when no font can be found
    int index = 0;     // the face in the file
};

FontFile sans_font_file();

// True when sans_font_file takes long enough to be started on a thread of its
// own at start-up (reading fontconfig's configuration and cache).
bool font_lookup_is_slow();

}  // namespace platform
