#include "script.h"

#include <cctype>
#include <sstream>

#include "platform/win32.h"

namespace sim {

namespace {

bool parse_number(const std::string& s, std::uint64_t max, std::uint32_t& out) {
    if (s.empty() || s.size() > 10) {
        return false;
    }
    std::uint64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v > max) {
        return false;
    }
    out = static_cast<std::uint32_t>(v);
    return true;
}

bool key_code(std::string name, std::uint32_t& out) {
    for (char& c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    static const struct {
        const char* name;
        std::uint32_t code;
    } kNames[] = {{"ENTER", VK_RETURN}, {"ESC", VK_ESCAPE},  {"SPACE", VK_SPACE}, {"LEFT", VK_LEFT},
                  {"UP", VK_UP},        {"RIGHT", VK_RIGHT}, {"DOWN", VK_DOWN},   {"F1", VK_F1},
                  {"F2", VK_F2},        {"F3", VK_F3}};
    for (const auto& k : kNames) {
        if (name == k.name) {
            out = k.code;
            return true;
        }
    }
    return parse_number(name, 255, out);
}

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    std::string w;
    while (in >> w) {
        out.push_back(w);
    }
    return out;
}

bool plain_name(const std::string& s) {
    if (s.empty()) {
        return false;
    }
    for (char c : s) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

}  // namespace

bool valid_snap_name(const std::string& name) {
    return plain_name(name);
}

bool parse_line(std::string raw, int line, std::vector<Command>& out, std::string& error) {
    if (!raw.empty() && raw.back() == '\r') {
        raw.pop_back();
    }
    const auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(line) + ": " + why + ": " + raw;
        return false;
    };
    const std::size_t first = raw.find_first_not_of(" \t");
    if (first == std::string::npos || raw[first] == '#') {
        return true;
    }
    const std::size_t name_end = raw.find_first_of(" \t", first);
    const std::string name = raw.substr(first, name_end - first);
    // char and text take the rest of the line literally (a # included);
    // for every other command # starts a comment.
    const std::string rest = name_end == std::string::npos ? "" : raw.substr(name_end + 1);
    std::string args = rest;
    if (name != "char" && name != "text") {
        args = args.substr(0, args.find('#'));
    }
    const std::vector<std::string> w = words(args);

    Command c;
    c.op = Op::Dump;
    c.line = line;
    if (name == "wait" || name == "passes") {
        c.op = name == "wait" ? Op::Wait : Op::Passes;
        if (w.size() != 1 || !parse_number(w[0], 0xFFFFFFFFu, c.a)) {
            return fail(name + " needs one whole number from 0 to 4294967295");
        }
    } else if (name == "key") {
        c.op = Op::Key;
        if (w.size() != 1 || !key_code(w[0], c.a)) {
            return fail(
                "key needs ENTER, ESC, SPACE, LEFT, UP, RIGHT, DOWN, F1, F2, F3 or a code "
                "from 0 to 255");
        }
    } else if (name == "char") {
        c.op = Op::Char;
        if (rest.size() == 1) {
            c.a = static_cast<unsigned char>(rest[0]);
        } else if (rest.size() >= 2 && rest[0] == '\\' && parse_number(rest.substr(1), 255, c.a)) {
            // \NNN: a decimal byte
        } else {
            return fail("char needs one character or \\NNN (a byte from 0 to 255)");
        }
    } else if (name == "text") {
        c.op = Op::Text;
        c.text = rest;
    } else if (name == "move") {
        c.op = Op::Move;
        if (w.size() != 2 || !parse_number(w[0], 0xFFFF, c.a) || !parse_number(w[1], 0xFFFF, c.b)) {
            return fail("move needs two whole numbers X Y from 0 to 65535");
        }
    } else if (name == "lclick" || name == "rclick" || name == "close" || name == "dump") {
        c.op = name == "lclick"   ? Op::LClick
               : name == "rclick" ? Op::RClick
               : name == "close"  ? Op::Close
                                  : Op::Dump;
        if (!w.empty()) {
            return fail(name + " takes no arguments");
        }
    } else if (name == "aim") {
        c.op = Op::Aim;
        c.any = w.empty();
        if (w.size() > 1 || (w.size() == 1 && !parse_number(w[0], 10, c.a))) {
            return fail("aim needs nothing or one slot number from 0 to 10");
        }
    } else if (name == "snap") {
        c.op = Op::Snap;
        if (w.size() != 1 || !plain_name(w[0])) {
            return fail("snap needs one file name of letters, digits, '.', '_' or '-'");
        }
        c.text = w[0];
    } else {
        return fail("unknown command '" + name + "'");
    }
    out.push_back(c);
    return true;
}

bool parse_script(const std::string& source, std::vector<Command>& out, std::string& error) {
    std::istringstream in(source);
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        if (!parse_line(raw, ++line, out, error)) {
            return false;
        }
    }
    return true;
}

}  // namespace sim
