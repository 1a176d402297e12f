// The real backend's clock and its waits, from POSIX: the tick count from the
// monotonic clock, and a wait that sleeps until its deadline.
#include <SDL.h>

#include <ctime>

#include "platform/journal.h"
#include "platform/stats.h"
#include "platform/system.h"

namespace platform {

std::uint32_t tick_count() {
    // Milliseconds since boot, like GetTickCount, wrapping at 2^32.
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return journal::tick(static_cast<std::uint32_t>(ms));
}

void idle_step(std::uint32_t remaining_ms) {
    // The deadline is the moment the tick count reaches its value: the start
    // of the millisecond remaining_ms after the current one, on the clock the
    // tick count is read from. Sleeping until exactly then ends the wait
    // within the scheduler's wake-up time, without spinning the processor.
    stats::Laps laps;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                             static_cast<std::uint64_t>(now.tv_nsec) / 1000000u + remaining_ms;
    const timespec deadline{static_cast<time_t>(ms / 1000u),
                            static_cast<long>(ms % 1000u) * 1000000L};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr);
    laps.lap(stats::Phase::Paced);
}

void display_wait(std::uint32_t ms) {
    SDL_Delay(ms);
}

}  // namespace platform
