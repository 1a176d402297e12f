// The game's icon for the desktop: the straw target of the round intro with
// one of the game's birds flying past and the crosshair on it.
#pragma once

#include <string>

namespace assets {

// Writes dir/bramblecourt-N.png for N = 48, 128 and 256 and the scalable
// dir/bramblecourt.svg.
void write_icons(const std::string& dir);

}  // namespace assets
