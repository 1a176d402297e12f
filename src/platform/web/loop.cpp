// The main loop in the browser: the page's frame callback runs one pass of
// the game whenever the game's clock is due. Between frames the page handles
// its input and the sound; nothing ever blocks.
#include "platform/loop.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/stats.h"
#include "platform/web/pacing.h"

namespace platform {

namespace {

double deadline_ms = 0;
bool (*the_pass)() = nullptr;
int (*the_end)() = nullptr;

// The next call: at the display's next frame when the game is due by then,
// else by a timer shortly before its deadline (play paces its passes at
// 25 ms, which the display's frames would round to 33 ms).
double ms_until_due() {
    return deadline_ms - emscripten_get_now();
}

void schedule(double started_ms) {
    const double wait = ms_until_due();
    if (wait > web::kSlackMs) {
        const double after = wait + (emscripten_get_now() - started_ms) - web::kSlackMs;
        emscripten_set_main_loop_timing(EM_TIMING_SETTIMEOUT,
                                        static_cast<int>(std::floor(std::max(after, 0.0))));
    } else {
        emscripten_set_main_loop_timing(EM_TIMING_RAF, 1);
    }
}

void frame() {
    const double started = emscripten_get_now();
    if (ms_until_due() > web::kSlackMs) {
        schedule(started);
        return;
    }
    if (the_pass()) {
        // The page follows the screens, and keeps the work of each pass
        // (the driver never waits inside one) for its figures.
        EM_ASM({ Module['bramblePassed']($0, $1); }, stats::last_group(),
               emscripten_get_now() - started);
        schedule(started);
        return;
    }
    emscripten_cancel_main_loop();
    const int code = the_end();
    std::fflush(stdout);
    // The page learns that the game has ended (and shows a way to start
    // it again); the program's runtime stays for that.
    EM_ASM(
        {
            if (Module['onGameEnd'])
                Module['onGameEnd']($0);
        },
        code);
}

}  // namespace

namespace web {

void set_pass_deadline(double ms) {
    deadline_ms = ms;
}

double pass_deadline() {
    return deadline_ms;
}

}  // namespace web

int run_main_loop(bool (*pass)(), int (*end)()) {
    the_pass = pass;
    the_end = end;
    // Does not return: the page calls frame from now on.
    emscripten_set_main_loop(frame, 0, 1);
    return 0;
}

}  // namespace platform
