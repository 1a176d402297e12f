// The text font on Windows, where there is no fontconfig: DejaVu Sans, the
// font the Linux build gets from fontconfig, shipped in the default data
// folder, so text looks the same on both; without it a sans font of the
// system's font folder.
#include "platform/fonts.h"

#include <windows.h>

#include "platform/file.h"
#include "platform/folders.h"
#include "platform/windows/wide.h"

namespace platform {

namespace {

constexpr char kShippedFont[] = "DejaVuSans.ttf";

bool is_file(const std::string& path) {
    const DWORD attr = GetFileAttributesW(windows::widen(path).c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

FontFile sans_font_file() {
    FontFile found;
    // The default data beside the program, then a copy in the working
    // folder (or its read fallback).
    const std::string data = installed_data_folder();
    for (const std::string& candidate :
         {data.empty() ? std::string() : data + "\\" + kShippedFont, readable_path(kShippedFont)}) {
        if (!candidate.empty() && is_file(candidate)) {
            found.file = candidate;
            return found;
        }
    }
    wchar_t windir[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(windir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return found;
    }
    const std::string fonts = windows::narrow(windir) + "\\Fonts\\";
    for (const char* name : {"DejaVuSans.ttf", "segoeui.ttf", "tahoma.ttf", "arial.ttf"}) {
        if (is_file(fonts + name)) {
            found.file = fonts + name;
            break;
        }
    }
    return found;
}

bool font_lookup_is_slow() {
    // A look at two folders: no thread of its own is worth it.
    return false;
}

}  // namespace platform
