// The few path questions each target answers in its own file code
// (file.cpp on Linux and in the browser, windows/file.cpp on Windows), for
// the read fallback and File::open that every target shares
// (file_common.cpp).
#pragma once

#include <string>

namespace platform::file_paths {

// An absolute path on this system.
bool is_absolute(const char* name);
// Nothing at all is at path (an unreadable file is not missing).
bool missing(const char* path);
// Something is at path.
bool exists(const std::string& path);

}  // namespace platform::file_paths
