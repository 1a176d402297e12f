// The deadline that a wait of the game sets in the browser. The page must
// not block, so the wait ends at once with the tick count moved on to its
// deadline (clock.cpp); the main loop's driver (loop.cpp) runs the next pass
// once real time has caught up.
#pragma once

namespace platform::web {

// In the page's milliseconds (performance.now()); 0 before any wait.
void set_pass_deadline(double ms);
double pass_deadline();

// A pass up to this much early borrows the rest: the tick count never goes
// back, so the game's pacing keeps its average exactly.
constexpr double kSlackMs = 2.0;

}  // namespace platform::web
