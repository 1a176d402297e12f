// The reader of recorded sessions on any bytes: it refuses or accepts without
// crashing, and what it accepts replays through the hooks reading for reading,
// with every value as read, and stops as a cut-off recording where the
// readings run out.
#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "platform/journal.h"

namespace journal = platform::journal;
using journal::Kind;

namespace {

bool open(const std::uint8_t* data, std::size_t size, journal::Reader& r) {
    auto source = [data, size](std::uint64_t at, std::uint8_t* out, std::size_t n) {
        if (at >= size) {
            return std::size_t{0};
        }
        const std::size_t k = std::min<std::size_t>(n, size - static_cast<std::size_t>(at));
        std::memcpy(out, data + at, k);
        return k;
    };
    std::string error;
    const bool ok = r.open(source, size, error);
    fuzz::require(ok || !error.empty(), "a refusal says why");
    return ok;
}

// Asks the hooks for what r holds and checks that it comes back.
void ask(const journal::Reading& r) {
    switch (r.kind) {
        case Kind::Tick:
            fuzz::require(journal::tick(~r.number) == r.number, "the tick as read");
            break;
        case Kind::NoMessage:
        case Kind::Message: {
            platform::Message m;
            const bool found = journal::message(false, m);
            fuzz::require(found == (r.kind == Kind::Message), "a message where one was read");
            fuzz::require(
                !found || (m.msg == r.msg && m.wparam == r.wparam && m.lparam == r.lparam),
                "the message as read");
            break;
        }
        case Kind::LocalTime:
        case Kind::UtcTime:
            fuzz::require(journal::time(r.kind, {}).milliseconds == r.time.milliseconds,
                          "the time as read");
            break;
        case Kind::LoginName:
            fuzz::require(journal::login_name("x") == r.text, "the name as read");
            break;
        case Kind::SoundStatus:
            fuzz::require(journal::sound_status(~r.number) == r.number, "the status as read");
            break;
        case Kind::Names: {
            std::vector<std::string> names = {"live"};
            fuzz::require(journal::listing(!r.found, names) == r.found && names == r.names,
                          "the listing as read");
            break;
        }
        case Kind::End:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    journal::Reader first;
    if (!open(data, size, first)) {
        return 0;
    }
    std::vector<journal::Reading> readings;
    journal::Reading r;
    while (first.next(r)) {
        fuzz::require(readings.empty() || readings.back().kind != Kind::End,
                      "nothing after the end");
        readings.push_back(r);
    }
    fuzz::require(first.cut_off() == (readings.empty() || readings.back().kind != Kind::End),
                  "cut off exactly when the end mark is missing");

    journal::Reader second;
    fuzz::require(open(data, size, second), "the same bytes open twice");
    journal::replay_begin(std::move(second));
    bool stopped = false;
    try {
        for (const journal::Reading& x : readings) {
            if (x.kind != Kind::End) {
                ask(x);
            }
        }
        journal::tick(0);  // one more than there is
    } catch (const journal::Stop& stop) {
        stopped = true;
        fuzz::require(stop.cut_off == first.cut_off(), "a cut-off recording stops as one");
    }
    fuzz::require(stopped, "a replay stops after its last reading");
    journal::replay_end();
    return 0;
}
