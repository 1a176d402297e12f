// The runner's trace: one JSON object a line on stdout, each with the virtual
// tick count "t" and the event "ev".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

class Line {
   public:
    explicit Line(const char* event);
    Line& number(const char* key, std::int64_t value);
    // value is UTF-8.
    Line& string(const char* key, std::string_view value);
    Line& null(const char* key);
    // value is already JSON (a list or an object).
    Line& raw(const char* key, const std::string& value);
    // Writes the line and flushes, so a trace survives a crash.
    void emit();

   private:
    void key(const char* key);
    std::string out_;
};

std::string json_string(std::string_view utf8);

}  // namespace sim
