// The main loop's driver. On the desktop the loop runs in place; in the
// browser the page's frame callback runs it, a pass at a time, so the page
// stays responsive and never blocks in a wait.
#pragma once

namespace platform {

// Runs pass until it returns false, then end, whose result is the program's
// exit status. On the desktop this returns that status. In the browser it
// returns never: the page calls pass from its frame callback whenever the
// game's clock is due (a wait of the game's ends at once and puts off the
// next pass instead, see idle_step), and the status of end leaves the
// program.
int run_main_loop(bool (*pass)(), int (*end)());

}  // namespace platform
