// Clock, calendar and user name of the real backend on Windows.
#include "platform/system.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "platform/cp1252.h"
#include "platform/faults.h"
#include "platform/journal.h"
#include "platform/stats.h"
#include "platform/windows/wide.h"

namespace platform {

bool fault_due(Fault /*f*/) {
    return false;
}

namespace {

// The performance counter: monotonic, and finer than a millisecond, which
// GetTickCount (10 to 16 ms steps) is not.
std::uint64_t now_ms() {
    static const std::uint64_t frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<std::uint64_t>(f.QuadPart);
    }();
    LARGE_INTEGER c{};
    QueryPerformanceCounter(&c);
    const auto count = static_cast<std::uint64_t>(c.QuadPart);
    return count / frequency * 1000u + count % frequency * 1000u / frequency;
}

// A timer that wakes a sleeper within about a millisecond. Windows 10 has
// high-resolution waitable timers; elsewhere the system timer is set to
// 1 ms for the whole run, as games do, and a plain waitable timer is used.
HANDLE wait_timer() {
    static const HANDLE timer = [] {
        constexpr DWORD kHighResolution = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
        HANDLE t = CreateWaitableTimerExW(nullptr, nullptr, kHighResolution, TIMER_ALL_ACCESS);
        if (t == nullptr) {
            timeBeginPeriod(1);
            t = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        }
        return t;
    }();
    return timer;
}

SystemTime to_system_time(const SYSTEMTIME& st) {
    SystemTime t{};
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day_of_week = st.wDayOfWeek;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.milliseconds = st.wMilliseconds;
    return t;
}

}  // namespace

std::uint32_t tick_count() {
    return journal::tick(static_cast<std::uint32_t>(now_ms()));
}

void idle_step(std::uint32_t remaining_ms) {
    // Sleeps until the tick count reaches the deadline, the start of the
    // millisecond remaining_ms after the current one.
    stats::Laps laps;
    static const std::uint64_t frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<std::uint64_t>(f.QuadPart);
    }();
    LARGE_INTEGER c{};
    QueryPerformanceCounter(&c);
    const auto count = static_cast<std::uint64_t>(c.QuadPart);
    const std::uint64_t deadline_ms = now_ms() + remaining_ms;
    const std::uint64_t deadline_count =
        deadline_ms / 1000u * frequency + deadline_ms % 1000u * frequency / 1000u;
    if (deadline_count > count) {
        // Due times are in 100 ns units, negative for "from now".
        const std::uint64_t wait_100ns = (deadline_count - count) * 10000000u / frequency + 1;
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>(wait_100ns);
        const HANDLE timer = wait_timer();
        if (timer != nullptr && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
            WaitForSingleObject(timer, INFINITE);
        } else {
            Sleep(remaining_ms);
        }
    }
    laps.lap(stats::Phase::Paced);
}

SystemTime local_time() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return journal::time(journal::Kind::LocalTime, to_system_time(st));
}

SystemTime utc_time() {
    SYSTEMTIME st{};
    GetSystemTime(&st);
    return journal::time(journal::Kind::UtcTime, to_system_time(st));
}

std::string login_name() {
    wchar_t name[257] = {};  // UNLEN + 1
    DWORD size = sizeof name / sizeof name[0];
    // The game keeps its text in Windows-1252; letters without a byte there
    // are dropped, as on Linux. A recording keeps what the game was told.
    const std::string live =
        GetUserNameW(name, &size) == 0 ? std::string() : utf8_to_cp1252(windows::narrow(name));
    return journal::login_name(live);
}

bool user_name(char* buf, std::uint32_t size) {
    if (buf == nullptr) {
        return false;
    }
    const std::string bytes = login_name();
    if (bytes.empty() || bytes.size() + 1 > size) {
        return false;
    }
    std::memcpy(buf, bytes.c_str(), bytes.size() + 1);
    return true;
}

void display_wait(std::uint32_t ms) {
    Sleep(ms);
}

}  // namespace platform
