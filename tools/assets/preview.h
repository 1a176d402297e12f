// Pictures for a person to look at: the contact sheet of all entries and
// screens composed the way the game composes them, at 16 bits per pixel.
#pragma once

#include <string>
#include <vector>

#include "picture.h"

namespace assets {

// All pictures on one sheet over mid-blue, each labelled with its entry number.
void write_contact_sheet(const std::vector<Picture>& pictures, const std::string& path);

// Screens of play, the round intro, title, menu, tables and credits as PNG files.
void write_previews(const std::vector<Picture>& pictures, const std::string& dir);

}  // namespace assets
