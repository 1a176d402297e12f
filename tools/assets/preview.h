// Pictures for a person to look at, of what no screen of the game shows as
// such: the contact sheet of all entries, every sprite on every sky colour,
// and the landscape with its horizon line and hiding places marked; all as a
// 16-bit display shows them. The game's own screens come from the runner's
// snapshots (bramblecourt-sim `snap`), which draw them with the game's code.
#pragma once

#include <string>
#include <vector>

#include "picture.h"

namespace assets {

// All pictures on one sheet over mid-blue, each labelled with its entry number.
void write_contact_sheet(const std::vector<Picture>& pictures, const std::string& path);

// sprites_on_skies.png and landscape_marked_0/1.png into dir; prints the
// font picture's glyph count and average glyph size.
void write_previews(const std::vector<Picture>& pictures, const std::string& dir);

}  // namespace assets
