// Pass-time statistics (the programs' --stats): how long each pass of the
// main loop takes, per screen state, in wall-clock time, how much of it was
// spent waiting, and how much processor time the process used meanwhile.
// The main loop marks where a pass begins and ends; the platform's own waits
// (the busy-wait steps, the phases of a flip) report their time here. All
// clocks are monotonic. While statistics are off every call returns at once.
#pragma once

#include <cstdint>
#include <cstdio>

namespace platform::stats {

void enable();
bool enabled();

// A pass of the main loop begins; it ends with pass_end, naming the group
// (the screen state) whose routine ran in it.
void pass_begin();
void pass_end(int group);
// The group of the last pass that ended, counted with statistics off too
// (the browser's page follows the screens by it); -1 before the first.
int last_group();

// What the time inside a pass went to, where the platform knows it.
enum class Phase {
    Paced,    // a busy-wait step: sleeping or spinning towards a deadline
    Upload,   // a flip: the frame copied into the texture
    Copy,     // a flip: the texture drawn into the window's back buffer
    Present,  // a flip: the window's buffer shown (may wait for the display)
    Delay,    // a flip: waiting out the display's frame time
    Count
};

// Splits a span of time into consecutive phases: each lap adds the time
// since the previous lap (or since construction) to a phase of the pass.
class Laps {
   public:
    Laps();
    void lap(Phase phase);

   private:
    std::int64_t last_ns_;
};

// Writes the table: a line per group that ran a pass (names[group] names it,
// for groups below count), a line for all passes together, the phases of a
// flip, and when each group's first pass ended after the program started.
void print(std::FILE* out, const char* const* names, int count);

// Off again, and every pass forgotten (for tests); the program's start stays.
void reset();

}  // namespace platform::stats
