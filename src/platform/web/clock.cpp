// The clock and its waits in the browser. The tick count is the page's
// high-resolution time, but never less than the deadline of the last wait:
// a wait moves it on to its deadline at once (the page must not block), and
// the driver (loop.cpp) holds the next pass back until real time gets there.
#include <emscripten.h>

#include <algorithm>
#include <cmath>

#include "platform/stats.h"
#include "platform/system.h"
#include "platform/web/pacing.h"

namespace platform {

namespace {

double now_ms() {
    return std::max(emscripten_get_now(), web::pass_deadline());
}

}  // namespace

std::uint32_t tick_count() {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::floor(now_ms())));
}

void idle_step(std::uint32_t remaining_ms) {
    stats::Laps laps;
    web::set_pass_deadline(std::floor(now_ms()) + remaining_ms);
    laps.lap(stats::Phase::Paced);
}

void display_wait(std::uint32_t /*ms*/) {}

}  // namespace platform
