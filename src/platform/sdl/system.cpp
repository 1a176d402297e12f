// Calendar and user name of the real backend, from POSIX (the clock is in
// clock.cpp).
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
