// The game's folders in the browser. The page preloads the default data into
// /data and keeps the game folder /bramblecourt in the browser's storage
// (IndexedDB, see storage.js). Under node (the scripted runner) BRAMBLE_DATA
// names the data folder instead (tools/sim/node-env.js). Entering and listing
// folders is as on Linux (posix_folders.cpp).
#include "platform/folders.h"

#include <sys/stat.h>

#include <cstdlib>

namespace platform {

namespace {

bool is_folder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string installed_data_folder() {
    const char* named = std::getenv("BRAMBLE_DATA");
    const std::string data = named != nullptr && named[0] == '/' ? named : "/data";
    return is_folder(data) ? data : std::string();
}

std::string player_game_folder(const char* name) {
    return std::string("/") + name;
}

}  // namespace platform
