// The round clock, the ambient sounds and the pop-up figure, in a game
// started on a minimal data set: whole rounds counted pass by pass, the
// round-end decision, and the figure's way up and down watched frame by frame
// in the back buffer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/spiel.h"
#include "app/start.h"
#include "audio/audio.h"
#include "game/game.h"
#include "gfx/bilder.h"
#include "gfx/ddraw.h"
#include "platform/system.h"
#include "platform/window.h"
#include "score/score.h"
#include "screens/screens.h"
#include "support/fixture.h"
#include "support/game_data.h"

using bramble_test::HeadlessTest;
namespace headless = platform::headless;
namespace fs = std::filesystem;

namespace {

struct Ohr : headless::Observer {
    int pass = 0;
    std::vector<std::pair<int, int>> sounds;  // (pass, item)
    void on_sound(int item, int, int) override { sounds.emplace_back(pass, item); }
    std::vector<int> items() const {
        std::vector<int> out;
        for (const auto& s : sounds) {
            out.push_back(s.second);
        }
        return out;
    }
};

class ClockTest : public HeadlessTest {
   protected:
    static void SetUpTestSuite() {
        char muster[] = "/tmp/bramble-clock-XXXXXX";
        ASSERT_NE(mkdtemp(muster), nullptr);
        ordner_ = muster;
        ASSERT_TRUE(bramble_test::write_game_data(ordner_.string()));
    }
    static void TearDownTestSuite() { fs::remove_all(ordner_); }

    void SetUp() override {
        HeadlessTest::SetUp();
        alt_ = fs::current_path();
        fs::current_path(ordner_);
        headless::set_observer(&ohr_);
        Hauptfenster = platform::window_create("Bramblecourt", Fensterprozedur);
        // What the reset leaves alone starts as at load.
        Kulisse_A = {};
        Kulisse_B = {};
        Figur_Zustand = Figur::Ruht;
        Figur_y = 768;
        Figur_gestartet = false;
        Spiel_zuruecksetzen();
        Spiel_starten();
        ASSERT_EQ(Spielzustand, Zustand::Titel);
        ASSERT_NE(lpDSBSounds[Klang::Tick], nullptr);
        ohr_.sounds.clear();
    }
    void TearDown() override {
        Spiel_beenden();
        platform::window_destroy(Hauptfenster);
        Hauptfenster = nullptr;
        headless::set_observer(nullptr);
        fs::current_path(alt_);
        HeadlessTest::TearDown();
    }

    // A round from its start as play runs it, without the targets.
    static void runde() {
        Zustand_wechseln(Zustand::Rundenstart, 0);
        Zustand_setzen(Zustand::Spiel);
    }
    // The clock's part of one pass of play.
    void pass() {
        ++ohr_.pass;
        Bildtakt = platform::tick_count();
        Bildtakt_und_Uhr();
    }

    static fs::path ordner_;
    fs::path alt_;
    Ohr ohr_;
};
fs::path ClockTest::ordner_;

TEST_F(ClockTest, RoundOf90SecondsRunsOutAfter3690PassesWithTenTicks) {
    struct Fall {
        const char* was;
        std::int32_t letzter, punkte, bester;
        std::int32_t zustand, jingle, bester_danach;
        std::uint8_t gewonnen;
    };
    const Fall faelle[] = {
        {"as many as the lowest entry", 1600, 1600, 2190, Zustand::Game_Over, Klang::Schluss, 2190,
         0},
        {"one more than the lowest", 1600, 1601, 2190, Zustand::Neuer_Highscore, Klang::Rekord,
         2190, 1},
        {"more than the best", 1600, 2500, 2190, Zustand::Neuer_Highscore, Klang::Rekord, 2500, 1},
    };
    // Ticks when 10, 9, ... 1 seconds are left; a second is 41 passes.
    std::vector<std::pair<int, int>> erwartet;
    for (int k = 80; k < 90; ++k) {
        erwartet.emplace_back(41 * k, Klang::Tick);
    }
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.was);
        runde();
        Sekundentakt = 0;
        Punkte = f.punkte;
        Highscore = f.bester;
        Highscoreliste[9].Punkte = f.letzter;
        Gewonnen = 1 - f.gewonnen;
        ohr_.sounds.clear();
        ohr_.pass = 0;
        const std::uint32_t start = platform::tick_count();
        while (Spielzustand == Zustand::Spiel && ohr_.pass < 5000) {
            pass();
        }
        EXPECT_EQ(ohr_.pass, 3690);
        EXPECT_EQ(platform::tick_count() - start, 3690u * 25);
        EXPECT_EQ(Spielzustand, f.zustand);
        auto toene = erwartet;
        toene.emplace_back(3690, f.jingle);
        EXPECT_EQ(ohr_.sounds, toene);
        EXPECT_EQ(Highscore, f.bester_danach);
        EXPECT_EQ(Gewonnen, f.gewonnen);
        EXPECT_EQ(Zeit, 0);
        EXPECT_EQ(Sekundentakt, 0);
        // The game-over screen's blinking starts with the round's end.
        EXPECT_FALSE(Blinktakt(1000, 0));
        headless::advance(1001);
        EXPECT_TRUE(Blinktakt(1000, 0));
    }
}

TEST_F(ClockTest, InterruptedRoundCarriesItsSecondIntoTheNext) {
    for (WPARAM taste : {WPARAM{VK_SPACE}, WPARAM{VK_ESCAPE}}) {
        SCOPED_TRACE(taste);
        runde();
        Sekundentakt = 0;
        for (int i = 0; i < 30; ++i) {
            pass();
        }
        EXPECT_EQ(Sekundentakt, 750);
        Fensterprozedur(Hauptfenster, WM_KEYDOWN, taste, 0);
        if (Spielzustand == Zustand::Menue) {
            Fensterprozedur(Hauptfenster, WM_KEYDOWN, VK_RETURN, 0);  // "Start Game"
        }
        ASSERT_EQ(Spielzustand, Zustand::Rundenstart);
        EXPECT_EQ(Zeit, 90);
        EXPECT_EQ(Sekundentakt, 750);
        Zustand_setzen(Zustand::Spiel);
        int passes = 0;
        while (Zeit == 90) {
            pass();
            ++passes;
        }
        EXPECT_EQ(passes, 11);  // the first second is shorter by 30 passes
    }
}

TEST_F(ClockTest, AmbientSoundsOnTheFirstFrameThenAtRandomIntervals) {
    // As at load both are due at once.
    Zufall_saeen(777);
    std::uint32_t z = 777;
    const auto r = [&z] {
        z = z * 214013u + 2531011u;
        return static_cast<std::uint32_t>((z >> 16) & 0x7FFF);
    };
    const std::uint32_t t0 = platform::tick_count();
    Geraeuschkulisse();
    EXPECT_EQ(ohr_.items(), (std::vector<int>{Klang::Kulisse_oft, Klang::Kulisse_selten}));
    EXPECT_EQ(Kulisse_A.Letzter, t0);
    EXPECT_EQ(Kulisse_A.Abstand, 3000 + r() % 10000);
    EXPECT_EQ(Kulisse_B.Abstand, 10000 + r() % 20000);

    // Due only once more than the interval has passed.
    ohr_.sounds.clear();
    headless::set_now(t0 + Kulisse_A.Abstand);
    Geraeuschkulisse();
    EXPECT_TRUE(ohr_.sounds.empty());
    headless::advance(1);
    Geraeuschkulisse();
    EXPECT_EQ(ohr_.items(), std::vector<int>{Klang::Kulisse_oft});

    // Ten minutes of play at 40 frames a second: every gap within its range.
    std::uint32_t letzter[2] = {platform::tick_count(), t0};
    std::uint32_t kuerzester[2] = {~0u, ~0u};
    std::uint32_t laengster[2] = {0, 0};
    for (int frame = 0; frame < 24000; ++frame) {
        headless::advance(25);
        ohr_.sounds.clear();
        Geraeuschkulisse();
        for (int item : ohr_.items()) {
            const int i = item == Klang::Kulisse_oft ? 0 : 1;
            const std::uint32_t abstand = platform::tick_count() - letzter[i];
            kuerzester[i] = std::min(kuerzester[i], abstand);
            laengster[i] = std::max(laengster[i], abstand);
            letzter[i] = platform::tick_count();
        }
    }
    EXPECT_GT(kuerzester[0], 3000u);
    EXPECT_LE(laengster[0], 13000u + 25);
    EXPECT_GT(kuerzester[1], 10000u);
    EXPECT_LE(laengster[1], 30000u + 25);
    EXPECT_LT(kuerzester[0], 4000u);  // the draws spread over the range
    EXPECT_GT(laengster[1], 25000u);

    // The timers run on while other screens are shown.
    ohr_.sounds.clear();
    headless::advance(60000);
    Geraeuschkulisse();
    EXPECT_EQ(ohr_.items(), (std::vector<int>{Klang::Kulisse_oft, Klang::Kulisse_selten}));
}

// Left, top, right and bottom of what was drawn; nothing when nothing was.
using Flaeche = std::optional<std::array<int, 4>>;

// One frame of the figure: its state and y after the call, and where on the
// screen it was drawn (the back buffer is cleared to black first).
struct Bild {
    std::int32_t zustand;
    std::int32_t y;
    Flaeche sichtbar;
};

Flaeche gezeichnet() {
    Flaeche r;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            if (lpDDSBack->pixel(x, y) != 0) {
                if (!r) {
                    r = std::array<int, 4>{x, y, x + 1, y + 1};
                }
                (*r)[0] = std::min((*r)[0], x);
                (*r)[2] = std::max((*r)[2], x + 1);
                (*r)[3] = y + 1;
            }
        }
    }
    return r;
}

Bild figur(std::uint8_t start = 0) {
    // A shot starts it (the game's simulation draws nothing); a frame of
    // play moves and draws it.
    DDraw_Puffer_leeren(lpDDSBack, 0x000000);
    if (start != 0) {
        Rekordfigur(start, 0);
    } else {
        Rekordfigur_zeigen();
    }
    return {Figur_Zustand, Figur_y, gezeichnet()};
}

// Where the figure must be seen: its 312 x 352 picture at (x, y), cut to
// the screen; nothing when wholly outside.
Flaeche erwartet(std::int32_t x, std::int32_t y) {
    const std::array<int, 4> r{std::max(x, 0), std::max(y, 0), std::min(x + 312, 1024),
                               std::min(y + 352, 768)};
    if (r[0] >= r[2] || r[1] >= r[3]) {
        return std::nullopt;
    }
    return r;
}

TEST_F(ClockTest, PopUpFigureRisesShowsAndSinksOnceARound) {
    // A round starts with the view centred.
    runde();
    ASSERT_EQ(Scroll_x, -512);

    // A scoring shot starts it, and the frame of the same pass draws it.
    headless::advance(25);
    Bild b = figur(1);
    EXPECT_EQ(ohr_.items(), std::vector<int>{Klang::Rekordfigur});
    EXPECT_EQ(b.y, 753);  // the shot's call made the first step
    EXPECT_EQ(figur().y, 753);

    std::vector<Bild> bilder;
    std::vector<std::uint32_t> zeiten;
    while (bilder.size() < 200 && (bilder.empty() || bilder.back().zustand != Figur::Fertig)) {
        headless::advance(25);
        bilder.push_back(figur());
        zeiten.push_back(platform::tick_count());
    }
    // 22 more steps up to 423, centred at x 356 (356 + 312 / 2 = 512) ...
    for (int i = 0; i < 22; ++i) {
        EXPECT_EQ(bilder[i].y, 738 - 15 * i) << i;
        EXPECT_EQ(bilder[i].zustand, Figur::Steigt);
        EXPECT_EQ(bilder[i].sichtbar, erwartet(356, bilder[i].y)) << i;
    }
    // ... shown until more than 1200 ms have passed since that last step ...
    int i = 22;
    while (bilder[i].zustand == Figur::Zeigt) {
        EXPECT_EQ(bilder[i].y, 423);
        EXPECT_EQ(bilder[i].sichtbar, erwartet(356, 423));
        ++i;
    }
    EXPECT_EQ(zeiten[i] - zeiten[21], 1225u);
    // ... then 24 steps down to 783, and done: drawn no more.
    EXPECT_EQ(bilder[i].zustand, Figur::Sinkt);
    EXPECT_EQ(bilder[i].y, 423);
    for (int k = 1; k <= 24; ++k) {
        EXPECT_EQ(bilder[i + k].y, 423 + 15 * k);
    }
    EXPECT_EQ(bilder[i + 24].sichtbar.has_value(), false);
    EXPECT_EQ(bilder.size(), static_cast<std::size_t>(i + 26));
    EXPECT_EQ(bilder.back().zustand, Figur::Fertig);

    // Once a round: a second start does nothing.
    ohr_.sounds.clear();
    b = figur(1);
    EXPECT_EQ(b.zustand, Figur::Fertig);
    EXPECT_FALSE(b.sichtbar);
    EXPECT_TRUE(ohr_.sounds.empty());

    // The next round rises from where the last sink ended: 24 steps. The
    // figure keeps its place in the landscape while the view scrolls.
    runde();
    Scroll_x = 0;
    headless::advance(25);
    b = figur(1);
    EXPECT_EQ(b.y, 768);
    EXPECT_EQ(b.sichtbar, erwartet(356, 768));
    int schritte = 1;
    Scroll_x = -100;
    for (;;) {
        headless::advance(25);
        b = figur();
        if (b.zustand != Figur::Steigt) {
            break;
        }
        ++schritte;
        EXPECT_EQ(b.sichtbar, erwartet(256, b.y)) << b.y;
    }
    EXPECT_EQ(schritte, 24);
    EXPECT_EQ(b.zustand, Figur::Zeigt);
    EXPECT_EQ(Figur_y, 423);
}

TEST_F(ClockTest, FigureScrolledAwayRunsOnUnseenAndIsNotDrawnAfterwards) {
    runde();
    Scroll_x = 0;  // anchored at the landscape's x 356
    headless::advance(25);
    figur(1);
    Scroll_x = -1024;  // 356 - 1024 + 312 < 0: out of view
    std::vector<Bild> bilder;
    while (bilder.size() < 200 && Figur_Zustand != Figur::Fertig) {
        headless::advance(25);
        bilder.push_back(figur());
    }
    ASSERT_EQ(bilder.back().zustand, Figur::Fertig);
    EXPECT_GT(bilder.size(), 90u);  // it rose, stayed and sank all the same
    for (const Bild& b : bilder) {
        EXPECT_FALSE(b.sichtbar);
    }
    Scroll_x = 0;
    headless::advance(25);
    EXPECT_FALSE(figur().sichtbar);
}

}  // namespace
