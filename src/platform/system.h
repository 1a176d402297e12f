// Clock, calendar and user name: the stand-in for GetTickCount, the busy-wait
// loops on it, GetLocalTime, GetSystemTime and GetUserNameA.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Milliseconds since an arbitrary start, wrapping at 2^32.
std::uint32_t tick_count();

// One turn of a busy wait whose deadline is remaining_ms away. The real
// backend sleeps until the tick count reaches the deadline (in the browser
// the tick count moves to the deadline at once and the main loop's driver
// puts off the next pass until then); the headless backend advances its
// virtual clock by 1 ms.
void idle_step(std::uint32_t remaining_ms);

// The wait after a flip where the renderer cannot wait for the vertical
// blank: sleeps ms on the desktop; nothing in the browser, whose frame
// callback already follows the display.
void display_wait(std::uint32_t ms);

struct SystemTime {
    std::uint16_t year, month, day_of_week, day, hour, minute, second, milliseconds;
};
SystemTime local_time();
SystemTime utc_time();

// The login name in Windows-1252, whole however long; empty when none can be
// had.
std::string login_name();
// GetUserNameA: the login name into buf (size bytes including the zero).
// False, leaving buf unchanged, when it does not fit or cannot be had.
bool user_name(char* buf, std::uint32_t size);

}  // namespace platform
