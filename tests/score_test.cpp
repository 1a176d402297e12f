// The top-ten list and Score.dat: the file byte for byte, the checks of a
// loaded file in their order with their messages, the carry of a new entry,
// and a file that survives failed writes, full disks and kills.
#include "score/score.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/spiel.h"
#include "core/core.h"
#include "platform/system.h"
#include "support/fixture.h"

using bramble_test::HeadlessTest;
using platform::Fault;
namespace headless = platform::headless;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kFehlerhaft =
    "Ihre Highscoreliste ist fehlerhaft,\nund mu\xDFte komplett neu anglegt werden!";
constexpr const char* kVeraendert =
    "Ihre Highscoreliste wurde manuell veraendert\nund mu\xDFte komplett neu anglegt werden!";
constexpr const char* kVersion =
    "Die Version ihrer Highscoreliste ist leider\nungueltig und mu\xDFte komplett neu anglegt "
    "werden!";
constexpr const char* kSchreiben = "Highscore_schreiben: CreateFile(GENERIC_WRITE)";

struct Eintrag {
    std::int32_t punkte;
    std::string name;
    bool operator==(const Eintrag& o) const { return punkte == o.punkte && name == o.name; }
};
using Liste = std::vector<Eintrag>;

void PrintTo(const Eintrag& e, std::ostream* os) {
    *os << e.punkte << " " << e.name;
}

void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::int32_t get32(const Bytes& b, std::size_t at) {
    return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                     (static_cast<std::uint32_t>(b[at + 3]) << 24));
}

// Score.dat as the layout says: tag field, time (2026-12-01 12:00 unless
// changed), ten entries of score and a 20-byte name field.
Bytes datei(const Liste& liste) {
    Bytes b(288, 0);
    std::memcpy(b.data(), "Bramblecourt 1014", 17);
    const std::uint16_t zeit[8] = {2026, 12, 2, 1, 12, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        put16(b, 32 + 2 * static_cast<std::size_t>(i), zeit[i]);
    }
    for (std::size_t k = 0; k < 10 && k < liste.size(); ++k) {
        const std::size_t at = 48 + 24 * k;
        const auto p = static_cast<std::uint32_t>(liste[k].punkte);
        for (int i = 0; i < 4; ++i) {
            b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(p >> (8 * i));
        }
        std::memcpy(&b[at + 4], liste[k].name.data(),
                    std::min<std::size_t>(20, liste[k].name.size()));
    }
    return b;
}

Liste aus_datei(const Bytes& b) {
    Liste l;
    for (std::size_t k = 0; k < 10; ++k) {
        const char* n = reinterpret_cast<const char*>(&b[48 + 24 * k + 4]);
        l.push_back({get32(b, 48 + 24 * k), std::string(n, strnlen(n, 20))});
    }
    return l;
}

Liste im_speicher() {
    Liste l;
    for (const Highscore_Eintrag& e : Highscoreliste) {
        l.push_back({e.Punkte, std::string(e.Name, strnlen(e.Name, sizeof e.Name))});
    }
    return l;
}

void liste_setzen(const Liste& l) {
    std::memset(Highscoreliste, 0, sizeof Highscoreliste);
    for (std::size_t k = 0; k < 10 && k < l.size(); ++k) {
        Highscoreliste[k].Punkte = l[k].punkte;
        std::memcpy(Highscoreliste[k].Name, l[k].name.data(), l[k].name.size());
    }
}

Bytes lesen(const char* name = "Score.dat") {
    if (!fs::is_regular_file(name)) {
        return {};
    }
    std::ifstream f(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

void schreiben(const Bytes& b, const char* name = "Score.dat") {
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Ten entries 2000, 1900, ... 1100.
Liste zehn(const std::string& vorsilbe = "P") {
    Liste l;
    for (int k = 0; k < 10; ++k) {
        l.push_back({2000 - 100 * k, vorsilbe + std::to_string(k)});
    }
    return l;
}

// Looks at Score.dat whenever a message box appears: the fresh list must be
// on disk before the player is told.
struct Zeuge : headless::Observer {
    std::vector<Bytes> dateien;
    void on_box(const headless::Box&) override { dateien.push_back(lesen()); }
};

class ScoreTest : public HeadlessTest {
   protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        ordner_.emplace("score");
        headless::set_observer(&zeuge_);
        std::memset(Highscoreliste, 0, sizeof Highscoreliste);
        Highscore = 0;
    }
    void TearDown() override {
        headless::set_observer(nullptr);
        ordner_.reset();
        HeadlessTest::TearDown();
    }

    // What the generator seeded with seed gives a fresh list, best first,
    // each entry named F.Harbeck: drawn here by our own copy of the formula.
    static Liste frische_liste(std::uint32_t seed) {
        std::vector<std::int32_t> punkte;
        for (int k = 0; k < 10; ++k) {
            seed = seed * 214013u + 2531011u;
            punkte.push_back((static_cast<std::int32_t>((seed >> 16) & 0x7FFF) % 60 + 160) * 10);
        }
        std::sort(punkte.rbegin(), punkte.rend());
        Liste l;
        for (std::int32_t p : punkte) {
            l.push_back({p, "F.Harbeck"});
        }
        return l;
    }

    std::optional<bramble_test::TempWorkingFolder> ordner_;
    Zeuge zeuge_;
};

TEST_F(ScoreTest, MissingFileGivesAFreshListWrittenByteForByteWithoutAMessage) {
    Zufall_saeen(4711);
    EXPECT_EQ(Highscore_laden("Score.dat"), 1);
    EXPECT_TRUE(headless::boxes().empty());

    Bytes erwartet = datei(frische_liste(4711));
    const platform::SystemTime t = platform::utc_time();
    const std::uint16_t zeit[8] = {t.year, t.month,  t.day_of_week, t.day,
                                   t.hour, t.minute, t.second,      t.milliseconds};
    for (int i = 0; i < 8; ++i) {
        put16(erwartet, 32 + 2 * static_cast<std::size_t>(i), zeit[i]);
    }
    EXPECT_EQ(lesen(), erwartet);
    EXPECT_EQ(im_speicher(), frische_liste(4711));
    EXPECT_EQ(Highscore, frische_liste(4711)[0].punkte);
    EXPECT_FALSE(fs::exists("Score.dat.tmp"));
}

TEST_F(ScoreTest, LoadedFilesAreCheckedInOrder) {
    struct Fall {
        const char* was;
        std::function<void(Bytes&)> aendern;
        int ergebnis;
        const char* meldung;  // null: none
    };
    const Fall faelle[] = {
        {"287 bytes", [](Bytes& b) { b.pop_back(); }, 2, kFehlerhaft},
        {"289 bytes", [](Bytes& b) { b.push_back(0); }, 2, kFehlerhaft},
        {"empty", [](Bytes& b) { b.clear(); }, 2, kFehlerhaft},
        {"minute 61", [](Bytes& b) { put16(b, 42, 61); }, 3, kVeraendert},
        {"second 61", [](Bytes& b) { put16(b, 44, 61); }, 3, kVeraendert},
        {"minute 65535 (unsigned)", [](Bytes& b) { put16(b, 42, 0xFFFF); }, 3, kVeraendert},
        {"minute and second 60",
         [](Bytes& b) {
             put16(b, 42, 60);
             put16(b, 44, 60);
         },
         0, nullptr},
        {"tag 1015", [](Bytes& b) { b[16] = '5'; }, 4, kVersion},
        {"tag in small letters", [](Bytes& b) { b[0] = 'b'; }, 4, kVersion},
        {"tag cut short", [](Bytes& b) { b[16] = 0; }, 4, kVersion},
        {"tag without its zero", [](Bytes& b) { std::fill(&b[17], &b[32], 'x'); }, 4, kVersion},
        {"bytes after the tag's zero", [](Bytes& b) { std::fill(&b[18], &b[32], 0xAB); }, 0,
         nullptr},
        {"time checked before the tag",
         [](Bytes& b) {
             put16(b, 42, 61);
             b[0] = 'X';
         },
         3, kVeraendert},
    };
    const Liste alt = zehn();
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.was);
        headless::clear_boxes();
        zeuge_.dateien.clear();
        Bytes b = datei(alt);
        f.aendern(b);
        schreiben(b);
        Zufall_saeen(99);
        Highscore = -1;

        EXPECT_EQ(Highscore_laden("Score.dat"), f.ergebnis);
        if (f.meldung == nullptr) {
            EXPECT_TRUE(headless::boxes().empty());
            EXPECT_EQ(im_speicher(), alt);
            EXPECT_EQ(lesen(), b);  // not written again
        } else {
            ASSERT_EQ(headless::boxes().size(), 1u);
            EXPECT_EQ(headless::boxes()[0].text, f.meldung);
            EXPECT_EQ(headless::boxes()[0].caption, "Error...");
            EXPECT_EQ(im_speicher(), frische_liste(99));
            // Made and written before the message.
            ASSERT_EQ(zeuge_.dateien.size(), 1u);
            EXPECT_EQ(zeuge_.dateien[0].size(), 288u);
            EXPECT_EQ(aus_datei(zeuge_.dateien[0]), frische_liste(99));
        }
        EXPECT_EQ(Highscore, im_speicher()[0].punkte);
    }
}

TEST_F(ScoreTest, LoadedEntriesAreSortedAndNamesKeptInTheirField) {
    struct Fall {
        const char* was;
        Liste datei;
        Liste geladen;
    };
    const std::string zwanzig = "ABCDEFGHIJKLMNOPQRST";
    const Fall faelle[] = {
        {"unsorted, equal scores in file order",
         {{50, "e"},
          {90, "b1"},
          {70, "c"},
          {90, "b2"},
          {100, "a"},
          {0, "z1"},
          {90, "b3"},
          {-5, "n"},
          {0, "z2"},
          {70, "c2"}},
         {{100, "a"},
          {90, "b1"},
          {90, "b2"},
          {90, "b3"},
          {70, "c"},
          {70, "c2"},
          {50, "e"},
          {0, "z1"},
          {0, "z2"},
          {-5, "n"}}},
        {"a name without a zero byte is cut to 19",
         {{9, zwanzig},
          {8, zwanzig},
          {7, "x"},
          {6, "y"},
          {5, ""},
          {4, ""},
          {3, ""},
          {2, ""},
          {1, ""},
          {0, zwanzig}},
         {{9, zwanzig.substr(0, 19)},
          {8, zwanzig.substr(0, 19)},
          {7, "x"},
          {6, "y"},
          {5, ""},
          {4, ""},
          {3, ""},
          {2, ""},
          {1, ""},
          {0, zwanzig.substr(0, 19)}}},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.was);
        schreiben(datei(f.datei));
        EXPECT_EQ(Highscore_laden("Score.dat"), 0);
        EXPECT_EQ(im_speicher(), f.geladen);
        EXPECT_EQ(Highscore, f.geladen[0].punkte);
        for (const Highscore_Eintrag& e : Highscoreliste) {
            EXPECT_EQ(e.Name[19], '\0');
        }
    }
    EXPECT_TRUE(headless::boxes().empty());
}

TEST_F(ScoreTest, NewEntryIsCarriedDownTheList) {
    struct Fall {
        const char* was;
        Liste vorher;
        const char* name;
        std::int32_t punkte;
        Liste nachher;
    };
    const Liste rest = {{70, "E"}, {60, "F"}, {50, "G"}, {40, "H"},
                        {30, "I"}, {20, "J"}, {10, "K"}};
    const auto mit = [&](Liste l) {
        l.insert(l.end(), rest.begin(), rest.begin() + static_cast<long>(10 - l.size()));
        return l;
    };
    const Fall faelle[] = {
        {"equal scores below the new entry change places",
         mit({{100, "A"}, {90, "B"}, {90, "C"}, {80, "D"}}),
         "new",
         95,
         {{100, "A"},
          {95, "new"},
          {90, "C"},
          {90, "B"},
          {80, "D"},
          {70, "E"},
          {60, "F"},
          {50, "G"},
          {40, "H"},
          {30, "I"}}},
        {"after an equal score",
         mit({{100, "A"}, {90, "B"}, {80, "C"}}),
         "new",
         90,
         {{100, "A"},
          {90, "B"},
          {90, "new"},
          {80, "C"},
          {70, "E"},
          {60, "F"},
          {50, "G"},
          {40, "H"},
          {30, "I"},
          {20, "J"}}},
        {"first",
         mit({{100, "A"}, {90, "B"}, {80, "C"}}),
         "top",
         500,
         {{500, "top"},
          {100, "A"},
          {90, "B"},
          {80, "C"},
          {70, "E"},
          {60, "F"},
          {50, "G"},
          {40, "H"},
          {30, "I"},
          {20, "J"}}},
        {"equal to entry 9 stays out", mit({{100, "A"}, {90, "B"}, {80, "C"}}), "out", 10,
         mit({{100, "A"}, {90, "B"}, {80, "C"}})},
        {"a name too long for its field is cut to 19",
         mit({{100, "A"}, {90, "B"}, {80, "C"}}),
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
         21,
         {{100, "A"},
          {90, "B"},
          {80, "C"},
          {70, "E"},
          {60, "F"},
          {50, "G"},
          {40, "H"},
          {30, "I"},
          {21, "ABCDEFGHIJKLMNOPQRS"},
          {20, "J"}}},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.was);
        liste_setzen(f.vorher);
        Highscore = 7;
        EXPECT_EQ(Highscore_eintragen(f.name, f.punkte), 0);
        EXPECT_EQ(im_speicher(), f.nachher);
        EXPECT_EQ(aus_datei(lesen()), f.nachher);
        EXPECT_EQ(Highscore, 7);  // raised by the round clock, not here
    }
    EXPECT_TRUE(headless::boxes().empty());
}

// Every way a write can fail leaves the old file whole, removes what it
// began, shows the one message and keeps the list in memory for the next try.
TEST_F(ScoreTest, FailedWritesLeaveTheOldFileWhole) {
    struct Fall {
        const char* was;
        Fault fehler;
        int skip;
    };
    const Fall faelle[] = {
        {"the folder cannot be written", Fault::FileOpen, 0},
        {"the disk is full at once", Fault::FileWrite, 0},
        {"the disk is full at the list", Fault::FileWrite, 2},
    };
    const Bytes alt = datei(zehn("old"));
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.was);
        headless::clear_boxes();
        schreiben(alt);
        liste_setzen(zehn("old"));
        headless::arm_fault(f.fehler, f.skip, 1);
        EXPECT_EQ(Highscore_eintragen("new", 1950), 0);
        EXPECT_EQ(Highscore_schreiben("Score.dat"), 0);  // the next write tries again
        ASSERT_EQ(headless::boxes().size(), 1u);
        EXPECT_EQ(headless::boxes()[0].text, kSchreiben);
        ASSERT_EQ(zeuge_.dateien.size(), 1u);
        EXPECT_EQ(zeuge_.dateien.back(), alt);
        zeuge_.dateien.clear();
        EXPECT_EQ(aus_datei(lesen()), im_speicher());
        EXPECT_EQ(im_speicher()[1], (Eintrag{1950, "new"}));
    }
    EXPECT_FALSE(fs::exists("Score.dat.tmp"));
}

TEST_F(ScoreTest, UnreadableAndUnwritableFileIsKeptAndTheListLivesInMemory) {
    const Bytes alt = datei(zehn("old"));
    schreiben(alt);
    headless::arm_fault(Fault::FileOpen, 0, 2);  // neither read nor replaced
    Zufall_saeen(5);
    EXPECT_EQ(Highscore_laden("Score.dat"), 1);
    EXPECT_EQ(im_speicher(), frische_liste(5));
    EXPECT_EQ(Highscore, frische_liste(5)[0].punkte);
    EXPECT_EQ(box_texts(), std::vector<std::string>{kSchreiben});
    EXPECT_EQ(lesen(), alt);
}

TEST_F(ScoreTest, WhatCannotBeReplacedIsLeftAlone) {
    // A folder in the file's place, or one in the temporary file's place.
    for (const char* hindernis : {"Score.dat", "Score.dat.tmp"}) {
        SCOPED_TRACE(hindernis);
        headless::clear_boxes();
        fs::remove_all("Score.dat");
        fs::create_directories(std::string(hindernis) + "/inside");
        liste_setzen(zehn());
        EXPECT_EQ(Highscore_schreiben("Score.dat"), 1);
        EXPECT_EQ(box_texts(), std::vector<std::string>{kSchreiben});
        EXPECT_TRUE(fs::exists(std::string(hindernis) + "/inside"));
        fs::remove_all(hindernis);
    }
}

TEST_F(ScoreTest, LeftoverTemporaryFileIsIgnoredAndReplaced) {
    schreiben(datei(zehn()));
    schreiben(Bytes(1000, 0x55), "Score.dat.tmp");
    fs::permissions("Score.dat",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Highscore_laden("Score.dat"), 0);
    EXPECT_EQ(im_speicher(), zehn());
    EXPECT_EQ(Highscore_eintragen("new", 1850), 0);
    EXPECT_TRUE(headless::boxes().empty());
    EXPECT_FALSE(fs::exists("Score.dat.tmp"));
    EXPECT_EQ(lesen().size(), 288u);
    EXPECT_EQ(aus_datei(lesen())[2], (Eintrag{1850, "new"}));
    // The new file keeps the old one's permissions.
    EXPECT_EQ(fs::status("Score.dat").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A process that writes Score.dat over and over is killed at random
// moments; every time the file is whole, the old version or a newer one,
// never a mix. Version g holds entries g*10 - k named "g<g>".
TEST_F(ScoreTest, KilledWhileWritingLeavesTheOldOrTheNewFileWhole) {
    const auto version = [](std::int32_t g) {
        Liste l;
        for (int k = 0; k < 10; ++k) {
            l.push_back({g * 10 - k, "g" + std::to_string(g)});
        }
        return l;
    };
    liste_setzen(version(1));
    ASSERT_EQ(Highscore_schreiben("Score.dat"), 0);

    std::mt19937 zufall(12345);
    std::int32_t zuletzt = 1;
    int weiter = 0;  // kills after which a newer version was found
    int mitten = 0;  // kills that left a temporary file behind
    constexpr int kMal = 300;
    for (int mal = 0; mal < kMal; ++mal) {
        const std::int32_t ab = zuletzt + 1;
        const pid_t kind = fork();
        ASSERT_GE(kind, 0);
        if (kind == 0) {
            for (std::int32_t g = ab;; ++g) {
                liste_setzen(version(g));
                Highscore_schreiben("Score.dat");
            }
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, 8000)(zufall));
        kill(kind, SIGKILL);
        int status = 0;
        waitpid(kind, &status, 0);

        const Bytes b = lesen();
        ASSERT_EQ(b.size(), 288u) << "after kill " << mal;
        ASSERT_EQ(std::memcmp(b.data(), "Bramblecourt 1014\0", 18), 0);
        const std::int32_t g = get32(b, 48) / 10;
        ASSERT_GE(g, zuletzt) << "an older version came back";
        ASSERT_EQ(aus_datei(b), version(g)) << "after kill " << mal;
        Zufall_saeen(1);
        ASSERT_EQ(Highscore_laden("Score.dat"), 0);
        weiter += g > zuletzt ? 1 : 0;
        mitten += fs::exists("Score.dat.tmp") ? 1 : 0;
        zuletzt = g;
    }
    // The kills hit both between and during writes.
    EXPECT_GT(weiter, kMal / 4);
    EXPECT_GT(mitten, 0);
    EXPECT_TRUE(headless::boxes().empty());
}

}  // namespace
