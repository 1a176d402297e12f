// The application core: reset, transitions, timers, the window procedure per
// screen state, the main loop's pacing and the shutdown wait.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/spiel.h"
#include "app/start.h"
#include "audio/audio.h"
#include "game/game.h"
#include "gfx/bilder.h"
#include "gfx/ddraw.h"
#include "platform/stats.h"
#include "platform/window.h"
#include "screens/screens.h"
#include "support/fixture.h"

using bramble_test::HeadlessTest;
namespace headless = platform::headless;

namespace {

constexpr std::uint32_t kT = 5000000;

class AppTest : public HeadlessTest {
   protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        headless::reset(kT);
        headless::set_frame_ms(16);
        Hauptfenster = platform::window_create("Bramblecourt", Fensterprozedur);
        ASSERT_NE(Hauptfenster, nullptr);
        Spiel_zuruecksetzen();
        start_display(16);
    }
    void TearDown() override {
        platform::window_destroy(Hauptfenster);
        Hauptfenster = nullptr;
        HeadlessTest::TearDown();
    }

    static LRESULT send(std::uint32_t msg, WPARAM w = 0, LPARAM l = 0) {
        return Fensterprozedur(Hauptfenster, msg, w, l);
    }
    static void key(WPARAM vk) { send(WM_KEYDOWN, vk); }
    static void zeichen(char c) { send(WM_CHAR, static_cast<unsigned char>(c)); }
};

TEST_F(AppTest, NewRoundEmptiesTheLineBufferAndArmsTheIntroCountdown) {
    std::strcpy(Zeilenpuffer, "Shot!");
    Zustand_wechseln(2, 1);
    EXPECT_STREQ(Zeilenpuffer, "");
    headless::advance(200);
    EXPECT_EQ(Countdown(1200, 0, 0), -5);
    headless::advance(1);
    EXPECT_EQ(Countdown(1200, 0, 0), 4);
}

// Polls every millisecond and returns the offsets (from arming) at which the
// result changes.
std::vector<std::uint32_t> blink_wechsel(std::uint32_t start, std::uint32_t dauer) {
    headless::set_now(start);
    Blinktakt(1000, 1);
    std::vector<std::uint32_t> wechsel;
    bool alt = false;
    for (std::uint32_t ms = 0; ms <= dauer; ++ms) {
        headless::set_now(start + ms);
        const bool neu = Blinktakt(500, 0);
        if (neu != alt) {
            wechsel.push_back(ms);
            alt = neu;
        }
    }
    return wechsel;
}

TEST_F(AppTest, BlinkArmedWith1000AndPolledWith500) {
    // false 1000, true 1000, false 500, true 1000, false 500, ...
    const std::vector<std::uint32_t> erwartet = {1001, 2001, 2501, 3501, 4001, 5001, 5501};
    EXPECT_EQ(blink_wechsel(kT, 6000), erwartet);
    // The same rhythm across the wrap of the 32-bit tick count.
    EXPECT_EQ(blink_wechsel(0xFFFFFFFFu - 1500, 6000), erwartet);
}

TEST_F(AppTest, CountdownStepsAndStaysAtZero) {
    for (std::uint32_t start : {kT, 0xFFFFFFFFu - 3000}) {
        SCOPED_TRACE(start);
        headless::set_now(start);
        EXPECT_EQ(Countdown(200, 5, 1), 5);
        std::vector<std::int32_t> schritte;
        for (std::uint32_t ms = 1; ms <= 6000; ++ms) {
            headless::set_now(start + ms);
            const std::int32_t r = Countdown(1200, 0, 0);
            if (r >= 0) {
                schritte.push_back(r);
                if (r == 0) {
                    break;
                }
            } else {
                EXPECT_EQ(r, schritte.empty() ? -5 : -schritte.back());
            }
        }
        EXPECT_EQ(schritte, (std::vector<std::int32_t>{4, 3, 2, 1, 0}));
        headless::advance(100000);
        EXPECT_EQ(Countdown(1200, 0, 0), 0);
        EXPECT_EQ(Countdown(1200, 0, 0), 0);
    }
}

TEST_F(AppTest, SkyColourByHour) {
    const std::uint32_t farben[24] = {0x323140, 0x323140, 0x423E6C, 0x423E6C, 0x423E6C, 0x463CBA,
                                      0x463CBA, 0x463CBA, 0x2918E1, 0x2918E1, 0x2918E1, 0x2816EA,
                                      0x2816EA, 0x2816EA, 0x2918E1, 0x2918E1, 0x2918E1, 0x463CBA,
                                      0x463CBA, 0x463CBA, 0x423E6C, 0x423E6C, 0x423E6C, 0x323140};
    for (int h = 0; h < 24; ++h) {
        headless::set_local_hour(h);
        Himmelsfarbe_setzen();
        EXPECT_EQ(Himmelsfarbe, farben[h]) << h;
    }
}

TEST_F(AppTest, SkyColourIsChosenOnlyWhenTheMenuIsEntered) {
    headless::set_local_hour(12);
    Zustand_wechseln(1, 1);
    EXPECT_EQ(Himmelsfarbe, 0x2816EAu);
    key(VK_RETURN);  // Start Game
    Zustand_setzen(3);
    headless::set_local_hour(23);  // 23:59 during the round
    for (int i = 0; i < 5; ++i) {
        Durchlauf();
    }
    key(VK_SPACE);  // the next round keeps the colour too
    EXPECT_EQ(Himmelsfarbe, 0x2816EAu);
    Zustand_setzen(3);
    key(VK_ESCAPE);
    EXPECT_EQ(Spielzustand, 1);
    EXPECT_EQ(Himmelsfarbe, 0x323140u);
}

TEST_F(AppTest, QuitSoonAfterEnteringTheMenuWaitsOutFourSeconds) {
    for (std::uint32_t start : {kT, 0xFFFFFFFFu - 999}) {
        SCOPED_TRACE(start);
        DDraw_beenden();
        start_display(16);
        headless::set_now(start);
        Zustand_wechseln(1, 1);
        headless::advance(1500);
        Spiel_beenden();
        EXPECT_EQ(headless::now(), start + 4000);
        EXPECT_EQ(lpDD, nullptr);
        EXPECT_EQ(lpDDSHintergrund, nullptr);
    }
    // Quitting later ends at once.
    start_display(16);
    Zustand_wechseln(1, 1);
    headless::advance(4000);
    const std::uint32_t jetzt = headless::now();
    Spiel_beenden();
    EXPECT_EQ(headless::now(), jetzt);
}

TEST_F(AppTest, TitleKeys) {
    key(VK_F1);
    EXPECT_EQ(Spielzustand, 0);
    key(VK_SPACE);
    EXPECT_EQ(Spielzustand, 1);
    EXPECT_EQ(Hintergrund_neu, 1);

    Zustand_wechseln(0, 1);
    key(VK_ESCAPE);  // posts WM_CLOSE, taken at the next drain
    EXPECT_EQ(Spielzustand, 0);
    const std::uint64_t bilder = headless::frames_presented();
    Durchlauf();
    EXPECT_EQ(Spielzustand, 9);
    EXPECT_EQ(headless::frames_presented(), bilder);  // state 9 draws nothing
    EXPECT_EQ(Beendigungscode(true), 0);
}

TEST_F(AppTest, PassTimesAreCountedByTheStateWhoseRoutinesRan) {
    platform::stats::reset();
    platform::stats::enable();
    Zustand_wechseln(0, 0);
    for (int i = 0; i < 3; ++i) {
        Durchlauf();
    }
    Zustand_setzen(1);
    for (int i = 0; i < 2; ++i) {
        Durchlauf();
    }
    // The key is taken at the start of the next pass, which draws the quit
    // question.
    platform::post_message(Hauptfenster, WM_KEYDOWN, VK_ESCAPE, 0);
    for (int i = 0; i < 2; ++i) {
        Durchlauf();
    }
    platform::post_message(Hauptfenster, WM_CHAR, 'y', 0);
    Durchlauf();  // draws nothing: not counted
    EXPECT_EQ(Spielzustand, 9);
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    Laufzeiten_ausgeben(f);
    platform::stats::reset();
    std::rewind(f);
    std::string text;
    for (int c; (c = std::fgetc(f)) != EOF;) {
        text.push_back(static_cast<char>(c));
    }
    std::fclose(f);
    const auto passes = [&](const std::string& row) {
        const std::size_t at = text.find("\n" + row + " ");
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 15);
    };
    EXPECT_EQ(passes("title"), 3) << text;
    EXPECT_EQ(passes("menu"), 2) << text;
    EXPECT_EQ(passes("quit question"), 2) << text;
    EXPECT_EQ(passes("all"), 7) << text;
    EXPECT_NE(text.find("First frame (title) presented"), std::string::npos) << text;
}

TEST_F(AppTest, HeldUpCyclesTheMenuBackwards) {
    Zustand_wechseln(1, 1);
    std::vector<std::int32_t> folge = {Menuepunkt};
    for (int i = 0; i < 4; ++i) {
        key(VK_UP);
        folge.push_back(Menuepunkt);
    }
    EXPECT_EQ(folge, (std::vector<std::int32_t>{0, 3, 2, 1, 0}));
    key(VK_DOWN);
    key(VK_DOWN);
    key(VK_DOWN);
    EXPECT_EQ(Menuepunkt, 3);
    key(VK_DOWN);
    EXPECT_EQ(Menuepunkt, 0);
    EXPECT_EQ(Spielzustand, 1);
}

TEST_F(AppTest, MenuClicksHitRectanglesBordersIncluded) {
    Zustand_wechseln(1, 1);
    Menue_Trefferfelder[0] = {400, 90, 624, 130};
    Menue_Trefferfelder[1] = {360, 190, 664, 230};
    Menue_Trefferfelder[2] = {380, 290, 644, 330};
    Menue_Trefferfelder[3] = {410, 390, 614, 430};

    send(WM_MOUSEMOVE, 0, MAKELPARAM(700, 200));    // outside every rectangle
    send(WM_LBUTTONDOWN, 1, MAKELPARAM(500, 300));  // the click's own position is ignored
    EXPECT_EQ(Spielzustand, 1);
    EXPECT_EQ(Menuepunkt, 0);

    send(WM_MOUSEMOVE, 0, MAKELPARAM(664, 230));  // bottom-right corner of item 1
    send(WM_LBUTTONDOWN, 1, 0);
    EXPECT_EQ(Menuepunkt, 1);
    EXPECT_EQ(Spielzustand, 6);

    Zustand_wechseln(1, 1);
    send(WM_MOUSEMOVE, 0, MAKELPARAM(410, 390));  // top-left corner of Exit Game
    send(WM_LBUTTONDOWN, 1, 0);
    EXPECT_EQ(Menuepunkt, 3);
    EXPECT_EQ(Spielzustand, 8);
}

TEST_F(AppTest, MenuKeysActivateTheSelection) {
    struct Fall {
        std::int32_t punkt, zustand;
    };
    for (const Fall f : {Fall{0, 2}, Fall{1, 6}, Fall{2, 7}, Fall{3, 8}}) {
        Zustand_wechseln(1, 1);
        Menuepunkt = f.punkt;
        key(f.punkt % 2 == 0 ? VK_RETURN : VK_SPACE);
        EXPECT_EQ(Spielzustand, f.zustand) << f.punkt;
    }
    Zustand_wechseln(1, 1);
    key(VK_ESCAPE);
    EXPECT_EQ(Spielzustand, 8);
}

TEST_F(AppTest, MouseIsRecordedOnlyInMenuAndPlay) {
    send(WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(Maus_x, 1024);
    Zustand_setzen(3);
    send(WM_MOUSEMOVE, 0, MAKELPARAM(65535, 767));  // both words unsigned
    EXPECT_EQ(Maus_x, 65535);
    EXPECT_EQ(Maus_y, 767);
    Zustand_setzen(2);
    send(WM_MOUSEMOVE, 0, MAKELPARAM(1, 2));
    EXPECT_EQ(Maus_x, 65535);
}

TEST_F(AppTest, PlayKeys) {
    Zustand_wechseln(2, 1);
    Zustand_setzen(3);
    key(VK_LEFT);
    EXPECT_EQ(Scroll_x, -472);
    key(VK_RIGHT);
    key(VK_RIGHT);
    EXPECT_EQ(Scroll_x, -552);
    key(VK_F1);
    EXPECT_EQ(Debugmodus, 1);
    key(VK_F1);
    EXPECT_EQ(Debugmodus, 0);
    // Unlisted keys and characters are taken and do nothing.
    EXPECT_EQ(send(WM_KEYDOWN, 'A'), 0);
    EXPECT_EQ(send(WM_CHAR, 'y'), 0);
    EXPECT_EQ(Spielzustand, 3);

    Punkte = 300;
    key(VK_SPACE);  // a new round at once
    EXPECT_EQ(Spielzustand, 2);
    EXPECT_EQ(Runde, 2);
    EXPECT_EQ(Punkte, 0);
    EXPECT_EQ(Scroll_x, -512);
    EXPECT_EQ(Hintergrund_neu, 0);  // the landscape stays

    Zustand_setzen(3);
    key(VK_ESCAPE);
    EXPECT_EQ(Spielzustand, 1);
    EXPECT_EQ(Hintergrund_neu, 1);
}

TEST_F(AppTest, RoundIntroTakesNoInput) {
    Zustand_wechseln(2, 1);
    for (WPARAM vk : {VK_ESCAPE, VK_SPACE, VK_RETURN, VK_F1}) {
        key(vk);
    }
    zeichen('n');
    send(WM_LBUTTONDOWN);
    EXPECT_EQ(Spielzustand, 2);
    EXPECT_EQ(Debugmodus, 0);
    send(WM_CLOSE);
    EXPECT_EQ(Spielzustand, 9);
}

TEST_F(AppTest, NameEntryEnterStoresMonkeyForAnEmptyName) {
    Zustand_setzen(4);
    key(VK_RETURN);  // only characters count here
    EXPECT_EQ(Spielzustand, 4);
    zeichen('\r');
    EXPECT_EQ(Spielzustand, 5);
    EXPECT_STREQ(Spielername, "Monkey");

    Zustand_setzen(4);
    std::strcpy(Spielername, "Ann");
    zeichen('\r');
    EXPECT_STREQ(Spielername, "Ann");
}

TEST_F(AppTest, GameOverTakesOnlySmallLetters) {
    Zustand_wechseln(2, 1);
    Zustand_setzen(5);
    for (char c : {'J', 'Y', 'N', 'z', '\r'}) {
        zeichen(c);
        EXPECT_EQ(Spielzustand, 5) << c;
    }
    key(VK_ESCAPE);
    EXPECT_EQ(Spielzustand, 5);
    zeichen('y');
    EXPECT_EQ(Spielzustand, 2);
    EXPECT_EQ(Runde, 2);
    EXPECT_EQ(Hintergrund_neu, 0);

    Zustand_setzen(5);
    zeichen('j');
    EXPECT_EQ(Runde, 3);
    Zustand_setzen(5);
    zeichen('n');
    EXPECT_EQ(Spielzustand, 1);
    EXPECT_EQ(Hintergrund_neu, 1);
}

TEST_F(AppTest, QuitQuestionTakesZAsYes) {
    for (char ja : {'j', 'y', 'z'}) {
        Zustand_setzen(8);
        zeichen('Z');
        zeichen('Y');
        EXPECT_EQ(Spielzustand, 8);
        zeichen(ja);
        EXPECT_EQ(Spielzustand, 9) << ja;
    }
    Zustand_setzen(8);
    zeichen('n');
    EXPECT_EQ(Spielzustand, 1);
    EXPECT_EQ(Hintergrund_neu, 0);
    Zustand_setzen(8);
    key(VK_ESCAPE);
    EXPECT_EQ(Spielzustand, 1);
}

TEST_F(AppTest, TableAndCreditsReturnToTheMenu) {
    for (std::int32_t zustand : {6, 7}) {
        for (WPARAM vk : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
            Zustand_wechseln(zustand, 1);
            key(VK_LEFT);
            EXPECT_EQ(Spielzustand, zustand);
            key(vk);
            EXPECT_EQ(Spielzustand, 1);
            EXPECT_EQ(Hintergrund_neu, 1);
        }
    }
}

TEST_F(AppTest, CloseAndDestroyEndEveryScreen) {
    for (std::int32_t zustand = 0; zustand <= 8; ++zustand) {
        Zustand_setzen(zustand);
        EXPECT_EQ(send(zustand % 2 == 0 ? WM_CLOSE : WM_DESTROY), 0);
        EXPECT_EQ(Spielzustand, 9) << zustand;
    }
    // WM_DESTROY posted WM_QUIT; in state 9 it goes to the default handling.
    Nachrichten_abholen();
    EXPECT_EQ(Letzte_Nachricht, WM_QUIT);
    EXPECT_EQ(Beendigungscode(true), 0);
    EXPECT_EQ(Beendigungscode(false), 1);
}

TEST_F(AppTest, PointsAndDigits) {
    const RECT r{10, 20, 30, 40};
    EXPECT_TRUE(Punkt_in_Rechteck(10, 20, r));
    EXPECT_TRUE(Punkt_in_Rechteck(30, 40, r));
    EXPECT_FALSE(Punkt_in_Rechteck(9, 30, r));
    EXPECT_FALSE(Punkt_in_Rechteck(31, 30, r));
    EXPECT_FALSE(Punkt_in_Rechteck(20, 41, r));
    EXPECT_FALSE(Punkt_in_Rechteck(20, 19, r));
    EXPECT_EQ(Ziffer_lesen('1'), 1);
    EXPECT_EQ(Ziffer_lesen('9'), 9);
    for (char c : {'0', 'a', ' ', '\xB9'}) {
        EXPECT_EQ(Ziffer_lesen(c), 0) << int(c);
    }
    RECT s;
    EXPECT_EQ(Rechteck_setzen(&s, 1, 2, 3, 4), &s);
    EXPECT_EQ(s.left, 1);
    EXPECT_EQ(s.top, 2);
    EXPECT_EQ(s.right, 4);
    EXPECT_EQ(s.bottom, 3);
}

TEST_F(AppTest, PlayPassesLastAtLeast25Ms) {
    for (std::uint32_t bild : {0u, 16u, 40u}) {
        headless::set_frame_ms(bild);
        Zustand_wechseln(2, 0);
        Zustand_setzen(3);
        const std::uint32_t vorher = headless::now();
        Durchlauf();
        EXPECT_EQ(headless::now() - vorher, std::max(25u, bild)) << bild;
    }
    // Outside play only the flip paces.
    headless::set_frame_ms(16);
    Zustand_wechseln(1, 0);
    const std::uint32_t vorher = headless::now();
    Durchlauf();
    EXPECT_EQ(headless::now() - vorher, 16u);
}

}  // namespace
