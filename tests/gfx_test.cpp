#include <gtest/gtest.h>

#include "app/spiel.h"
#include "gfx/ddraw.h"
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

    Spielzustand = 0;
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
        Spielzustand = 0;
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
        Spielzustand = 0;
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
