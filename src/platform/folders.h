// Where the installed game finds its default data and where it plays: the
// data lies in the installed tree, which the game never writes; the player's
// own files (highscores, MP3 files, own archives) live in a folder of their
// own that becomes the game's working folder.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The default data installed with the program, found from the program's own
// folder along the relative path the build was configured with (bin/ to
// share/bramblecourt/), so that a program moved with its tree, installed
// under another prefix or into a staging folder still finds it. Empty when
// that folder does not exist, as when the program runs from its build folder.
std::string installed_data_folder();

// The player's folder of the game called name:
// ${XDG_DATA_HOME:-$HOME/.local/share}/name. A relative XDG_DATA_HOME is
// ignored, as the XDG base directory rules say; without HOME the home folder
// of the user database is used. Empty when no home folder can be had.
std::string player_game_folder(const char* name);

// Creates folder and every missing parent (mode 0700, as the XDG rules ask
// for the folders they name) and makes it the working folder. False, with
// the reason in error, when either fails.
bool enter_folder(const std::string& folder, std::string& error);

// The working folder's full path; empty when it cannot be had.
std::string current_folder();

// The names of folder's entries, "." and ".." left out, in the order the
// file system gives them. Named pipes, sockets and devices are left out too
// (links followed): opening one waits for a writer or never ends. Regular
// files and folders are listed, and so is an entry that cannot be looked at,
// whose open then fails at once. False when the folder cannot be read.
bool list_folder(const char* folder, std::vector<std::string>& names);

}  // namespace platform
