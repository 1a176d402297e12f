// The game's folders in the browser. The page preloads the default data into
// /data and keeps the game folder /bramblecourt in the browser's storage
// (IndexedDB, see storage.js). Run under node (the scripted runner), the
// launcher names the data folder in BRAMBLE_DATA instead.
#include "platform/folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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

bool enter_folder(const std::string& folder, std::string& error) {
    if (folder.empty() || folder[0] != '/') {
        error = "not an absolute path";
        return false;
    }
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string level = folder.substr(0, end);
        if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) {
            error = level + ": " + std::strerror(errno);
            return false;
        }
        if (end == std::string::npos) {
            break;
        }
    }
    if (::chdir(folder.c_str()) != 0) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace platform
