// The session journal: what the recorder writes comes back reading by
// reading; a file changed in any byte is refused, a file cut anywhere after
// its header replays up to its last whole block; a replay hands out the
// recorded values and stops, naming the pass, where the game asks for
// something else or the recording ends.
#include "platform/journal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/window.h"

namespace journal = platform::journal;
using journal::Kind;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

fs::path scratch(const char* name) {
    const fs::path dir = fs::temp_directory_path() / ("journal_test_" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir / name;
}

Bytes read_all(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

bool open_bytes(const Bytes& b, journal::Reader& r, std::string& error) {
    auto source = [&b](std::uint64_t at, std::uint8_t* out, std::size_t n) -> std::size_t {
        if (at >= b.size()) {
            return 0;
        }
        const std::size_t k = std::min<std::size_t>(n, b.size() - static_cast<std::size_t>(at));
        std::copy_n(b.begin() + static_cast<std::ptrdiff_t>(at), k, out);
        return k;
    };
    return r.open(source, b.size(), error);
}

std::vector<journal::Reading> all(journal::Reader& r) {
    std::vector<journal::Reading> out;
    journal::Reading x;
    while (r.next(x)) {
        out.push_back(x);
    }
    return out;
}

journal::Header header() {
    journal::Header h;
    h.game_version = "9.9.9";
    h.depth = 16;
    h.fullscreen = true;
    h.data = {{"Grafik.dat", 1234, 0xDEADBEEF}, {"main.wav", -1, 0}};
    h.embedded = {{"Score.dat", true, std::string("\0\1\2Score", 8)}};
    return h;
}

// One reading of every kind, with the edges of their encodings: tick steps
// of 0, 127, 128 and a wrap past 2^32, a negative lparam, an empty and a
// long name.
void play_readings() {
    journal::tick(100);
    journal::tick(100);
    journal::tick(227);
    journal::tick(355);
    journal::tick(0xFFFFFFF0u);
    journal::tick(5);
    platform::Message m{nullptr, 0x0200, 3, -2};
    journal::message(true, m);
    journal::message(false, m);
    journal::time(Kind::LocalTime, platform::SystemTime{2026, 12, 1, 7, 23, 59, 58, 999});
    journal::time(Kind::UtcTime, platform::SystemTime{1999, 1, 0, 31, 0, 0, 0, 0});
    journal::login_name("");
    journal::login_name(std::string(300, '\xE4'));
    journal::sound_status(1);
    std::vector<std::string> names = {"a.mp3", "", "Zz.MP3"};
    journal::listing(true, names);
}

const std::vector<Kind> kKinds = {
    Kind::Tick,      Kind::Tick,      Kind::Tick,        Kind::Tick,      Kind::Tick,
    Kind::Tick,      Kind::Message,   Kind::NoMessage,   Kind::LocalTime, Kind::UtcTime,
    Kind::LoginName, Kind::LoginName, Kind::SoundStatus, Kind::Names,     Kind::End};

Bytes record(const char* name, void (*play)()) {
    const fs::path p = scratch(name);
    std::string error;
    EXPECT_TRUE(journal::record_begin(p.string(), header(), error)) << error;
    play();
    journal::record_end();
    Bytes bytes = read_all(p);
    fs::remove(p);
    return bytes;
}

// Offsets of the blocks after the 12-byte prefix (the header's first).
std::vector<std::size_t> block_starts(const Bytes& b) {
    std::vector<std::size_t> out;
    for (std::size_t at = 12; at + 12 <= b.size();) {
        out.push_back(at);
        const std::uint32_t n = static_cast<std::uint32_t>(b[at]) | b[at + 1] << 8 |
                                b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
        at += 12 + n;
    }
    return out;
}

TEST(Journal, EveryReadingComesBackAsRecorded) {
    const Bytes file = record("kinds.rec", play_readings);
    journal::Reader r;
    std::string error;
    ASSERT_TRUE(open_bytes(file, r, error)) << error;
    EXPECT_FALSE(r.cut_off());
    const journal::Header& h = r.header();
    EXPECT_EQ(h.game_version, "9.9.9");
    EXPECT_EQ(h.depth, 16u);
    EXPECT_TRUE(h.fullscreen);
    EXPECT_EQ(h.data, header().data);
    ASSERT_EQ(h.embedded.size(), 1u);
    EXPECT_EQ(h.embedded[0].bytes, header().embedded[0].bytes);

    const auto got = all(r);
    std::vector<Kind> kinds;
    for (const auto& x : got) {
        kinds.push_back(x.kind);
    }
    ASSERT_EQ(kinds, kKinds);
    const std::vector<std::uint32_t> ticks = {100, 100, 227, 355, 0xFFFFFFF0u, 5};
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(got[i].number, ticks[i]) << i;
    }
    EXPECT_EQ(got[6].msg, 0x0200u);
    EXPECT_EQ(got[6].wparam, 3u);
    EXPECT_EQ(got[6].lparam, -2);
    EXPECT_EQ(got[8].time.hour, 23);
    EXPECT_EQ(got[8].time.milliseconds, 999);
    EXPECT_EQ(got[9].time.year, 1999);
    EXPECT_EQ(got[11].text, std::string(300, '\xE4'));
    EXPECT_EQ(got[12].number, 1u);
    EXPECT_TRUE(got[13].found);
    EXPECT_EQ(got[13].names, (std::vector<std::string>{"a.mp3", "", "Zz.MP3"}));
}

// Every single changed byte of a whole recording is refused, whatever field
// it falls into.
TEST(Journal, AnyChangedByteIsRefused) {
    const Bytes file = record("flip.rec", play_readings);
    for (std::size_t i = 0; i < file.size(); ++i) {
        for (std::uint8_t mask : {0x01, 0x80}) {
            Bytes b = file;
            b[i] ^= mask;
            journal::Reader r;
            std::string error;
            EXPECT_FALSE(open_bytes(b, r, error)) << "byte " << i << " ^ " << int(mask);
            EXPECT_FALSE(error.empty());
        }
    }
}

// A recording cut anywhere: refused inside the prefix or the header;
// otherwise accepted, cut off, with the readings of its whole blocks.
TEST(Journal, CutRecordingsReplayUpToTheirLastWholeBlock) {
    // Enough readings for several blocks.
    const Bytes file = record("cut.rec", [] {
        for (std::uint32_t t = 0; t < 700000; ++t) {
            journal::tick(t);
        }
    });
    const std::vector<std::size_t> starts = block_starts(file);
    ASSERT_GE(starts.size(), 4u);  // header, at least two blocks of ticks, the end
    std::vector<std::size_t> cuts = {0, 5, 12, starts[1] - 1};
    for (std::size_t k = 1; k < starts.size(); ++k) {
        cuts.push_back(starts[k]);
        cuts.push_back(starts[k] + 5);
        cuts.push_back(starts[k] + 20);
    }
    for (std::size_t cut : cuts) {
        if (cut >= file.size()) {
            continue;
        }
        const Bytes b(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
        journal::Reader r;
        std::string error;
        const bool opened = open_bytes(b, r, error);
        ASSERT_EQ(opened, cut >= starts[1]) << "cut at " << cut << ": " << error;
        if (!opened) {
            continue;
        }
        EXPECT_TRUE(r.cut_off());
        // Readings: those of the blocks that end before the cut.
        std::size_t whole = 0;
        for (std::size_t k = 2; k < starts.size() && starts[k] <= cut; ++k) {
            whole = starts[k];
        }
        const auto got = all(r);
        std::size_t expected = 0;
        for (std::size_t k = 1; k + 1 < starts.size() && starts[k + 1] <= whole; ++k) {
            expected += starts[k + 1] - starts[k] - 12;  // one byte a tick
        }
        EXPECT_EQ(got.size(), expected) << "cut at " << cut;
        for (std::size_t i = 0; i < got.size(); i += 9973) {
            ASSERT_EQ(got[i].number, i);
        }
    }
}

TEST(Journal, ForeignAndOversizedFilesAreRefused) {
    const Bytes good = record("good.rec", play_readings);
    struct Case {
        const char* what;
        Bytes bytes;
        std::uint64_t claimed_size;
        const char* says;
    };
    Bytes newer = good;
    newer[8] = 2;
    Bytes appended = good;
    appended.insert(appended.end(), good.begin() + 12, good.end());
    const std::vector<Case> cases = {
        {"empty", {}, 0, "not a recording"},
        {"a PNG", {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0}, 12, "not a recording"},
        {"a newer format", newer, newer.size(), "format version 2"},
        {"blocks after the end", appended, appended.size(), "after its end"},
        {"over a GiB", good, journal::kMaxFile + 1, "larger than"},
    };
    for (const Case& c : cases) {
        journal::Reader r;
        std::string error;
        auto source = [&c](std::uint64_t at, std::uint8_t* out, std::size_t n) -> std::size_t {
            if (at >= c.bytes.size()) {
                return 0;
            }
            const std::size_t k =
                std::min<std::size_t>(n, c.bytes.size() - static_cast<std::size_t>(at));
            std::copy_n(c.bytes.begin() + static_cast<std::ptrdiff_t>(at), k, out);
            return k;
        };
        EXPECT_FALSE(r.open(source, c.claimed_size, error)) << c.what;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.what << ": " << error;
    }
}

// The replay side: recorded values come back through the hooks whatever the
// live ones are; the first question the recording does not answer stops the
// replay with the pass named.
TEST(Journal, ReplayHandsOutTheRecordingAndStopsWhereTheGameDeparts) {
    const Bytes file = record("replay.rec", play_readings);
    struct Case {
        const char* what;
        std::function<void()> game;
        bool cut_off;  // how it stops; null message: no stop
        const char* says;
    };
    const auto recorded_way = [] {
        EXPECT_EQ(journal::tick(1), 100u);
        EXPECT_EQ(journal::tick(1), 100u);
        EXPECT_EQ(journal::tick(1), 227u);
        EXPECT_EQ(journal::tick(1), 355u);
        EXPECT_EQ(journal::tick(1), 0xFFFFFFF0u);
        EXPECT_EQ(journal::tick(1), 5u);
        EXPECT_EQ(journal::last_tick(), 5u);
        platform::Message m;
        EXPECT_TRUE(journal::message(false, m));
        EXPECT_EQ(m.lparam, -2);
        EXPECT_FALSE(journal::message(true, m));
        EXPECT_EQ(journal::time(Kind::LocalTime, {}).second, 58);
        EXPECT_EQ(journal::time(Kind::UtcTime, {}).day, 31);
        EXPECT_EQ(journal::login_name("live"), "");
        EXPECT_EQ(journal::login_name("live").size(), 300u);
        EXPECT_EQ(journal::sound_status(0), 1u);
        std::vector<std::string> names;
        EXPECT_TRUE(journal::listing(false, names));
        EXPECT_EQ(names.size(), 3u);
    };
    const std::vector<Case> cases = {
        {"the recorded way", recorded_way, false, nullptr},
        {"a time for a tick", [] { journal::time(Kind::LocalTime, {}); }, false,
         "pass 7: the game departs from the recording: it asks for the local time, the "
         "recording has the tick count next"},
        {"a message for a tick",
         [] {
             platform::Message m;
             journal::message(false, m);
         },
         false, "asks for the next message"},
        {"past the end",
         [&] {
             recorded_way();
             journal::tick(0);
         },
         false, "the recording has the end of the game next"},
    };
    for (const Case& c : cases) {
        journal::Reader r;
        std::string error;
        ASSERT_TRUE(open_bytes(file, r, error)) << error;
        journal::replay_begin(std::move(r));
        journal::set_pass(7);
        std::string stopped;
        try {
            c.game();
        } catch (const journal::Stop& s) {
            stopped = s.message;
            EXPECT_EQ(s.cut_off, c.cut_off) << c.what;
        }
        if (c.says == nullptr) {
            EXPECT_EQ(stopped, "") << c.what;
            std::string note;
            EXPECT_TRUE(journal::replay_finish(note)) << note;
        } else {
            EXPECT_NE(stopped.find(c.says), std::string::npos) << c.what << ": " << stopped;
        }
        journal::replay_end();
    }

    // A recording cut short stops the replay as cut off.
    Bytes cut = file;
    cut.resize(block_starts(file)[1] + 3);
    journal::Reader r;
    std::string error;
    ASSERT_TRUE(open_bytes(cut, r, error)) << error;
    journal::replay_begin(std::move(r));
    journal::set_pass(3);
    try {
        journal::tick(0);
        ADD_FAILURE() << "no stop";
    } catch (const journal::Stop& s) {
        EXPECT_TRUE(s.cut_off);
        EXPECT_NE(s.message.find("ends in pass 3"), std::string::npos) << s.message;
    }
    journal::replay_end();
}

}  // namespace
