// The game's folders on Linux: the installed data beside the program, the
// player's folder under XDG_DATA_HOME. Entering and listing folders is in
// posix_folders.cpp, shared with the browser.
#include "platform/folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace platform {

namespace {

bool is_folder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string program_folder() {
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) {
        return {};
    }
    const std::string path(buffer.data(), static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string home_folder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    const long len = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> scratch(static_cast<std::size_t>(len > 0 ? len : 16384));
    passwd pw{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &pw, scratch.data(), scratch.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return {};
}

}  // namespace

std::string installed_data_folder() {
#ifdef BRAMBLE_DATA_FROM_PROGRAM
    const std::string program = program_folder();
    if (program.empty()) {
        return {};
    }
    const std::string data = program + "/" + BRAMBLE_DATA_FROM_PROGRAM;
    return is_folder(data) ? data : std::string();
#else
    return {};
#endif
}

std::string player_game_folder(const char* name) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const std::string home = home_folder();
        if (home.empty()) {
            return {};
        }
        base = home + "/.local/share";
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    return base + "/" + name;
}

}  // namespace platform
