// Writes surfaces as PNG files (RGB, 8 bits a channel), for screenshots of
// the headless backend and for test snapshots.
#pragma once

#include <string>

#include "platform/surface.h"

namespace platform {

// 16-bit pixels are expanded from the game's layout (red 5, green 5 with a
// zero bit, blue 5) to 8 bits a channel. False when the file cannot be written.
bool write_png(const Surface& surface, const std::string& path);

}  // namespace platform
