#include <gtest/gtest.h>

#include "app/spiel.h"
#include "gfx/ddraw.h"
#include "gfx/sprite.h"
#include "support/fixture.h"

using bramble_test::HeadlessTest;
using platform::Fault;
namespace headless = platform::headless;

class GfxTest : public HeadlessTest {};

TEST_F(GfxTest, ColourConversions) {
    EXPECT_EQ(Farbe_16Bit(0x00FF00), 0x07C0);
    EXPECT_EQ(Farbe_16Bit(0xFFFFFF), 0xFFDF);
    EXPECT_EQ(Farbe_16Bit(0xCC0000), 0xC800);
    EXPECT_EQ(Farbe_16Bit(0x282828), 0x2945);
    EXPECT_EQ(RGB_Farbe(0xCC, 0, 0), 0xCC0000u);
    EXPECT_EQ(RGB_Farbe(256 + 0xCC, -256, 0x1FF), 0xCC00FFu);  // each taken modulo 256
    EXPECT_EQ(RGB_16Bit(5, 250, 7), 0x07C0);
    EXPECT_EQ(RGB_16Bit(0, 255, 0), Farbe_16Bit(0x00FF00));
}

TEST_F(GfxTest, KeyedBlitDrawsAlmostGreenButNotTheKey) {
    start_display(16);
    Surface* s = nullptr;
    ASSERT_EQ(DDraw_Offscreen_anlegen(&s, 2, 1, 1), 0);
    EXPECT_EQ(s->color_key(), 0x07C0u);
    s->set_pixel(0, 0, 0x07E0);
    s->set_pixel(1, 0, 0x07C0);
    ASSERT_EQ(DDraw_Puffer_leeren(lpDDSBack, 0x000000), 0);
    EXPECT_EQ(DDraw_Blitten(10, 20, 2, 1, s, lpDDSBack), 0);
    EXPECT_EQ(lpDDSBack->pixel(10, 20), 0x07E0u);
    EXPECT_EQ(lpDDSBack->pixel(11, 20), 0u);
}

TEST_F(GfxTest, WideLandscapeBlitShowsItsMiddleColumns) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        DDraw_beenden();
        start_display(depth);
        Surface* land = nullptr;
        ASSERT_EQ(DDraw_Offscreen_anlegen(&land, 2048, 448, 1), 0);
        for (int y = 0; y < 448; ++y) {
            for (int x = 0; x < 2048; ++x) {
                land->set_pixel(x, y, static_cast<std::uint32_t>((x * 7 + y) & 0x7FFF) | 1u);
            }
        }
        ASSERT_EQ(DDraw_Puffer_leeren(lpDDSBack, 0), 0);
        EXPECT_EQ(DDraw_Blitten(-512, 320, 2048, 448, land, lpDDSBack), 0);
        for (int y : {0, 319}) {
            EXPECT_EQ(lpDDSBack->pixel(0, y), 0u);
        }
        for (int y : {320, 500, 767}) {
            for (int x : {0, 1, 511, 1023}) {
                EXPECT_EQ(lpDDSBack->pixel(x, y), land->pixel(x + 512, y - 320)) << x << "," << y;
            }
        }
    }
}

TEST_F(GfxTest, ClippingAtAllFourEdges) {
    start_display(16);
    Surface* s = nullptr;
    ASSERT_EQ(DDraw_Offscreen_anlegen(&s, 4, 4, 0), 0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            s->set_pixel(x, y, 0x1000u + static_cast<std::uint32_t>(y * 4 + x));
        }
    }
    DDraw_Puffer_leeren(lpDDSBack, 0);
    DDraw_Blitten(-2, -3, 4, 4, s, lpDDSBack);     // top left: shows (2,3)..(3,3)
    DDraw_Blitten(1022, 766, 4, 4, s, lpDDSBack);  // bottom right: shows (0,0)..(1,1)
    EXPECT_EQ(lpDDSBack->pixel(0, 0), 0x1000u + 3 * 4 + 2);
    EXPECT_EQ(lpDDSBack->pixel(1, 0), 0x1000u + 3 * 4 + 3);
    EXPECT_EQ(lpDDSBack->pixel(0, 1), 0u);
    EXPECT_EQ(lpDDSBack->pixel(1022, 766), 0x1000u);
    EXPECT_EQ(lpDDSBack->pixel(1023, 767), 0x1000u + 1 * 4 + 1);
    // Wholly outside: nothing drawn, no error.
    EXPECT_EQ(DDraw_Blitten(1024, 0, 4, 4, s, lpDDSBack), 0);
    EXPECT_EQ(DDraw_Blitten(0, -4, 4, 4, s, lpDDSBack), 0);
}

TEST_F(GfxTest, AbsentSurfacesAreRefused) {
    start_display(16);
    Surface* s = nullptr;
    ASSERT_EQ(DDraw_Offscreen_anlegen(&s, 4, 4, 0), 0);
    EXPECT_EQ(DDraw_Blitten(0, 0, 4, 4, nullptr, lpDDSBack), 1);
    EXPECT_EQ(DDraw_Blitten(0, 0, 4, 4, s, nullptr), 1);
}

TEST_F(GfxTest, FailedCreationLeavesTheReferenceEmptyAndEnds) {
    start_display(16);
    Surface* s = nullptr;
    headless::arm_fault(Fault::SurfaceCreate);
    EXPECT_EQ(DDraw_Offscreen_anlegen(&s, 4, 4, 1), 1);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(Spielzustand, 9);
    ASSERT_EQ(box_texts().size(), 1u);
    EXPECT_EQ(box_texts()[0], "DDraw_Offscreen_anlegen: CreateSurface()");
    EXPECT_EQ(headless::boxes()[0].caption, "Error...");
    EXPECT_EQ(headless::boxes()[0].type, 0x10u);

    Zustand_setzen(0);
    headless::arm_fault(Fault::ColorKeySet);
    EXPECT_EQ(DDraw_Offscreen_anlegen(&s, 4, 4, 1), 2);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(Spielzustand, 0);
    EXPECT_EQ(box_texts().back(), "DDraw_Offscreen_anlegen: SetColorKey()");
}

TEST_F(GfxTest, EachStartFailureHasItsResultAndMessage) {
    struct Case {
        Fault fault;
        int result;
        const char* text;
        bool ends;
    };
    const Case cases[] = {
        {Fault::DisplayCreate, 1, "DDraw_starten: DirectDrawCreateEx()", true},
        {Fault::CooperativeLevel, 2, "DDraw_starten: SetCooperativeLevel()", false},
        {Fault::DisplayMode, 3, "DDraw_starten: SetDisplayMode()", false},
        {Fault::PrimaryCreate, 4, "DDraw_starten: CreateSurface()", false},
        {Fault::BackBufferAttach, 5, "DDraw_starten: GetAttachedSurface()", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        DDraw_beenden();
        headless::reset();
        Zustand_setzen(0);
        headless::arm_fault(c.fault);
        EXPECT_EQ(DDraw_starten(), c.result);
        ASSERT_EQ(box_texts().size(), 1u);
        EXPECT_EQ(box_texts()[0], c.text);
        EXPECT_EQ(Spielzustand, c.ends ? 9 : 0);
    }
}

TEST_F(GfxTest, ClipperFailures) {
    const RECT screen{0, 0, 1024, 768};
    struct Case {
        Fault fault;
        int result;
        const char* text;
    };
    const Case cases[] = {
        {Fault::ClipperCreate, 1, "DDraw_Clipper_erzeugen: CreateClipper()"},
        {Fault::ClipListSet, 2, "DDraw_Clipper_erzeugen: SetClipList()"},
        {Fault::ClipperAttach, 3, "DDraw_Clipper_erzeugen: SetClipper()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        DDraw_beenden();
        headless::reset();
        Zustand_setzen(0);
        ASSERT_EQ(DDraw_starten(), 0);
        headless::arm_fault(c.fault);
        EXPECT_EQ(DDraw_Clipper_erzeugen(&screen, 1), c.result);
        ASSERT_FALSE(box_texts().empty());
        EXPECT_EQ(box_texts().back(), c.text);
        EXPECT_EQ(Spielzustand, c.result == 1 ? 9 : 0);
    }
}

TEST_F(GfxTest, FillFailureAndReleaseTwice) {
    start_display(16);
    headless::arm_fault(Fault::ColorFill);
    EXPECT_EQ(DDraw_Puffer_leeren(lpDDSBack, 0x123456), 1);
    EXPECT_EQ(box_texts().back(), "DDraw_Puffer_leeren: Blt(COLORFILL)");
    DDraw_beenden();
    EXPECT_EQ(lpDD, nullptr);
    EXPECT_EQ(lpDDSBack, nullptr);
    DDraw_beenden();  // before a start, or twice: nothing happens
}

TEST_F(GfxTest, FlipPresentsTheBackBufferAndRestoresALostDisplay) {
    start_display(16);
    DDraw_Puffer_leeren(lpDDSBack, 0xFF0000);
    DDraw_Puffer_flippen();
    ASSERT_NE(headless::last_frame(), nullptr);
    EXPECT_EQ(headless::last_frame()->pixel(100, 100), 0xF800u);
    const auto frames = headless::frames_presented();
    headless::arm_fault(Fault::SurfaceLost);
    DDraw_Puffer_leeren(lpDDSBack, 0x0000FF);
    DDraw_Puffer_flippen();
    EXPECT_EQ(headless::frames_presented(), frames + 1);
    EXPECT_EQ(headless::last_frame()->pixel(0, 0), 0x001Fu);
    EXPECT_TRUE(headless::boxes().empty());
}

TEST_F(GfxTest, WertPendelnRestsTwiceOnTheLowerBound) {
    int v = 150;
    std::uint8_t dir = 1;
    std::vector<int> seen;
    for (int i = 0; i < 104; ++i) {
        Wert_pendeln(v, 250, 150, 2, dir);
        seen.push_back(v);
    }
    EXPECT_EQ(seen[0], 152);
    EXPECT_EQ(seen[48], 248);
    EXPECT_EQ(seen[49], 250);  // reaching the upper bound turns at once
    EXPECT_EQ(seen[50], 248);
    EXPECT_EQ(seen[98], 152);
    EXPECT_EQ(seen[99], 150);
    EXPECT_EQ(seen[100], 150);
    EXPECT_EQ(seen[101], 152);
}

TEST_F(GfxTest, CloneAndRecolourAtBothDepths) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        DDraw_beenden();
        start_display(depth);
        Surface* font = nullptr;
        Surface* red = nullptr;
        Surface* small = nullptr;
        ASSERT_EQ(DDraw_Offscreen_anlegen(&font, 920, 152, 1), 0);
        ASSERT_EQ(DDraw_Offscreen_anlegen(&red, 920, 152, 0), 0);
        ASSERT_EQ(DDraw_Offscreen_anlegen(&small, 920, 151, 0), 0);
        const std::uint32_t dark = depth == 16 ? 0x2945u : 0x282828u;
        const std::uint32_t crimson = depth == 16 ? 0xC800u : 0xCC0000u;
        for (int y = 0; y < 152; ++y) {
            for (int x = 0; x < 920; ++x) {
                font->set_pixel(x, y, (x + y) % 3 == 0 ? dark : 0x1234u);
            }
        }
        // The padding after each row must never be touched.
        red->row(5)[920 * red->bytes_per_pixel()] = 0xAB;
        ASSERT_EQ(DDraw_Offscreen_klonen(font, red, 1, 0x282828, 0xCC0000), 0);
        for (int y : {0, 77, 151}) {
            for (int x : {0, 1, 2, 919}) {
                EXPECT_EQ(red->pixel(x, y), (x + y) % 3 == 0 ? crimson : 0x1234u);
                EXPECT_EQ(font->pixel(x, y), (x + y) % 3 == 0 ? dark : 0x1234u);
            }
        }
        EXPECT_EQ(red->row(5)[920 * red->bytes_per_pixel()], 0xAB);

        ASSERT_EQ(DDraw_Offscreen_klonen(font, red, 0, 0x282828, 0xCC0000), 0);
        EXPECT_EQ(red->pixel(0, 0), dark);

        small->set_pixel(0, 0, 0x4321);
        EXPECT_EQ(DDraw_Offscreen_klonen(font, small, 1, 0x282828, 0xCC0000), 5);
        EXPECT_EQ(box_texts().back(), "DDraw_Offscreen_klonen: Falsche Surface-Groesse!");
        EXPECT_EQ(small->pixel(0, 0), 0x4321u);
        EXPECT_FALSE(small->locked());
        EXPECT_FALSE(font->locked());

        ASSERT_EQ(DDraw_Offscreen_Color_change(red, 0x282828, 0x00FF00), 0);
        EXPECT_EQ(red->pixel(0, 0), red->color_key());
    }
}

TEST_F(GfxTest, TransformFailuresUnlockAndReport) {
    start_display(16);
    Surface* a = nullptr;
    Surface* b = nullptr;
    ASSERT_EQ(DDraw_Offscreen_anlegen(&a, 8, 8, 0), 0);
    ASSERT_EQ(DDraw_Offscreen_anlegen(&b, 8, 8, 0), 0);
    EXPECT_EQ(DDraw_Offscreen_klonen(nullptr, b, 1, 0, 0), 1);
    EXPECT_EQ(box_texts().back(), "DDraw_Offscreen_klonen: Surface nicht vorhanden!");
    headless::arm_fault(Fault::SurfaceLock);
    EXPECT_EQ(DDraw_Offscreen_klonen(a, b, 1, 0, 0), 2);
    EXPECT_EQ(box_texts().back(), "DDraw_Offscreen_klonen: Lock(lpDDSQuelle)");
    headless::arm_fault(Fault::Allocation);
    EXPECT_EQ(DDraw_Offscreen_klonen(a, b, 1, 0, 0), 3);
    EXPECT_EQ(box_texts().back(), "DDraw_Offscreen_klonen: Buffer konnte nicht angelegt werden!");
    headless::arm_fault(Fault::SurfaceLock, 1);
    EXPECT_EQ(DDraw_Offscreen_klonen(a, b, 1, 0, 0), 4);
    EXPECT_EQ(box_texts().back(), "DDraw_Offscreen_klonen: Lock(lpDDSZiel)");
    EXPECT_FALSE(a->locked());
    EXPECT_FALSE(b->locked());
    EXPECT_EQ(DDraw_Offscreen_Color_change(nullptr, 0, 0), 1);
    EXPECT_EQ(box_texts().back(), "DDraw_Offscreen_Color_change: Surface nicht vorhanden!");
    headless::arm_fault(Fault::SurfaceLock);
    EXPECT_EQ(DDraw_Offscreen_Color_change(a, 0, 0), 2);
    EXPECT_EQ(box_texts().back(), "DDraw_Offscreen_Color_change: Lock(lpDDSurface)");
    // Both colours convert to 0x9800 at 16 bits: nothing changes.
    a->set_pixel(3, 3, 0x9800);
    EXPECT_EQ(DDraw_Offscreen_Color_change(a, 0x980000, 0x9A0000), 0);
    EXPECT_EQ(a->pixel(3, 3), 0x9800u);
    Farbtiefe = 24;
    EXPECT_EQ(DDraw_Offscreen_Color_change(a, 0, 0), -666);
    EXPECT_EQ(DDraw_Offscreen_klonen(a, b, 1, 0, 0), 0);
}

// --- sprites -----------------------------------------------------------------

TEST_F(GfxTest, SpriteSetUpCapsTheFramesAndKeepsCycleAndHitArea) {
    start_display(16);
    struct Case {
        int anzahl;
        int gespeichert;
    };
    for (const Case c : {Case{8, 6}, Case{5, 5}}) {
        SCOPED_TRACE(c.anzahl);
        Sprite s{};
        s.Zykluslaenge = 3;
        s.Links = 7;
        s.Bild = 2;
        s.Blickrichtung = 1;
        s.x = 40;
        s.Bilder[5] = reinterpret_cast<Surface*>(&s);  // stale references are cleared
        EXPECT_EQ(Sprite_anlegen(&s, 48, 32, c.anzahl, 2), 0);
        EXPECT_EQ(s.Bildanzahl, c.gespeichert);
        EXPECT_EQ(s.Typ, 2);
        EXPECT_EQ(s.Breite, 48);
        EXPECT_EQ(s.Hoehe, 32);
        EXPECT_EQ(s.Bild, 0);
        EXPECT_EQ(s.Blickrichtung, 0);
        EXPECT_EQ(s.x, 0);
        EXPECT_EQ(s.Zykluslaenge, 3);
        EXPECT_EQ(s.Links, 7);
        for (int i = 0; i < 6; ++i) {
            const bool da = i < c.gespeichert;
            EXPECT_EQ(s.Bilder[i] != nullptr, da) << i;
            EXPECT_EQ(s.Spiegelbilder[i] != nullptr, da) << i;
            if (da) {
                EXPECT_EQ(s.Bilder[i]->width(), 48);
                EXPECT_EQ(s.Spiegelbilder[i]->height(), 32);
                EXPECT_NE(s.Bilder[i], s.Spiegelbilder[i]);
            }
        }
    }
}

TEST_F(GfxTest, SpriteHitAreaWholeOrGivenStoredLeftRightTopBottom) {
    Sprite s{};
    s.Breite = 160;
    s.Hoehe = 192;
    Sprite_Trefferfeld_setzen(&s, 1, 75, 14, 100, 60);
    EXPECT_EQ((std::vector<int>{s.Links, s.Rechts, s.Oben, s.Unten}),
              (std::vector<int>{0, 160, 0, 192}));
    Sprite_Trefferfeld_setzen(&s, 0, 75, 14, 100, 60);
    EXPECT_EQ((std::vector<int>{s.Links, s.Rechts, s.Oben, s.Unten}),
              (std::vector<int>{75, 100, 14, 60}));
}

TEST_F(GfxTest, SpriteMirrorsEveryFrameAtBothDepths) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        DDraw_beenden();
        start_display(depth);
        Sprite s{};
        Sprite_anlegen(&s, 48, 32, 3, 0);
        const auto muster = [](int bild, int x, int y) {
            return static_cast<std::uint32_t>(0x100 * (bild + 1) + x + 3 * y);
        };
        for (int i = 0; i < 3; ++i) {
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 48; ++x) {
                    s.Bilder[i]->set_pixel(x, y, muster(i, x, y));
                }
            }
        }
        // Row padding past the frame's width stays untouched.
        s.Spiegelbilder[1]->row(4)[48 * s.Spiegelbilder[1]->bytes_per_pixel()] = 0xAB;
        DDraw_Sprite_spiegeln(&s);
        for (int i = 0; i < 3; ++i) {
            for (int y : {0, 17, 31}) {
                EXPECT_EQ(s.Spiegelbilder[i]->pixel(0, y), muster(i, 47, y));
                EXPECT_EQ(s.Spiegelbilder[i]->pixel(47, y), muster(i, 0, y));
                EXPECT_EQ(s.Spiegelbilder[i]->pixel(20, y), muster(i, 27, y));
                EXPECT_EQ(s.Bilder[i]->pixel(0, y), muster(i, 0, y));
            }
        }
        EXPECT_EQ(s.Spiegelbilder[1]->row(4)[48 * s.Spiegelbilder[1]->bytes_per_pixel()], 0xAB);
    }
}

TEST_F(GfxTest, SpriteMirrorStopsSilentlyAtTheFirstFrameItCannotDo) {
    start_display(16);
    struct Case {
        Fault fault;
        int skip;  // successful calls before the failure
        int gespiegelt;
    };
    // Each frame locks its frame, then its mirror; each allocates once.
    const Case cases[] = {
        {Fault::SurfaceLock, 0, 0}, {Fault::SurfaceLock, 3, 1}, {Fault::Allocation, 2, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.skip);
        Sprite s{};
        Sprite_anlegen(&s, 8, 4, 4, 0);
        for (int i = 0; i < 4; ++i) {
            s.Bilder[i]->set_pixel(7, 0, 0x1234);
            s.Spiegelbilder[i]->set_pixel(0, 0, 0x4321);
        }
        headless::arm_fault(c.fault, c.skip);
        DDraw_Sprite_spiegeln(&s);
        headless::clear_faults();
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(s.Spiegelbilder[i]->pixel(0, 0), i < c.gespiegelt ? 0x1234u : 0x4321u) << i;
            EXPECT_FALSE(s.Bilder[i]->locked());
            EXPECT_FALSE(s.Spiegelbilder[i]->locked());
        }
    }
    EXPECT_TRUE(box_texts().empty());
    Sprite leer{};
    leer.Bildanzahl = 2;  // no surfaces: nothing happens
    DDraw_Sprite_spiegeln(&leer);
    DDraw_Sprite_spiegeln(nullptr);
}

TEST_F(GfxTest, SpriteDrawsItsCurrentFrameClippedAndSkipsMissingOnes) {
    start_display(16);
    Sprite s{};
    Sprite_anlegen(&s, 48, 32, 5, 0);
    for (int i = 0; i < 5; ++i) {
        for (int x = 0; x < 48; ++x) {
            for (int y = 0; y < 32; ++y) {
                s.Bilder[i]->set_pixel(x, y, static_cast<std::uint32_t>(0x1000 * (i + 1) + x));
            }
        }
    }
    struct Case {
        int bild;
        int x;
        bool gezeichnet;
    };
    // At x -30 only the right 18 columns show; a frame index at the frame
    // count (or below 0) draws nothing.
    const Case cases[] = {{0, 100, true}, {4, -30, true}, {5, 100, false}, {-1, 100, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bild);
        DDraw_Puffer_leeren(lpDDSBack, 0);
        s.Bild = c.bild;
        s.x = c.x;
        s.y = 50;
        DDraw_Sprite_blitten(&s, lpDDSBack);
        const int links = c.x < 0 ? 0 : c.x;
        const std::uint32_t erwartet =
            c.gezeichnet ? static_cast<std::uint32_t>(0x1000 * (c.bild + 1) + links - c.x) : 0u;
        EXPECT_EQ(lpDDSBack->pixel(links, 50), erwartet);
        EXPECT_EQ(lpDDSBack->pixel(c.x + 47, 81),
                  c.gezeichnet ? erwartet + 47 - (links - c.x) : 0u);
        EXPECT_EQ(lpDDSBack->pixel(c.x + 48, 50), 0u);
    }
    s.Bild = 1;
    s.Bilder[1] = nullptr;
    DDraw_Sprite_blitten(&s, lpDDSBack);
    DDraw_Sprite_blitten(nullptr, lpDDSBack);
    DDraw_Sprite_blitten(&s, nullptr);
}

TEST_F(GfxTest, SpriteAnimationWrapsAtTheCycleLength) {
    struct Case {
        int zyklus;
        std::vector<int> folge;
    };
    const Case cases[] = {{4, {1, 2, 3, 0, 1}}, {1, {0, 0}}, {0, {0, 0}}};
    for (const Case& c : cases) {
        Sprite s{};
        s.Zykluslaenge = c.zyklus;
        std::vector<int> folge;
        for (std::size_t i = 0; i < c.folge.size(); ++i) {
            Sprite_Bild_weiter(&s);
            folge.push_back(s.Bild);
        }
        EXPECT_EQ(folge, c.folge) << c.zyklus;
    }
}
