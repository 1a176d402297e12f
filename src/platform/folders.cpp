#include "platform/folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
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

bool enter_folder(const std::string& folder, std::string& error) {
    if (folder.empty() || folder[0] != '/') {
        error = "not an absolute path";
        return false;
    }
    // Each missing level is made in turn; one that exists (or that another
    // process made meanwhile) is fine as long as it is a folder.
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
