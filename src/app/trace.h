// The trace of a run: one JSON object a line, each with the tick count "t"
// and the event "ev". The scripted runner writes it to stdout; the real game
// writes it beside a recording, and a replay of that recording writes the
// same lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "platform/observer.h"

namespace trace {

// Where the lines go (stdout unless set) and the clock that stamps them
// (the platform's tick count unless set).
void set_output(std::FILE* out);
void set_clock(std::uint32_t (*clock)());

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

// Turns what the platform reports (message boxes, beeps, sounds, tunes, the
// jukebox) into lines.
class Tracer : public platform::Observer {
   public:
    void on_box(const platform::BoxShown& box) override;
    void on_beep() override;
    void on_sound(int item, int pan, int volume) override;
    void on_tune(const char* file) override;
    void on_mp3(const char* cmd, const char* file) override;
};

// The game from its start to its end, pass by pass, with a line for every
// change of the screen state (looked at after each message and each pass)
// and one for the exit.
class Run {
   public:
    // Called when the game has reached its end state, before the shutdown:
    // the frame shown last is still the one on the screen.
    std::function<void()> at_exit;

    // Starts the game; false when there is no window.
    bool start();
    // One pass of the main loop.
    void pass();
    bool ended() const { return ended_; }
    std::uint64_t passes() const { return passes_; }
    // The game's exit code once it has ended.
    int exit_code() const { return code_; }
    // A line with the shared state.
    void dump();
    // Ends a game that has not reached its end, without the shutdown wait.
    void abandon();

   private:
    void check_state();
    void shut_down();

    std::int32_t zustand_ = 0;
    std::uint64_t passes_ = 0;
    bool ended_ = false;
    int code_ = 0;
};

}  // namespace trace
