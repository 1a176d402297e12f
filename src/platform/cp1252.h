// Conversion between Windows-1252, the game's text encoding, and UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string cp1252_to_utf8(std::string_view text);
// One Unicode code point to its Windows-1252 byte; -1 when it has none.
int unicode_to_cp1252(char32_t code_point);
// UTF-8 text to Windows-1252; characters without a byte are dropped.
std::string utf8_to_cp1252(std::string_view text);

}  // namespace platform
