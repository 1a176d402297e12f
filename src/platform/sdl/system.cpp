// Clock, calendar and user name of the real backend, from POSIX.
#include "platform/system.h"

#include <pwd.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/cp1252.h"
#include "platform/faults.h"
#include "platform/journal.h"
#include "platform/stats.h"

namespace platform {

bool fault_due(Fault /*f*/) {
    return false;
}

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

namespace {

SystemTime to_system_time(const std::tm& tm, long nanoseconds) {
    SystemTime t{};
    t.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    t.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    t.day_of_week = static_cast<std::uint16_t>(tm.tm_wday);  // 0 = Sunday, as on Windows
    t.day = static_cast<std::uint16_t>(tm.tm_mday);
    t.hour = static_cast<std::uint16_t>(tm.tm_hour);
    t.minute = static_cast<std::uint16_t>(tm.tm_min);
    t.second = static_cast<std::uint16_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec);  // no leap second
    t.milliseconds = static_cast<std::uint16_t>(nanoseconds / 1000000);
    return t;
}

}  // namespace

SystemTime local_time() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    return journal::time(journal::Kind::LocalTime, to_system_time(tm, ts.tv_nsec));
}

SystemTime utc_time() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    gmtime_r(&ts.tv_sec, &tm);
    return journal::time(journal::Kind::UtcTime, to_system_time(tm, ts.tv_nsec));
}

std::string login_name() {
    std::string name;
    long len = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> scratch(static_cast<std::size_t>(len > 0 ? len : 16384));
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &pw, scratch.data(), scratch.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr) {
        name = found->pw_name;
    } else {
        char login[256] = {};
        if (getlogin_r(login, sizeof login) == 0) {
            name = login;
        }
    }
    // The game keeps its text in Windows-1252.
    return journal::login_name(utf8_to_cp1252(name));
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

}  // namespace platform
