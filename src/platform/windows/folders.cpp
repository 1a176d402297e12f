// The game's folders on Windows: the default data beside the program, the
// player's folder under the roaming application data (%APPDATA%), both as
// UTF-8 paths of wide-character names.
#include "platform/folders.h"

#include <shlobj.h>
#include <windows.h>

#include "platform/journal.h"
#include "platform/windows/wide.h"

namespace platform {

namespace {

using windows::narrow;
using windows::widen;

bool is_folder(const std::string& path) {
    const DWORD attr = GetFileAttributesW(widen(path).c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string program_folder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);  // cut off: a longer path
    }
    const std::size_t slash = buffer.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : narrow(buffer.substr(0, slash));
}

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

// "C:\..." or "\\server\share\...".
bool is_absolute(const std::string& path) {
    return (path.size() >= 3 && path[1] == ':' && is_separator(path[2])) ||
           (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1]));
}

std::string error_text(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string s = text != nullptr ? narrow(text) : "error " + std::to_string(code);
    LocalFree(text);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) {
        s.pop_back();
    }
    return s;
}

}  // namespace

std::string installed_data_folder() {
#ifdef BRAMBLE_DATA_FROM_PROGRAM
    const std::string program = program_folder();
    if (program.empty()) {
        return {};
    }
    const std::string data = program + "\\" + BRAMBLE_DATA_FROM_PROGRAM;
    return is_folder(data) ? data : std::string();
#else
    return {};
#endif
}

std::string player_game_folder(const char* name) {
    std::string base;
    PWSTR known = nullptr;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &known) == S_OK) {
        base = narrow(known);
    }
    CoTaskMemFree(known);
    if (base.empty()) {
        const wchar_t* env = _wgetenv(L"APPDATA");
        if (env != nullptr) {
            base = narrow(env);
        }
    }
    if (!is_absolute(base)) {
        return {};
    }
    while (base.size() > 3 && is_separator(base.back())) {
        base.pop_back();
    }
    return base + "\\" + name;
}

bool enter_folder(const std::string& folder, std::string& error) {
    if (!is_absolute(folder)) {
        error = "not an absolute path";
        return false;
    }
    // Each missing level is made in turn, after the drive (C:) or the share
    // (server and share name of a UNC path); one that exists (or that another
    // process made meanwhile) is fine as long as it is a folder.
    std::size_t root_end = 2;
    if (is_separator(folder[0])) {
        root_end = folder.find_first_of("\\/", 2);
        if (root_end != std::string::npos) {
            root_end = folder.find_first_of("\\/", root_end + 1);
        }
    }
    while (root_end != std::string::npos) {
        const std::size_t end = folder.find_first_of("\\/", root_end + 1);
        const std::string level = folder.substr(0, end);
        if (end != root_end + 1 && CreateDirectoryW(widen(level).c_str(), nullptr) == 0) {
            const DWORD code = GetLastError();
            if (code != ERROR_ALREADY_EXISTS || !is_folder(level)) {
                error = level + ": " +
                        error_text(code == ERROR_ALREADY_EXISTS ? ERROR_DIRECTORY : code);
                return false;
            }
        }
        root_end = end;
    }
    if (SetCurrentDirectoryW(widen(folder).c_str()) == 0) {
        error = folder + ": " + error_text(GetLastError());
        return false;
    }
    return true;
}

std::string current_folder() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) {
        return {};
    }
    std::wstring buffer(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, buffer.data());
    if (got == 0 || got >= n) {
        return {};
    }
    buffer.resize(got);
    return narrow(buffer);
}

bool list_folder(const char* folder, std::vector<std::string>& names) {
    names.clear();
    std::string pattern = folder != nullptr && folder[0] != '\0' ? folder : ".";
    if (!is_separator(pattern.back())) {
        pattern += "\\";
    }
    pattern += "*";
    WIN32_FIND_DATAW entry{};
    const HANDLE find = FindFirstFileExW(widen(pattern).c_str(), FindExInfoBasic, &entry,
                                         FindExSearchNameMatch, nullptr, 0);
    // An empty folder still has "." and ".."; nothing at all means it cannot
    // be read.
    const bool found = find != INVALID_HANDLE_VALUE;
    if (found) {
        do {
            const std::wstring n = entry.cFileName;
            if (n == L"." || n == L"..") {
                continue;
            }
            // A folder listing on Windows holds files and folders only (no
            // pipes or devices), so every entry is kept.
            names.push_back(narrow(n));
        } while (FindNextFileW(find, &entry) != 0);
        FindClose(find);
    }
    // The player's folder is not the replay's: a recording keeps the listing.
    return journal::listing(found, names);
}

}  // namespace platform
