// The runner's script: one command a line, checked as a whole before the
// game starts so that a typo never leaves half a run behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class Op { Wait, Passes, Key, Char, Text, Move, LClick, RClick, Close, Snap, Dump, Aim };

struct Command {
    Op op;
    int line = 0;
    std::uint32_t a = 0;  // wait ms, passes, key code, char byte, move x, aim slot
    std::uint32_t b = 0;  // move y
    std::string text;     // text bytes, snap name
    bool any = false;     // aim without a slot: the first one that can be hit
};

// Whether name may name a snapshot: letters, digits, '.', '_' and '-' only.
bool valid_snap_name(const std::string& name);

// Parses one line of a script (numbered line), adding its command to out;
// blank lines and comments add nothing. On an error returns false with a
// message that names the line.
bool parse_line(std::string raw, int line, std::vector<Command>& out, std::string& error);

// Parses the script's text. On an error returns false with a message that
// names the line.
bool parse_script(const std::string& source, std::vector<Command>& out, std::string& error);

}  // namespace sim
