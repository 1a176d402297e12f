// Which font file the text renderer uses: on Linux the one fontconfig
// matches for "sans-serif" (DejaVu Sans on Debian); where there is no
// fontconfig, the DejaVuSans.ttf shipped in the default data, so every
// target draws the same pixels.
#pragma once

#include <string>

namespace platform {

struct FontFile {
    std::string file;  // UTF-8 path; empty when no font can be found
    int index = 0;     // face in a font collection
};

// The file and face of the desktop's default sans font.
FontFile sans_font_file();

}  // namespace platform
