// The game's folders in the browser. The page preloads the default data into
// /data and keeps the game folder /bramblecourt in the browser's storage
// (IndexedDB, see storage.js). Under node (the scripted runner) BRAMBLE_DATA
// names the data folder instead (tools/sim/node-env.js).
#include "platform/folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

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

// The two below as on the desktop: emscripten's file system has the POSIX
// calls.
std::string current_folder() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() >= (1u << 20)) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

bool list_folder(const char* folder, std::vector<std::string>& names) {
    names.clear();
    DIR* dir = ::opendir(folder != nullptr && folder[0] != '\0' ? folder : ".");
    if (dir == nullptr) {
        return false;
    }
    while (const dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (std::strcmp(n, ".") == 0 || std::strcmp(n, "..") == 0) {
            continue;
        }
        struct stat st {};
        if (::fstatat(::dirfd(dir), n, &st, 0) == 0 && !S_ISREG(st.st_mode) &&
            !S_ISDIR(st.st_mode)) {
            continue;
        }
        names.emplace_back(n);
    }
    ::closedir(dir);
    return true;
}

}  // namespace platform
