// Entering, naming and listing folders with the POSIX calls, on Linux and in
// the browser (emscripten's file system has them too).
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/folders.h"
#include "platform/journal.h"

namespace platform {

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
    bool found = false;
    if (DIR* dir = ::opendir(folder != nullptr && folder[0] != '\0' ? folder : ".")) {
        found = true;
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
    }
    // The player's folder is not the replay's: a recording keeps the listing.
    return journal::listing(found, names);
}

}  // namespace platform
