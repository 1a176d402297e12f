// Paths on Windows: the platform layer takes and gives UTF-8 and calls the
// wide-character functions, so a folder under any user name works.
#pragma once

#include <string>

namespace platform::windows {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);

}  // namespace platform::windows
