#include "trace.h"

#include <cstdio>

#include "platform/system.h"

namespace sim {

std::string json_string(std::string_view utf8) {
    std::string out = "\"";
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    out += '"';
    return out;
}

Line::Line(const char* event) {
    out_ = "{\"t\":" + std::to_string(platform::tick_count()) + ",\"ev\":" + json_string(event);
}

void Line::key(const char* key) {
    out_ += ',';
    out_ += json_string(key);
    out_ += ':';
}

Line& Line::number(const char* k, std::int64_t value) {
    key(k);
    out_ += std::to_string(value);
    return *this;
}

Line& Line::string(const char* k, std::string_view value) {
    key(k);
    out_ += json_string(value);
    return *this;
}

Line& Line::null(const char* k) {
    key(k);
    out_ += "null";
    return *this;
}

Line& Line::raw(const char* k, const std::string& value) {
    key(k);
    out_ += value;
    return *this;
}

void Line::emit() {
    out_ += "}\n";
    std::fputs(out_.c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace sim
