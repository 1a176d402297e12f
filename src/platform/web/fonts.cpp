// The font in the browser: DejaVu Sans, shipped in the game's data folder
// (the page's preloaded /data, or the folder a launcher names).
#include "platform/fonts.h"

#include <sys/stat.h>

#include "platform/folders.h"

namespace platform {

FontFile sans_font_file() {
    FontFile found;
    const std::string data = installed_data_folder();
    if (!data.empty()) {
        const std::string file = data + "/DejaVuSans.ttf";
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            found.file = file;
        }
    }
    return found;
}

bool font_lookup_is_slow() {
    return false;
}

}  // namespace platform
