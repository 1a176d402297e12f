// The targets: the catalogue and the slots, launching, movement and the
// view, shooting and scoring, on a virtual clock and a seeded generator. A
// model written from the rules follows the game draw by draw.
#include "game/game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/spiel.h"
#include "app/start.h"
#include "audio/audio.h"
#include "core/tabellen.h"
#include "gfx/bilder.h"
#include "gfx/ddraw.h"
#include "pack/packfile.h"
#include "platform/headless/audio.h"
#include "platform/system.h"
#include "screens/screens.h"
#include "support/fixture.h"
#include "support/game_data.h"
#include "support/sound_support.h"

using namespace bramble_test;
namespace headless = platform::headless;

namespace {

// The generator as the rules define it, kept apart from the game's.
struct Lcg {
    std::uint32_t s;
    std::int32_t operator()() {
        s = s * 214013u + 2531011u;
        return static_cast<std::int32_t>((s >> 16) & 0x7FFF);
    }
};

// The first seed whose draws satisfy the condition.
std::uint32_t saat(const std::function<bool(Lcg&)>& passt) {
    for (std::uint32_t s = 1;; ++s) {
        Lcg g{s};
        if (passt(g)) {
            return s;
        }
    }
}

// The catalogue as the rules give it: picture size, hit area (left, top,
// right, bottom) and layer of each slot.
struct Art {
    int w, h, l, t, r, b, ebene;
};
constexpr Art kArt[5] = {{48, 32, 0, 0, 48, 32, 1},
                         {96, 64, 0, 0, 96, 64, 0},
                         {200, 112, 0, 0, 200, 112, 0},
                         {160, 192, 0, 50, 160, 192, 0},
                         {152, 88, 75, 14, 100, 60, 1}};
constexpr int kTypVonSlot[11] = {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 4};
constexpr int kVerstecke[8][2] = {{264, 329}, {519, 401},  {587, 453},  {669, 456},
                                  {970, 321}, {1196, 464}, {1531, 342}, {1750, 404}};

std::vector<std::pair<bool, std::uint32_t>> g_zuege;
void zug_merken(bool gesaet, std::uint32_t wert) {
    g_zuege.emplace_back(gesaet, wert);
}

struct Ohr : headless::Observer {
    std::vector<std::pair<int, int>> klaenge;  // item, pan
    void on_sound(int item, int pan, int) override { klaenge.emplace_back(item, pan); }
    std::vector<int> items() const {
        std::vector<int> v;
        for (const auto& k : klaenge) {
            v.push_back(k.first);
        }
        return v;
    }
};

class GameTest : public HeadlessTest {
   protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        headless::audio_reset();
        ordner_ = scratch_dir("game");
        ASSERT_TRUE(write_game_data(ordner_));
        im_ordner_ = std::make_unique<InDirectory>(ordner_);
        ASSERT_EQ(PackFile_oeffnen("Grafik.dat", &Grafik_Verzeichnis, kGrafikKey), 0);
        ASSERT_EQ(PackFile_oeffnen("Sound.dat", &Sound_Verzeichnis, kSoundKey), 0);
        start_display(16);
        ASSERT_EQ(DSound_starten(), 0);
        Sprites_laden();
        ASSERT_TRUE(headless::boxes().empty());
        Verstecke_setzen();
        Scroll_x = -512;
        Maus_x = 512;
        Punkte = Kills = Lose = Letzter_Gewinn = 0;
        Gewinnzeit = 0;
        Patronen = 6;
        Highscore = 1000000;  // the pop-up figure is the round clock's business
        headless::set_observer(&ohr_);
    }
    void TearDown() override {
        Zufall_Beobachter = nullptr;
        headless::set_observer(nullptr);
        DSound_beenden();
        im_ordner_.reset();
        HeadlessTest::TearDown();
    }

    // Every slot out of play with a wait that never ends.
    static void alle_parken() {
        for (Objekt& o : Objekte) {
            o.Zus = Zus::Weg;
            o.Startzeit = platform::tick_count();
            o.Dauer = 0xFFFFFFFFu;
        }
    }
    // A slot in play at (x, y), plain speed, no course change due, its hit
    // rectangle where the step would put it.
    static Objekt& setzen(int slot, int x, int y, int rich, int zus = Zus::Im_Spiel) {
        Objekt& o = Objekte[slot];
        o.x = x;
        o.y = y;
        o.Rich = rich;
        o.Zus = zus;
        o.dx = o.dy = o.Phase = 0;
        o.bewegt = 1;
        o.Startzeit = platform::tick_count();
        o.Dauer = 0xFFFFFFFFu;
        o.L = x + o.Sprite.Links;
        o.R = x + o.Sprite.Rechts;
        o.T = y + o.Sprite.Oben;
        o.B = y + o.Sprite.Unten;
        return o;
    }
    static void pass(std::uint32_t ms = 25) {
        headless::advance(ms);
        Objekte_bewegen();
    }

    std::string ordner_;
    std::unique_ptr<InDirectory> im_ordner_;
    Ohr ohr_;
};

// --- catalogue and launching ---------------------------------------------------

TEST_F(GameTest, CatalogueLoadsFramesMirrorsFlyersAndBindsTheSlots) {
    const int erste[5] = {5, 6, 4, 25, 34};
    const int abstand[5] = {3, 3, 3, 1, 1};
    const int getroffen[5] = {17, 18, 16, 29, 0};
    for (int t = 0; t < 5; ++t) {
        SCOPED_TRACE(t);
        const Sprite& s = Sprite_Vorlagen[t];
        const Art& a = kArt[t];
        EXPECT_EQ(s.Typ, t);
        EXPECT_EQ((std::vector<int>{s.Breite, s.Hoehe, s.Bildanzahl}),
                  (std::vector<int>{a.w, a.h, 5}));
        EXPECT_EQ((std::vector<int>{s.Links, s.Oben, s.Rechts, s.Unten}),
                  (std::vector<int>{a.l, a.t, a.r, a.b}));
        for (int i = 0; i < 5; ++i) {
            const int bild = i == 4 ? getroffen[t] : erste[t] + i * abstand[t];
            const auto farbe =
                static_cast<std::uint32_t>(Farbe_16Bit(palette_colour(picture_colour_index(bild))));
            EXPECT_EQ(s.Bilder[i]->pixel(a.w / 2, a.h / 2), farbe) << i;
            // The placeholder frames are symmetric: a made mirror equals the frame.
            EXPECT_EQ(s.Spiegelbilder[i]->pixel(a.w / 2, a.h / 2) == farbe, t < 3) << i;
        }
    }
    for (int slot = 0; slot < 11; ++slot) {
        const Objekt& o = Objekte[slot];
        const int t = kTypVonSlot[slot];
        EXPECT_EQ(o.Sprite.Typ, t);
        EXPECT_EQ(o.Ebene, kArt[t].ebene) << slot;
        EXPECT_EQ(o.animiert, 1);
        EXPECT_EQ(o.Sprite.Unten, kArt[t].b);
        EXPECT_EQ(o.Sprite.Bilder[4], Sprite_Vorlagen[t].Bilder[4]);
        EXPECT_EQ(o.Sprite.Spiegelbilder[0], Sprite_Vorlagen[t].Spiegelbilder[0]);
    }
}

TEST_F(GameTest, FlyerLaunchEdges) {
    struct Fall {
        const char* name;
        std::function<bool(Lcg&)> passt;
        int x, blick, rich_von, rich_bis;
        bool von_oben;
    };
    const auto oben = [](int x, int muenze) {
        return [x, muenze](Lcg& g) {
            const int e = g() % 4;
            return (e == 0 || e == 3) && g() % 2048 == x && (muenze < 0 || g() % 2 == muenze);
        };
    };
    const Fall faelle[] = {
        {"right", [](Lcg& g) { return g() % 4 == 2; }, 2258, 1, 11, 13, false},
        {"left", [](Lcg& g) { return g() % 4 == 1; }, -210, 0, 3, 5, false},
        {"top 682", oben(682, -1), 682, 0, 5, 7, true},
        {"top 683 heads right", oben(683, 1), 683, 0, 5, 7, true},
        {"top 1364 heads left", oben(1364, 0), 1364, 1, 9, 11, true},
        {"top 1365", oben(1365, -1), 1365, 1, 9, 11, true},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        Zufall_saeen(saat(f.passt));
        Blickrichtung_setzen(6, 0);
        Flieger_starten(6);
        const Objekt& o = Objekte[6];
        EXPECT_EQ(o.x, f.x);
        EXPECT_EQ(o.Sprite.Blickrichtung, f.blick);
        EXPECT_GE(o.Rich, f.rich_von);
        EXPECT_LE(o.Rich, f.rich_bis);
        if (f.von_oben) {
            EXPECT_EQ(o.y, -112);
        } else {
            EXPECT_TRUE(o.y >= -112 && o.y <= 539 - 112) << o.y;
        }
        EXPECT_EQ(o.Zus, Zus::Im_Spiel);
    }
}

TEST_F(GameTest, FacingSwapsTheFrameSetsAndBackAgain) {
    Sprite& s = Objekte[3].Sprite;
    Blickrichtung_setzen(3, 0);
    const Surface* bild = s.Bilder[2];
    const Surface* spiegel = s.Spiegelbilder[2];
    Blickrichtung_setzen(3, 0);
    EXPECT_EQ(s.Bilder[2], bild);
    Blickrichtung_setzen(3, 1);
    EXPECT_EQ(s.Bilder[2], spiegel);
    EXPECT_EQ(s.Spiegelbilder[2], bild);
    EXPECT_EQ(s.Blickrichtung, 1);
    Blickrichtung_setzen(3, 0);
    EXPECT_EQ(s.Bilder[2], bild);
    EXPECT_EQ(s.Spiegelbilder[2], spiegel);
}

TEST_F(GameTest, RoundStartsFlyersAndHidesRiserAndPeekerForTheirWait) {
    const std::uint32_t start = platform::tick_count();
    Runde_vorbereiten();
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(Objekte[i].Zus, Zus::Im_Spiel);
        EXPECT_EQ(Objekte[i].Startzeit, start);
        EXPECT_TRUE(Objekte[i].Dauer >= 100 && Objekte[i].Dauer <= 2099);
        EXPECT_EQ(Objekte[i].Sprite.Zykluslaenge, 4);
    }
    EXPECT_GE(Objekte[9].Dauer, 20000u);
    EXPECT_TRUE(Objekte[10].Dauer >= 10000 && Objekte[10].Dauer < 30000);
    // Not within the first 20 seconds, whatever the draw.
    while (platform::tick_count() - start < 20000 - 25) {
        pass();
        EXPECT_EQ(Objekte[9].Zus, Zus::Entkommen);
        EXPECT_EQ(Objekte[9].aktiv, 1);
    }
}

TEST_F(GameTest, RiserAndPeekerRisePauseSinkAndCountOnce) {
    struct Fall {
        int slot;
        int start_x, start_y, oben, pause, ende;
    };
    // The peeker at hiding place 4: 88 below it, up to 3 above it.
    // The last step is made in the pass that takes it out of play.
    const Fall faelle[] = {{9, -1, 769, 580, 800, 790}, {10, 970, 409, 318, 1400, 787}};
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.slot);
        alle_parken();
        Lose = 0;
        ohr_.klaenge.clear();
        Zufall_saeen(saat([](Lcg& g) { return g() % 8 == 4; }));
        Objekte[f.slot].Zus = Zus::Entkommen;
        Objekte[f.slot].Dauer = 0;
        pass();  // the wait is over: relaunched with its sound, not moved
        const Objekt& o = Objekte[f.slot];
        ASSERT_EQ(o.Zus, Zus::Im_Spiel);
        EXPECT_EQ(o.y, f.start_y);
        if (f.start_x >= 0) {
            EXPECT_EQ(o.x, f.start_x);
        }
        EXPECT_EQ(ohr_.items(), std::vector<int>{f.slot == 9 ? 11 : 8});
        int hoch = 0;
        while (o.bewegt != 0) {
            pass();
            ++hoch;
        }
        EXPECT_EQ(o.y, f.oben);
        EXPECT_EQ(hoch, (f.start_y - f.oben) / 7 + 1);
        const std::uint32_t halt = platform::tick_count();
        while (platform::tick_count() - halt < static_cast<std::uint32_t>(f.pause)) {
            pass(1);
            ASSERT_EQ(o.y, f.oben);
        }
        pass(1);
        EXPECT_EQ(o.y, f.oben + 7);
        while (o.Zus == Zus::Im_Spiel) {
            pass();
        }
        EXPECT_EQ(o.Zus, Zus::Entkommen);
        EXPECT_EQ(o.y, f.ende);
        EXPECT_EQ(Lose, 1);
    }
}

// --- movement and the view ----------------------------------------------------

TEST_F(GameTest, EdgeScrollingThresholdsAndLimits) {
    struct Fall {
        int maus, vorher, nachher;
    };
    const Fall faelle[] = {{8, -512, -462},      {9, -512, -492},     {64, -512, -492},
                           {65, -512, -512},     {959, -512, -512},   {960, -512, -532},
                           {1016, -512, -562},   {0, -30, 0},         {0, 0, 0},
                           {1023, -1000, -1024}, {1023, -1024, -1024}};
    alle_parken();
    for (const Fall& f : faelle) {
        Maus_x = f.maus;
        Scroll_x = f.vorher;
        pass();
        EXPECT_EQ(Scroll_x, f.nachher) << f.maus << " from " << f.vorher;
    }
    Ansicht_scrollen(0, 0);
    EXPECT_EQ((std::vector<int>{Scroll_x, Maus_x, Maus_y}), (std::vector<int>{-512, 512, 384}));
}

TEST_F(GameTest, OneStepDrawsWhereTheSlotWasAndMovesBySpeed) {
    alle_parken();
    struct Fall {
        int rich, dx, dy, schritt_x, schritt_y;
    };
    const Fall faelle[] = {{4, 0, 0, 2, 0}, {0, 0, 0, 0, -1}, {10, 3, 2, -7, 5}, {2, 1, 1, 5, -4}};
    for (const Fall& f : faelle) {
        Objekt& o = setzen(4, 1000, 300, f.rich);
        o.dx = f.dx;
        o.dy = f.dy;
        pass();
        EXPECT_EQ(o.Sprite.x, 1000 + Scroll_x);
        EXPECT_EQ(o.Sprite.y, 300);
        EXPECT_EQ(o.x - 1000, f.schritt_x) << f.rich;
        EXPECT_EQ(o.y - 300, f.schritt_y) << f.rich;
    }
}

TEST_F(GameTest, FlyerEdges) {
    struct Fall {
        const char* name;
        int slot, zus, x, y, rich;
        int zus_danach, lose;
        int rich_von, rich_bis;  // the heading after the decision
    };
    const Fall faelle[] = {
        {"small flyer at 480 heading level", 0, 0, -58, 480, 4, Zus::Weg, 0, 4, 4},
        {"small flyer at 451 bounces", 0, 0, 500, 451, 6, 0, 0, 1, 3},
        {"medium flyer at 551 bounces", 3, 0, 500, 551, 10, 0, 0, 13, 15},
        {"shot flyer at 768 falls on", 3, 1, 500, 768, 8, 1, 0, 8, 8},
        {"shot flyer at 769 is gone", 3, 1, 500, 769, 8, Zus::Weg, 0, 8, 8},
        {"beyond the right, coming in", 6, 0, 2249, 200, 9, 0, 0, 9, 9},
        {"beyond the right, heading right", 6, 0, 2249, 200, 4, Zus::Entkommen, 1, 4, 4},
        {"beyond the right, heading down", 6, 0, 2249, 200, 8, Zus::Entkommen, 1, 8, 8},
        {"beyond the left, coming in", 6, 0, -201, 200, 7, 0, 0, 7, 7},
        {"beyond the left, heading left", 6, 0, -201, 200, 13, Zus::Entkommen, 1, 13, 13},
        {"beyond the left, shot", 6, 1, -201, 200, 8, Zus::Weg, 0, 8, 8},
        {"above the top turns down", 6, 0, 500, -1, 2, 0, 0, 5, 7},
        {"above the top heading up", 6, 0, 500, -1, 0, Zus::Entkommen, 1, 0, 0},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        alle_parken();
        Lose = 0;
        setzen(f.slot, f.x, f.y, f.rich, f.zus);
        Flieger_Grenzen(f.slot);
        const Objekt& o = Objekte[f.slot];
        EXPECT_EQ(o.Zus, f.zus_danach);
        EXPECT_EQ(Lose, f.lose);
        EXPECT_GE(o.Rich, f.rich_von);
        EXPECT_LE(o.Rich, f.rich_bis);
    }
    // A shot flyer falls out without counting.
    alle_parken();
    Lose = 0;
    Objekt& o = setzen(4, 700, 300, 8, Zus::Getroffen);
    o.dy = 4;
    while (o.Zus == Zus::Getroffen) {
        pass();
    }
    EXPECT_EQ(o.Zus, Zus::Weg);
    EXPECT_GT(o.y - 5, 768);
    EXPECT_EQ(Lose, 0);
}

// --- shooting -------------------------------------------------------------------

TEST_F(GameTest, ShotsAreRefusedWhileTheShotOrTheReloadSounds) {
    alle_parken();
    Schuss_abgeben(500, 300);
    EXPECT_EQ(Patronen, 5);
    Schuss_abgeben(500, 300);  // the shot still sounds: ignored, no click
    EXPECT_EQ(Patronen, 5);
    EXPECT_EQ(ohr_.items(), (std::vector<int>{16}));
    headless::advance(150);
    Schuss_abgeben(500, 300);
    EXPECT_EQ(Patronen, 4);
    headless::advance(150);
    Nachladen();
    EXPECT_EQ(Patronen, 6);
    Schuss_abgeben(500, 300);  // reloading: no shell used
    EXPECT_EQ(Patronen, 6);
    headless::advance(300);
    Patronen = 0;
    Schuss_abgeben(500, 300);
    EXPECT_EQ(Patronen, 0);
    // The last shell, then at once the trigger again: not even the click.
    Patronen = 1;
    headless::advance(150);
    Schuss_abgeben(500, 300);
    Schuss_abgeben(500, 300);
    EXPECT_EQ(Patronen, 0);
    EXPECT_EQ(ohr_.items(), (std::vector<int>{16, 16, 15, 3, 16}));
}

TEST_F(GameTest, HitTestBordersAndTheHorizon) {
    struct Fall {
        const char* name;
        int slot, x, y;        // the target's place
        int klick_x, klick_y;  // screen, with Scroll_x -512
        bool getroffen;
    };
    const Fall faelle[] = {
        {"right edge", 4, 1000, 300, 1096 - 512, 330, true},
        {"bottom edge", 4, 1000, 300, 1050 - 512, 364, true},
        {"past the right edge", 4, 1000, 300, 1097 - 512, 330, false},
        {"past the bottom edge", 4, 1000, 300, 1050 - 512, 365, false},
        {"layer 0 below the horizon", 4, 680, 500, 700 - 512, 520, true},
        {"layer 1 below the horizon", 0, 680, 500, 700 - 512, 520, false},
        {"layer 1 just on the horizon", 0, 680, 500, 700 - 512, 515, true},
        {"layer 1 on a point of the line", 0, 700, 560, 720 - 512, 590, true},
        {"peeker above its hit area", 10, 600, 300, 680 - 512, 313, false},
        {"peeker in its hit area", 10, 600, 300, 700 - 512, 314, true},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        alle_parken();
        headless::advance(500);
        Scroll_x = -512;
        Kills = 0;
        Patronen = 6;
        setzen(f.slot, f.x, f.y, 4);
        Schuss_abgeben(f.klick_x, f.klick_y);
        EXPECT_EQ(Kills, f.getroffen ? 1 : 0);
        EXPECT_EQ(Objekte[f.slot].Zus, f.getroffen ? Zus::Getroffen : Zus::Im_Spiel);
    }
}

TEST_F(GameTest, HorizonLineIsAStepFunctionOpenAtItsPoints) {
    struct Fall {
        int x, y;
        bool dahinter;
    };
    const Fall faelle[] = {{1, 476, true},    {1, 475, false},    {0, 999, false},
                           {-5, 999, false},  {700, 516, true},   {718, 999, false},
                           {719, 536, true},  {1230, 551, true},  {1230, 550, false},
                           {2049, 485, true}, {2050, 999, false}, {2051, 999, false}};
    for (const Fall& f : faelle) {
        EXPECT_EQ(Hinter_Horizont(f.x, f.y), f.dahinter) << f.x << "," << f.y;
    }
}

TEST_F(GameTest, ScoringByKindWithTheMultiHitBonus) {
    struct Fall {
        int anzahl;  // slots 0 to anzahl - 1 under the crosshair
        int gewinn;
        std::vector<int> klaenge;
    };
    const Fall faelle[] = {
        {2, 35 + 35 + 25, {16, 9, 9, 13}},
        {3, 105 + 50, {16, 9, 9, 9, 0}},
        {4, 125 + 100, {16, 9, 9, 9, 9, 10}},
        {11, 370, {16, 9, 9, 9, 9, 9, 9, 9, 9, 9, 7, 1}},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.anzahl);
        alle_parken();
        headless::advance(500);
        Punkte = Kills = 0;
        Patronen = 6;
        ohr_.klaenge.clear();
        for (int j = 0; j < f.anzahl; ++j) {
            Objekt& o = setzen(j, 900, 100, 4);
            o.L = 1000, o.R = 1000, o.T = 100, o.B = 100;
        }
        Schuss_abgeben(1000 - 512, 100);
        EXPECT_EQ(Punkte, f.gewinn);
        EXPECT_EQ(Letzter_Gewinn, f.gewinn);
        EXPECT_EQ(Gewinnzeit, platform::tick_count());
        EXPECT_EQ(Kills, f.anzahl);
        EXPECT_EQ(ohr_.items(), f.klaenge);
    }
    // A small and a medium flyer: 35 + 20 + 25; each falls with its hit picture.
    alle_parken();
    headless::advance(500);
    Punkte = Kills = 0;
    Patronen = 6;
    ohr_.klaenge.clear();
    setzen(1, 1000, 200, 4);
    setzen(5, 990, 190, 12);
    Schuss_abgeben(1020 - 512, 210);
    EXPECT_EQ(Punkte, 80);
    EXPECT_EQ(Kills, 2);
    EXPECT_EQ(ohr_.items(), (std::vector<int>{16, 9, 9, 13}));
    for (int slot : {1, 5}) {
        const Objekt& o = Objekte[slot];
        EXPECT_EQ((std::vector<int>{o.Zus, o.Rich, o.animiert, o.bewegt, o.Sprite.Bild, o.dy}),
                  (std::vector<int>{1, 8, 0, 1, 4, slot == 1 ? 2 : 4}));
    }
    // A miss costs a shell and leaves the last gain and its time.
    headless::advance(500);
    const std::uint32_t zeit = Gewinnzeit;
    Schuss_abgeben(1020 - 512, 210);
    EXPECT_EQ(Letzter_Gewinn, 80);
    EXPECT_EQ(Gewinnzeit, zeit);
    EXPECT_EQ(Patronen, 4);
}

TEST_F(GameTest, SoundsArePannedByTheTargetsPlaceOnScreen) {
    struct Fall {
        int scroll, x;  // x of a medium flyer (96 wide)
        int pan;
    };
    // Centred on the screen's left edge -5120; the picture's left edge there
    // (the centre 48 further right) -4640.
    const Fall faelle[] = {{-512, 512 - 48, -5120}, {0, -48, -5120},    {-512, 512, -4640},
                           {-512, 1024 - 48, 0},    {-512, 1488, 5120}, {-1024, 0, -10000},
                           {0, 1600, 10000}};
    for (const Fall& f : faelle) {
        Scroll_x = f.scroll;
        ohr_.klaenge.clear();
        Objekte[3].x = f.x;
        Objektgeraeusch(3, Klang::Flieger_getroffen);
        ASSERT_EQ(ohr_.klaenge.size(), 1u);
        EXPECT_EQ(ohr_.klaenge[0].second, f.pan) << f.scroll << " " << f.x;
    }
}

TEST_F(GameTest, ImpactShowsAt125MsAtTheClickNotAfter) {
    ASSERT_EQ(DDraw_Offscreen_anlegen(&lpDDSEinschuss, 96, 96, 1), 0);
    ASSERT_EQ(
        PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, Bild::Einschuss, lpDDSEinschuss), 0);
    const auto farbe = static_cast<std::uint32_t>(
        Farbe_16Bit(palette_colour(picture_colour_index(Bild::Einschuss))));
    Einschlag_merken(300, 200);
    Scroll_x = -100;  // it does not scroll with the view
    for (std::uint32_t nach : {124u, 1u}) {
        headless::advance(nach);
        DDraw_Puffer_leeren(lpDDSBack, 0);
        Einschlag_zeichnen();
        EXPECT_EQ(lpDDSBack->pixel(300, 200), nach == 124 ? farbe : 0u);
        EXPECT_EQ(lpDDSBack->pixel(300 - 48 + 20, 200 - 48 + 20), nach == 124 ? farbe : 0u);
    }
}

// --- the order of draws ----------------------------------------------------------

// The targets once more, written from the rules and not from the game's code:
// where each decision seeds and draws, so that the game's sequence of draws
// and its slots can be compared pass by pass.
class Modell {
   public:
    struct Ziel {
        int typ = 0;
        std::int32_t x = 0, y = 0, dx = 0, dy = 0, zus = 0, rich = 0, phase = 0;
        std::uint32_t start = 0, dauer = 0;
        bool bewegt = false;
        int blick = 0;
        std::int32_t L = 0, R = 0, T = 0, B = 0;
    };
    std::array<Ziel, 11> z;
    std::vector<std::pair<bool, std::uint32_t>> zuege;
    std::uint32_t jetzt = 0;
    std::int32_t scroll = -512, lose = 0, kills = 0, punkte = 0, versteck = 0;
    int wiederkehr[5] = {};  // relaunches by kind

    Modell() {
        for (int i = 0; i < 11; ++i) {
            z[i].typ = kTypVonSlot[i];
        }
    }
    void saeen(std::uint32_t s) {
        lcg_.s = s;
        zuege.emplace_back(true, s);
    }
    std::int32_t r() {
        const std::int32_t v = lcg_();
        zuege.emplace_back(false, static_cast<std::uint32_t>(v));
        return v;
    }

    void runde() {
        for (int i = 0; i < 11; ++i) {
            Ziel& t = z[i];
            if (t.typ <= 2) {
                flieger(t);
                t.dauer = 100 + r() % 2000;
            } else if (t.typ == 3) {
                aufsteiger(t, 2);
                warten(t);
            } else {
                lauerer(t, 2);
                warten(t);
            }
            t.start = jetzt;
        }
    }

    void schritt(std::int32_t maus) {
        if (maus <= 8) {
            scroll = std::min(scroll + 50, 0);
        } else if (maus >= 1016) {
            scroll = std::max(scroll - 50, -1024);
        } else if (maus <= 64) {
            scroll = std::min(scroll + 20, 0);
        } else if (maus >= 960) {
            scroll = std::max(scroll - 20, -1024);
        }
        for (Ziel& t : z) {
            const Art& a = kArt[t.typ];
            if (t.zus >= 2) {
                if (jetzt - t.start >= t.dauer) {
                    ++wiederkehr[t.typ];
                    if (t.typ <= 2) {
                        flieger(t);
                    } else if (t.typ == 3) {
                        aufsteiger(t, 0);
                    } else {
                        lauerer(t, 0);
                    }
                }
                continue;
            }
            if (t.zus == 0) {
                rechteck(t);
            }
            if (t.typ <= 2) {
                kurs(t);
                grenzen(t, a);
            } else {
                if (t.phase == 1 && jetzt - t.start > t.dauer) {
                    t.rich = 8, t.phase = 2, t.bewegt = true;
                }
                auf_ab(t, t.typ == 3 ? 774 - a.h : kVerstecke[versteck][1],
                       t.typ == 3 ? 800 : 1400);
            }
            if (t.bewegt) {
                const std::int32_t a_ = t.dx, b = t.dy;
                const std::int32_t tabelle[16][2] = {
                    {0, -(b + 1)},        {a_ + 1, -(b + 3)},    {a_ + 4, -(b + 3)},
                    {a_ + 3, -(b + 1)},   {a_ + 2, 0},           {a_ + 3, b + 1},
                    {a_ + 4, b + 3},      {a_ + 1, b + 3},       {0, b + 1},
                    {-(a_ + 1), b + 3},   {-(a_ + 4), b + 3},    {-(a_ + 3), b + 1},
                    {-(a_ + 2), 0},       {-(a_ + 3), -(b + 1)}, {-(a_ + 4), -(b + 3)},
                    {-(a_ + 1), -(b + 3)}};
                t.x += tabelle[t.rich][0];
                t.y += tabelle[t.rich][1];
            }
        }
    }

    void schuss(std::int32_t mx, std::int32_t my) {
        const std::int32_t wx = mx - scroll;
        const int punkte_je[5] = {35, 20, 10, 75, 100};
        int treffer = 0, gewinn = 0;
        for (Ziel& t : z) {
            if (t.zus != 0 || wx < t.L || wx > t.R || my < t.T || my > t.B ||
                (kArt[t.typ].ebene == 1 && verdeckt(wx, my))) {
                continue;
            }
            ++treffer;
            gewinn += punkte_je[t.typ];
            t.zus = 1, t.rich = 8, t.bewegt = true;
            t.dy = t.typ == 0 ? 2 : t.typ == 1 ? 4 : 6;
        }
        gewinn += treffer == 2 ? 25 : treffer == 3 ? 50 : treffer >= 4 && treffer <= 9 ? 100 : 0;
        kills += treffer;
        punkte += gewinn;
    }

   private:
    static void rechteck(Ziel& t) {
        const Art& a = kArt[t.typ];
        t.L = t.x + a.l, t.R = t.x + a.r, t.T = t.y + a.t, t.B = t.y + a.b;
    }
    static bool verdeckt(std::int32_t wx, std::int32_t y) {
        for (int i = 0; i < 82; ++i) {
            if (Horizontlinie[i].x < wx && wx < Horizontlinie[i + 1].x) {
                return y > Horizontlinie[i].y;
            }
        }
        return false;
    }
    void flieger(Ziel& t) {
        const Art& a = kArt[t.typ];
        const int e = r() % 4;
        if (e == 1 || e == 2) {
            t.blick = e == 1 ? 0 : 1;
            t.x = e == 1 ? -10 - a.w : a.w + 2058;
            const int k = r() % 6;
            if (e == 1) {
                t.rich = k == 1 ? 3 : k == 2 ? 5 : 4;
            } else {
                t.rich = k == 1 ? 13 : k == 2 ? 11 : 12;
            }
            t.y = r() % 540 - a.h;
        } else {
            t.x = r() % 2048;
            bool rechts = t.x <= 682;
            if (t.x > 682 && t.x <= 1364) {
                rechts = r() % 2 == 1;
            }
            t.blick = rechts ? 0 : 1;
            t.rich = rechts ? 5 + r() % 3 : 9 + r() % 3;
            t.y = -a.h;
        }
        const int dx_bis = t.typ == 0 ? 3 : t.typ == 2 ? 8 : 5;
        const int dy_bis = t.typ == 0 ? 2 : t.typ == 2 ? 6 : 4;
        t.dx = r() % dx_bis;
        t.dy = r() % dy_bis;
        t.zus = 0, t.bewegt = true;
        t.start += 1000;
    }
    void aufsteiger(Ziel& t, int zus) {
        t.x = r() % (2048 - 160);
        t.y = 769, t.dx = 8, t.dy = 6, t.zus = zus, t.rich = 0, t.phase = 0, t.bewegt = true;
    }
    void lauerer(Ziel& t, int zus) {
        versteck = r() % 8;
        t.x = kVerstecke[versteck][0];
        t.y = kVerstecke[versteck][1] + 88;
        t.dx = 8, t.dy = 6, t.zus = zus, t.rich = 0, t.phase = 0, t.bewegt = true;
    }
    void warten(Ziel& t) {
        saeen(jetzt);
        t.start = jetzt;
        t.dauer = t.typ <= 2   ? 1000 + r() % 3000
                  : t.typ == 3 ? 20000 + r() % 60000
                               : 10000 + r() % 20000;
    }
    void raus(Ziel& t, int zus) {
        t.zus = zus;
        lose += zus == 2 ? 1 : 0;
        warten(t);
    }
    void kurs(Ziel& t) {
        if (jetzt - t.start < t.dauer || t.y <= 0 || t.y >= 550) {
            return;
        }
        saeen(jetzt);
        if (t.rich >= 1 && t.rich <= 7) {
            t.rich = 3 + r() % 3;
        } else if (t.rich >= 9) {
            t.rich = 11 + r() % 3;
        }
        t.dauer = 100 + r() % 2000;
        t.start = jetzt;
    }
    void grenzen(Ziel& t, const Art& a) {
        saeen(jetzt);
        const int boden = a.ebene == 1 ? 450 : 550;
        if ((t.zus == 1 && t.y > 768) || (t.zus != 1 && t.y > boden)) {
            if (t.rich >= 5 && t.rich <= 7) {
                t.rich = 1 + r() % 3;
            } else if (t.rich >= 9 && t.rich <= 11) {
                t.rich = 13 + r() % 3;
            } else {
                raus(t, 3);
            }
        } else if (t.x < -a.w) {
            if (t.rich < 1 || t.rich > 7) {
                raus(t, t.zus == 1 ? 3 : 2);  // a falling target never escapes
            }
        } else if (t.x > a.w + 2048) {
            if (t.rich < 9) {
                raus(t, t.zus == 1 ? 3 : 2);
            }
        } else if (t.y < 0 && t.zus != 1) {
            if (t.rich >= 1 && t.rich <= 4) {
                t.rich = 5 + r() % 3;
            } else if (t.rich >= 12) {
                t.rich = 9 + r() % 3;
            } else if (t.rich == 0 || t.rich == 8) {
                raus(t, 2);
            }
        }
    }
    void auf_ab(Ziel& t, std::int32_t oben, std::uint32_t pause) {
        if (!t.bewegt && t.phase == 1) {
            return;
        }
        if (t.y <= oben && t.zus == 0 && t.phase == 0) {
            t.bewegt = false, t.start = jetzt, t.dauer = pause, t.phase = 1;
        } else if (t.y > 778) {
            raus(t, t.zus == 1 ? 3 : 2);
        }
    }
    Lcg lcg_{0};
};

TEST_F(GameTest, DrawsComeInTheOrderOfTheRules) {
    // The generator itself: seeded with 1 it gives the well-known 41, 18467, 6334.
    Zufall_saeen(1);
    EXPECT_EQ((std::vector<int>{Zufall(), Zufall(), Zufall()}),
              (std::vector<int>{41, 18467, 6334}));

    // No sound buffers: no shot is refused for a sound still playing.
    DSound_beenden();
    headless::set_now(7654321);
    Modell m;
    m.jetzt = platform::tick_count();
    for (Objekt& o : Objekte) {
        o.L = o.R = o.T = o.B = 0;  // as at load; the model starts there
    }
    g_zuege.clear();
    Zufall_Beobachter = zug_merken;
    Zufall_saeen(4242);
    m.saeen(4242);
    Runde_vorbereiten();
    m.runde();
    ASSERT_EQ(g_zuege, m.zuege) << "round set-up";

    std::mt19937 wahl(99);  // the test's own choices, apart from the game's generator
    const std::int32_t mauspositionen[] = {512, 0, 30, 700, 990, 1023};
    for (int n = 0; n < 2400; ++n) {
        headless::advance(25 + wahl() % 16);
        m.jetzt = platform::tick_count();
        if (n % 150 == 0) {
            Maus_x = mauspositionen[wahl() % 6];
        }
        Objekte_bewegen();
        m.schritt(Maus_x);
        if (n % 5 == 0) {
            if (Patronen == 0) {
                Nachladen();
            } else {
                // Mostly at a target in play, sometimes anywhere.
                const Objekt& ziel = Objekte[wahl() % 11];
                std::int32_t mx = static_cast<std::int32_t>(wahl() % 1024);
                std::int32_t my = static_cast<std::int32_t>(wahl() % 768);
                if (ziel.Zus == Zus::Im_Spiel && wahl() % 4 != 0) {
                    mx = (ziel.L + ziel.R) / 2 + Scroll_x;
                    my = (ziel.T + ziel.B) / 2;
                }
                Schuss_abgeben(mx, my);
                m.schuss(mx, my);
            }
        }
        ASSERT_EQ(g_zuege.size(), m.zuege.size()) << "pass " << n;
        ASSERT_EQ(g_zuege, m.zuege) << "pass " << n;
        ASSERT_EQ((std::vector<int>{Scroll_x, Lose, Kills, Punkte}),
                  (std::vector<int>{m.scroll, m.lose, m.kills, m.punkte}))
            << "pass " << n;
        for (int i = 0; i < 11; ++i) {
            const Objekt& o = Objekte[i];
            const Modell::Ziel& t = m.z[i];
            ASSERT_EQ(
                (std::vector<std::int64_t>{o.x, o.y, o.dx, o.dy, o.Zus, o.Rich, o.Phase,
                                           o.Startzeit, o.Dauer, o.bewegt, o.Sprite.Blickrichtung,
                                           o.L, o.R, o.T, o.B}),
                (std::vector<std::int64_t>{t.x, t.y, t.dx, t.dy, t.zus, t.rich, t.phase, t.start,
                                           t.dauer, t.bewegt, t.blick, t.L, t.R, t.T, t.B}))
                << "pass " << n << ", slot " << i;
        }
    }
    // The run went through what it was meant to: relaunches of every kind,
    // escapes and hits.
    EXPECT_GT(m.kills, 20);
    EXPECT_GT(m.lose, 0);
    for (int typ = 0; typ < 5; ++typ) {
        EXPECT_GT(m.wiederkehr[typ], 0) << typ;
    }
    EXPECT_GT(std::count_if(g_zuege.begin(), g_zuege.end(), [](const auto& z) { return z.first; }),
              2400);
}

// --- a long run -------------------------------------------------------------------

TEST_F(GameTest, ThousandSecondsOfPlayKeepEverySlotsInvariants) {
    Runde_vorbereiten();
    std::mt19937 wahl(2024);
    int treffer = 0;
    // Longest time a slot spent in play with its picture wholly outside the
    // landscape's area (2048 x 768), in ms.
    const std::uint32_t start = platform::tick_count();
    std::uint32_t draussen_seit[11];
    std::fill(std::begin(draussen_seit), std::end(draussen_seit), start);
    std::uint32_t laengste = 0;
    int laengster_slot = -1;
    while (platform::tick_count() - start < 1000 * 1000) {
        headless::advance(25 + wahl() % 6);
        if (wahl() % 100 == 0) {
            Maus_x = static_cast<std::int32_t>(wahl() % 1024);
        }
        std::int32_t vorher[11];
        for (int i = 0; i < 11; ++i) {
            vorher[i] = Objekte[i].Zus;
        }
        const std::int32_t lose_vorher = Lose;
        Objekte_bewegen();
        int entkommen = 0;
        for (int i = 0; i < 11; ++i) {
            const Objekt& o = Objekte[i];
            ASSERT_TRUE(o.Zus >= 0 && o.Zus <= 3) << i;
            ASSERT_TRUE(o.Rich >= 0 && o.Rich <= 15) << i;
            // A falling target never escapes; one in play may.
            ASSERT_FALSE(vorher[i] == Zus::Getroffen && o.Zus == Zus::Entkommen) << i;
            entkommen += vorher[i] == Zus::Im_Spiel && o.Zus == Zus::Entkommen ? 1 : 0;
            const bool draussen =
                o.Zus == Zus::Im_Spiel && (o.x + o.Sprite.Breite <= 0 || o.x >= 2048 ||
                                           o.y + o.Sprite.Hoehe <= 0 || o.y >= 768);
            if (!draussen) {
                draussen_seit[i] = platform::tick_count();
            } else if (platform::tick_count() - draussen_seit[i] > laengste) {
                laengste = platform::tick_count() - draussen_seit[i];
                laengster_slot = i;
            }
        }
        ASSERT_EQ(Lose - lose_vorher, entkommen);
        if (wahl() % 4 == 0) {
            const Objekt& ziel = Objekte[wahl() % 11];
            std::int32_t mx = static_cast<std::int32_t>(wahl() % 1024);
            std::int32_t my = static_cast<std::int32_t>(wahl() % 768);
            if (ziel.Zus == Zus::Im_Spiel && wahl() % 3 != 0) {
                mx = (ziel.L + ziel.R) / 2 + Scroll_x;
                my = (ziel.T + ziel.B) / 2;
            }
            for (int i = 0; i < 11; ++i) {
                vorher[i] = Objekte[i].Zus;
            }
            Schuss_abgeben(mx, my);
            for (int i = 0; i < 11; ++i) {
                treffer += vorher[i] == Zus::Im_Spiel && Objekte[i].Zus == Zus::Getroffen ? 1 : 0;
            }
        }
        if (Patronen == 0 || wahl() % 300 == 0) {
            Nachladen();
        }
    }
    EXPECT_EQ(Kills, treffer);
    EXPECT_GT(treffer, 500);
    EXPECT_GT(Lose, 100);
    RecordProperty("longest_out_of_view_ms", static_cast<int>(laengste));
    RecordProperty("longest_out_of_view_slot", laengster_slot);
    EXPECT_LT(laengste, 60000u) << "slot " << laengster_slot;
}

}  // namespace
