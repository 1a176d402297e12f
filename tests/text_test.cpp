#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/spiel.h"
#include "gfx/ddraw.h"
#include "pack/packfile.h"
#include "platform/png.h"
#include "support/fixture.h"
#include "text/bitmaptext.h"

using bramble_test::HeadlessTest;
using platform::Fault;
namespace headless = platform::headless;

namespace {

constexpr std::uint32_t kTrennfarbe = 0xC9C9C9;
constexpr std::uint32_t kGruen = 0x00FF00;
// The last column and row of every cell: part of the cell, never drawn.
constexpr std::uint32_t kNieGezeichnet = 0x0000FF;

// One line of glyphs in a synthetic font picture: the drawn width of each
// glyph and the drawn height of all of them.
struct Band {
    std::vector<int> breiten;
    int hoehe;
};

struct Bauplan {
    std::vector<Band> baender;
    int erste_marke = 10;  // away from column 5, which marks separator rows
    int trenndicke = 1;
};

std::uint32_t Wert(std::uint32_t farbe) {
    return Farbtiefe == 16 ? static_cast<std::uint32_t>(Farbe_16Bit(farbe)) : farbe;
}

// A colour per glyph that stays distinct at 16 bits.
std::uint32_t Glyphfarbe(int g) {
    return (static_cast<std::uint32_t>(g & 31) << 3 << 16) | 0x1000u |
           (static_cast<std::uint32_t>((g >> 5) + 1) << 3);
}

void Zeile_fuellen(Surface* s, int y, int von, int bis, std::uint32_t wert) {
    for (int x = von; x < bis; ++x) {
        s->set_pixel(x, y, wert);
    }
}

// Draws a font picture in the separator layout: separator rows across the
// whole width, marks in the first row of each band, each glyph filled with
// its own colour, the never-drawn last column and row of each cell blue.
Surface* Schrift_bauen(const Bauplan& plan) {
    int breite = 0;
    int hoehe = plan.trenndicke;
    for (const Band& b : plan.baender) {
        int x = plan.erste_marke;
        for (int w : b.breiten) {
            x += w + 2;
        }
        breite = std::max(breite, x + 4);
        hoehe += b.hoehe + 1 + plan.trenndicke;
    }
    Surface* s = nullptr;
    EXPECT_EQ(DDraw_Offscreen_anlegen(&s, breite, hoehe + 2, 0), 0);
    if (s == nullptr) {
        return nullptr;
    }
    for (int y = 0; y < s->height(); ++y) {
        Zeile_fuellen(s, y, 0, breite, Wert(kGruen));
    }
    int y = 0;
    int g = 0;
    for (int t = 0; t < plan.trenndicke; ++t) {
        Zeile_fuellen(s, y++, 0, breite, Wert(kTrennfarbe));
    }
    for (const Band& b : plan.baender) {
        int marke = plan.erste_marke;
        s->set_pixel(marke, y, Wert(kTrennfarbe));
        for (int w : b.breiten) {
            for (int zy = y; zy <= y + b.hoehe; ++zy) {
                for (int zx = marke + 1; zx <= marke + w + 1; ++zx) {
                    const bool gezeichnet = zx <= marke + w && zy < y + b.hoehe;
                    s->set_pixel(zx, zy, Wert(gezeichnet ? Glyphfarbe(g) : kNieGezeichnet));
                }
            }
            marke += w + 2;
            s->set_pixel(marke, y, Wert(kTrennfarbe));
            ++g;
        }
        y += b.hoehe + 1;
        for (int t = 0; t < plan.trenndicke; ++t) {
            Zeile_fuellen(s, y++, 0, breite, Wert(kTrennfarbe));
        }
    }
    return s;
}

// The test font for drawing: 81 glyphs, 'a' alone in a band 8 pixels high,
// the others 12 high; widths 6 to 10, except 'i' (glyph 8), 5 wide.
int Testbreite(int g) {
    return g == 8 ? 5 : 6 + g % 5;
}

Bauplan Testschrift() {
    Bauplan plan;
    plan.baender.push_back(Band{{Testbreite(0)}, 8});
    Band b1{{}, 12};
    Band b2{{}, 12};
    for (int g = 1; g <= 40; ++g) {
        b1.breiten.push_back(Testbreite(g));
    }
    for (int g = 41; g <= 80; ++g) {
        b2.breiten.push_back(Testbreite(g));
    }
    plan.baender.push_back(b1);
    plan.baender.push_back(b2);
    return plan;
}

int Glyph(char c) {
    return BitmapText_Zeichenindex(c);
}

// Bounding box (right and bottom exclusive) of the pixels with this value;
// all zero when there are none.
RECT Kasten(const Surface* s, std::uint32_t wert) {
    RECT r{s->width(), s->height(), -1, -1};
    for (int y = 0; y < s->height(); ++y) {
        for (int x = 0; x < s->width(); ++x) {
            if (s->pixel(x, y) == wert) {
                r.left = std::min(r.left, x);
                r.top = std::min(r.top, y);
                r.right = std::max(r.right, x + 1);
                r.bottom = std::max(r.bottom, y + 1);
            }
        }
    }
    return r.right < 0 ? RECT{} : r;
}

RECT Kasten_von(const Surface* s, char c) {
    return Kasten(s, Wert(Glyphfarbe(Glyph(c))));
}

std::vector<std::uint32_t> Pixel_von(const Surface* s) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < s->height(); ++y) {
        for (int x = 0; x < s->width(); ++x) {
            out.push_back(s->pixel(x, y));
        }
    }
    return out;
}

int Anzahl(const Surface* s, std::uint32_t wert) {
    int n = 0;
    for (int y = 0; y < s->height(); ++y) {
        for (int x = 0; x < s->width(); ++x) {
            n += s->pixel(x, y) == wert ? 1 : 0;
        }
    }
    return n;
}

void Tabelle_vorbelegen(Glyphentabelle& t) {
    for (Glyphe& g : t.zeichen) {
        g = Glyphe{-7, -7, -7, -7};
    }
    t.W = -7;
    t.H = -7;
}

class TextTest : public HeadlessTest {
   protected:
    // Display at this depth with the test font read into the shared table.
    Surface* mit_testschrift(int depth) {
        DDraw_beenden();
        start_display(depth);
        Surface* font = Schrift_bauen(Testschrift());
        EXPECT_EQ(BitmapText_einlesen(font, &Zeichensatz, kTrennfarbe), 0);
        DDraw_Puffer_leeren(lpDDSBack, 0);
        return font;
    }
};

// --- reading the font picture ----------------------------------------------

TEST_F(TextTest, ReadsCellsBetweenMarksBandByBand) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        DDraw_beenden();
        start_display(depth);
        Bauplan plan;
        plan.erste_marke = 20;
        plan.baender = {Band{{9, 12}, 10}, Band{{5, 6, 7}, 6}};
        Surface* font = Schrift_bauen(plan);
        Glyphentabelle t;
        Tabelle_vorbelegen(t);
        ASSERT_EQ(BitmapText_einlesen(font, &t, kTrennfarbe), 0);
        // Marks at 20 and 31: the cell runs from 21 to 30, so w = 9.
        EXPECT_EQ(t.zeichen[0].left, 21);
        EXPECT_EQ(t.zeichen[0].right, 30);
        EXPECT_EQ(t.zeichen[0].top, 1);
        EXPECT_EQ(t.zeichen[0].bottom, 11);
        EXPECT_EQ(t.zeichen[1].left, 32);
        EXPECT_EQ(t.zeichen[1].right, 44);
        // The second band starts below the first one's closing separator row.
        EXPECT_EQ(t.zeichen[2].left, 21);
        EXPECT_EQ(t.zeichen[2].top, 13);
        EXPECT_EQ(t.zeichen[2].bottom, 19);
        EXPECT_EQ(t.zeichen[4].right - t.zeichen[4].left, 7);
        // Averages truncated: widths 39 / 5, heights 38 / 5.
        EXPECT_EQ(t.W, 7);
        EXPECT_EQ(t.H, 7);
        // Records not filled keep what they held.
        EXPECT_EQ(t.zeichen[5].left, -7);
        EXPECT_EQ(t.zeichen[98].bottom, -7);
        EXPECT_TRUE(box_texts().empty());
    }
}

TEST_F(TextTest, PicturesWithoutUsableBandsAreRefused) {
    start_display(16);
    const std::string keine = "BitmapText_einlesen: Keine Trennlinien gefunden!";

    // One separator row only, even with marks below it.
    Surface* eine = nullptr;
    ASSERT_EQ(DDraw_Offscreen_anlegen(&eine, 40, 20, 0), 0);
    DDraw_Puffer_leeren(eine, kGruen);
    Zeile_fuellen(eine, 3, 0, 40, Wert(kTrennfarbe));
    eine->set_pixel(10, 4, Wert(kTrennfarbe));
    eine->set_pixel(20, 4, Wert(kTrennfarbe));
    Glyphentabelle t;
    Tabelle_vorbelegen(t);
    EXPECT_EQ(BitmapText_einlesen(eine, &t, kTrennfarbe), 2);

    // Separator rows, but a single mark in the band: no pair, no glyph.
    Bauplan plan;
    plan.baender = {Band{{}, 10}};
    EXPECT_EQ(BitmapText_einlesen(Schrift_bauen(plan), &t, kTrennfarbe), 2);
    EXPECT_EQ(box_texts(), (std::vector<std::string>{keine, keine}));
    EXPECT_EQ(t.W, -7);
    EXPECT_EQ(headless::boxes().back().caption, "Error...");
    EXPECT_EQ(headless::boxes().back().type & MB_ICONERROR, MB_ICONERROR);
}

TEST_F(TextTest, TooSmallGlyphsAreRefusedAfterFillingTheTable) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        DDraw_beenden();
        start_display(depth);
        headless::clear_boxes();
        // Cells 4 pixels wide between marks: w = 3 on average.
        Bauplan schmal;
        schmal.baender = {Band{{3, 3, 4}, 10}};
        Glyphentabelle t;
        Tabelle_vorbelegen(t);
        EXPECT_EQ(BitmapText_einlesen(Schrift_bauen(schmal), &t, kTrennfarbe), 3);
        EXPECT_EQ(t.W, 3);
        EXPECT_EQ(t.H, 10);
        EXPECT_EQ(t.zeichen[2].right - t.zeichen[2].left, 4);
        // Too low is refused the same way.
        Bauplan flach;
        flach.baender = {Band{{8, 8}, 3}};
        EXPECT_EQ(BitmapText_einlesen(Schrift_bauen(flach), &t, kTrennfarbe), 3);
        EXPECT_EQ(box_texts(),
                  (std::vector<std::string>(2, "BitmapText_einlesen: Zeichensatz ungueltig!")));
    }
}

TEST_F(TextTest, RefusedLockAndOtherDepthsLeaveTheTableUntouched) {
    start_display(16);
    Surface* font = Schrift_bauen(Testschrift());
    Glyphentabelle t;
    Tabelle_vorbelegen(t);
    Glyphentabelle vorher = t;

    headless::arm_fault(Fault::SurfaceLock);
    EXPECT_EQ(BitmapText_einlesen(font, &t, kTrennfarbe), 1);
    EXPECT_EQ(box_texts(), std::vector<std::string>{"BitmapText_einlesen: Lock(lpDDSFont)"});
    EXPECT_EQ(std::memcmp(&t, &vorher, sizeof t), 0);
    EXPECT_FALSE(font->locked());

    headless::clear_boxes();
    Farbtiefe = 24;
    EXPECT_EQ(BitmapText_einlesen(font, &t, kTrennfarbe), -666);
    EXPECT_TRUE(box_texts().empty());
    EXPECT_EQ(std::memcmp(&t, &vorher, sizeof t), 0);
    Farbtiefe = 16;

    // A missing surface is refused like a refused lock, not dereferenced.
    EXPECT_EQ(BitmapText_einlesen(nullptr, &t, kTrennfarbe), 1);
    EXPECT_EQ(std::memcmp(&t, &vorher, sizeof t), 0);
}

TEST_F(TextTest, ThickSeparatorLinesEncloseNoGhostBand) {
    start_display(32);
    Bauplan plan;
    plan.trenndicke = 2;
    plan.baender = {Band{{6, 7}, 9}, Band{{8}, 9}};
    Glyphentabelle t;
    Tabelle_vorbelegen(t);
    ASSERT_EQ(BitmapText_einlesen(Schrift_bauen(plan), &t, kTrennfarbe), 0);
    EXPECT_EQ(t.zeichen[0].top, 2);
    EXPECT_EQ(t.zeichen[1].right - t.zeichen[1].left, 7);
    EXPECT_EQ(t.zeichen[2].top, 14);
    EXPECT_EQ(t.zeichen[2].right - t.zeichen[2].left, 8);
    EXPECT_EQ(t.zeichen[3].left, -7);  // exactly three glyphs
    EXPECT_EQ(t.W, 7);
    EXPECT_EQ(t.H, 9);
}

TEST_F(TextTest, AtMost99GlyphsAreRead) {
    start_display(16);
    Bauplan plan;
    for (int b = 0; b < 4; ++b) {
        plan.baender.push_back(Band{std::vector<int>(25, 4), 6});
    }
    plan.baender[3].breiten.back() = 200;  // glyph 100: ignored
    Glyphentabelle t;
    ASSERT_EQ(BitmapText_einlesen(Schrift_bauen(plan), &t, kTrennfarbe), 0);
    EXPECT_EQ(t.W, 4);
    EXPECT_EQ(t.zeichen[98].right - t.zeichen[98].left, 4);
}

// --- drawing strings --------------------------------------------------------

TEST_F(TextTest, GlyphsFollowEachOtherAndBlanksRepeatTheLastAdvance) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        Surface* font = mit_testschrift(depth);
        const auto leer = Pixel_von(lpDDSBack);
        EXPECT_EQ(BitmapText_ausgeben(font, "", 100, 100, 1, lpDDSBack), 0);
        EXPECT_EQ(Pixel_von(lpDDSBack), leer);

        // Leading blanks take no room; two blanks after 'b' leave 2 x w(b).
        BitmapText_ausgeben(font, "  bc  d", 100, 50, 1, lpDDSBack);
        const int wb = Testbreite(1);
        const int wc = Testbreite(2);
        const RECT b = Kasten_von(lpDDSBack, 'b');
        EXPECT_EQ(b.left, 100);
        EXPECT_EQ(b.top, 50);
        EXPECT_EQ(b.right, 100 + wb);
        EXPECT_EQ(b.bottom, 62);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'c').left, 100 + wb);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'd').left, 100 + wb + 3 * wc);
        // The transparent green and the cells' last column and row stay out.
        EXPECT_EQ(Anzahl(lpDDSBack, Wert(kGruen)), 0);
        EXPECT_EQ(Anzahl(lpDDSBack, Wert(kNieGezeichnet)), 0);
    }
}

TEST_F(TextTest, AlignmentUsesTheAverageWidth) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        Surface* font = mit_testschrift(depth);
        Zeichensatz.W = 14;
        BitmapText_ausgeben(font, "bcdefghjkl", 512, 100, 2, lpDDSBack);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'b').left, 442);
        BitmapText_ausgeben(font, "mno", 512, 200, 3, lpDDSBack);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'm').left, 512 - 3 * 14);
        BitmapText_ausgeben(font, "p", 512, 300, 7, lpDDSBack);  // unknown mode: left
        EXPECT_EQ(Kasten_von(lpDDSBack, 'p').left, 512);
    }
}

TEST_F(TextTest, StringsOffTheScreenAreCutOrSkipped) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        Surface* font = mit_testschrift(depth);
        const auto leer = Pixel_von(lpDDSBack);
        BitmapText_ausgeben(font, "bcd", 1024, 100, 1, lpDDSBack);
        BitmapText_ausgeben(font, "bcd", 100, 768, 1, lpDDSBack);
        BitmapText_ausgeben(font, "bcd", 100, -Zeichensatz.H - 1, 1, lpDDSBack);
        BitmapText_vergroessert_ausgeben(font, "bcd", 100, 768, 1, 3, lpDDSBack);
        BitmapText_vergroessert_ausgeben(font, "bcd", 100, -Zeichensatz.H - 1, 1, 3, lpDDSBack);
        EXPECT_EQ(Pixel_von(lpDDSBack), leer);

        // Glyphs starting at 1023 or less are drawn and cut by the clipper;
        // the first one starting beyond ends the string.
        const int wb = Testbreite(1);  // 7
        const int wc = Testbreite(2);  // 8
        const int x = 1023 - wb - wc;
        BitmapText_ausgeben(font, "bcbd", x, 100, 1, lpDDSBack);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'b').right, 1024);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'd').right, 0);

        // A string starting a little above the screen shows its lower part.
        BitmapText_ausgeben(font, "e", 300, -5, 1, lpDDSBack);
        const RECT e = Kasten_von(lpDDSBack, 'e');
        EXPECT_EQ(e.top, 0);
        EXPECT_EQ(e.bottom, 7);
    }
}

TEST_F(TextTest, StretchedGlyphsGrowAndTheGrowthShrinksForGood) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        Surface* font = mit_testschrift(depth);
        // Growth 0 gives the same picture as the plain drawing, in every mode.
        for (int modus : {1, 2, 3}) {
            DDraw_Puffer_leeren(lpDDSBack, 0);
            BitmapText_ausgeben(font, "  Hello, World 42", 400, 300, modus, lpDDSBack);
            const auto flach = Pixel_von(lpDDSBack);
            DDraw_Puffer_leeren(lpDDSBack, 0);
            BitmapText_vergroessert_ausgeben(font, "  Hello, World 42", 400, 300, modus, 0,
                                             lpDDSBack);
            EXPECT_EQ(Pixel_von(lpDDSBack), flach) << modus;
        }

        // "bib" with growth 7: 'i' is 5 wide, so 'i' and the 'b' after it
        // grow by 5 only. Mode 1 moves the start left by (3 / 2) x 7.
        DDraw_Puffer_leeren(lpDDSBack, 0);
        const int wb = Testbreite(1);
        BitmapText_vergroessert_ausgeben(font, "bib", 100, 200, 1, 7, lpDDSBack);
        const int x1 = 100 - 7;
        const RECT b = Kasten_von(lpDDSBack, 'b');
        EXPECT_EQ(b.left, x1 - 7);
        EXPECT_EQ(b.top, 200 - 7);
        EXPECT_EQ(b.bottom, 200 + 12 + 3);  // 3 x (7 / 4) below
        const int x2 = x1 + wb + 7;
        const RECT i = Kasten_von(lpDDSBack, 'i');
        EXPECT_EQ(i.left, x2 - 5);
        EXPECT_EQ(i.top, 200 - 5);
        EXPECT_EQ(i.bottom, 200 + 12 + 3);
        // The next glyph starts at x2 + 5 + 5 and grows 5 to the left over it.
        const int x3 = x2 + 5 + 5;
        EXPECT_EQ(i.right, x3 - 5);
        EXPECT_EQ(b.right, x3 + wb + 5);
        const std::uint32_t farbe_b = Wert(Glyphfarbe(1));
        EXPECT_EQ(lpDDSBack->pixel(x3 + wb + 4, 200 - 5), farbe_b);
        EXPECT_NE(lpDDSBack->pixel(x3 + wb + 4, 200 - 6), farbe_b);

        // Centred: x - (W + c) x (n / 2).
        DDraw_Puffer_leeren(lpDDSBack, 0);
        BitmapText_vergroessert_ausgeben(font, "bb", 500, 200, 2, 2, lpDDSBack);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'b').left, 500 - (Zeichensatz.W + 2) - 2);
    }
}

TEST_F(TextTest, FailedBlitEndsTheString) {
    Surface* font = mit_testschrift(16);
    platform::LockedPixels gesperrt;
    ASSERT_TRUE(font->lock(gesperrt));
    const auto leer = Pixel_von(lpDDSBack);
    EXPECT_NE(BitmapText_ausgeben(font, "abc", 10, 10, 1, lpDDSBack), 0);
    EXPECT_NE(BitmapText_vergroessert_ausgeben(font, "abc", 10, 10, 1, 2, lpDDSBack), 0);
    font->unlock();
    EXPECT_EQ(Pixel_von(lpDDSBack), leer);
    EXPECT_EQ(BitmapText_ausgeben(nullptr, "abc", 10, 10, 1, lpDDSBack), 1);
}

// --- credits effect ---------------------------------------------------------

// Steps until the effect returns `bis` (at most `grenze` steps); true if it did.
bool Schritte_bis(int operation, int bis, Surface* font, Surface* ziel, int grenze = 400) {
    for (int i = 0; i < grenze; ++i) {
        if (BitmapText_Credits_Effekt(operation, nullptr, 0, 0, font, ziel) == bis) {
            return true;
        }
    }
    return false;
}

TEST_F(TextTest, LetterPathInAndOut) {
    Surface* font = mit_testschrift(16);
    // A destination larger than the screen and without clipper shows every
    // position of a letter that starts right of or below the screen.
    Surface* ziel = nullptr;
    ASSERT_EQ(DDraw_Offscreen_anlegen(&ziel, 1400, 1000, 0), 0);
    const std::uint32_t farbe = Wert(Glyphfarbe(1));

    // Find a start tick whose random start point lies on that surface.
    std::uint32_t tick = 5000;
    RECT start{};
    for (;; ++tick) {
        ASSERT_LT(tick, 6000u);
        headless::set_now(tick);
        ASSERT_EQ(BitmapText_Credits_Effekt(0, "b", 1, 1, font, ziel), 1);
        DDraw_Puffer_leeren(ziel, 0);
        if (BitmapText_Credits_Effekt(1, nullptr, 0, 0, font, ziel) == 2) {
            start = Kasten(ziel, farbe);
            // The place must be on the surface too, and x 0 would centre.
            if (start.left > 100 && start.top + 42 <= ziel->height()) {
                break;
            }
        }
    }

    // The same tick gives the same start; its place is 100 left and 30 below.
    const int tx = start.left - 100;
    const int ty = start.top + 30;
    headless::set_now(tick);
    ASSERT_EQ(BitmapText_Credits_Effekt(0, "b", tx, ty, font, ziel), 1);
    const std::vector<std::pair<int, int>> hinein = {
        {100, -30}, {84, -18}, {68, -17}, {52, -16}, {36, -15}, {20, -14}, {4, -13},
        {3, -12},   {2, -11},  {1, -10},  {0, -9},   {0, -8},   {0, -7},   {0, -6},
        {0, -5},    {0, -4},   {0, -3},   {0, -2},   {0, -1},   {0, 0}};
    for (std::size_t i = 0; i < hinein.size(); ++i) {
        DDraw_Puffer_leeren(ziel, 0);
        const int r = BitmapText_Credits_Effekt(1, nullptr, 0, 0, font, ziel);
        const RECT k = Kasten(ziel, farbe);
        EXPECT_EQ(std::make_pair(k.left - tx, k.top - ty), hinein[i]) << "step " << i;
        // Arriving counts only from the step after the arrival.
        EXPECT_EQ(r, i + 1 == hinein.size() ? 3 : 2) << "step " << i;
    }

    const std::vector<std::pair<int, int>> hinaus = {{0, 0},    {32, -24}, {64, -25}, {96, -26},
                                                     {97, -27}, {98, -28}, {99, -29}, {100, -30}};
    for (std::size_t i = 0; i < hinaus.size(); ++i) {
        DDraw_Puffer_leeren(ziel, 0);
        const int r = BitmapText_Credits_Effekt(2, nullptr, 0, 0, font, ziel);
        const RECT k = Kasten(ziel, farbe);
        EXPECT_EQ(std::make_pair(k.left - tx, k.top - ty), hinaus[i]) << "step " << i;
        EXPECT_EQ(r, i + 1 == hinaus.size() ? 5 : 4) << "step " << i;
    }

    // 25 pixels away the far step of 32 would pass the start; it stops there.
    headless::set_now(tick);
    ASSERT_EQ(BitmapText_Credits_Effekt(0, "b", start.left - 25, start.top, font, ziel), 1);
    ASSERT_TRUE(Schritte_bis(1, 3, font, ziel));
    EXPECT_EQ(BitmapText_Credits_Effekt(2, nullptr, 0, 0, font, ziel), 4);
    DDraw_Puffer_leeren(ziel, 0);
    EXPECT_EQ(BitmapText_Credits_Effekt(2, nullptr, 0, 0, font, ziel), 5);
    EXPECT_EQ(Kasten(ziel, farbe).left, start.left);

    EXPECT_EQ(BitmapText_Credits_Effekt(7, nullptr, 0, 0, font, ziel), 0);
}

TEST_F(TextTest, CreditsPagesAreLaidOutInLines) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        Surface* font = mit_testschrift(depth);
        // Two line feeds: the empty line is as high as the last glyph before
        // it ('a', 8 pixels) plus 10, like the line above it.
        ASSERT_EQ(BitmapText_Credits_Effekt(0, "ba\n\nc", 100, 100, font, lpDDSBack), 1);
        ASSERT_TRUE(Schritte_bis(1, 3, font, lpDDSBack));
        DDraw_Puffer_leeren(lpDDSBack, 0);
        EXPECT_EQ(BitmapText_Credits_Effekt(1, nullptr, 0, 0, font, lpDDSBack), 3);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'b').left, 100);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'a').left, 100 + Testbreite(1));
        EXPECT_EQ(Kasten_von(lpDDSBack, 'a').top, 100);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'c').left, 100);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'c').top, 100 + 2 * (8 + 10));

        // x 0 centres every line on 512 by its own width; the trailing blanks
        // count twice the width of 'e'.
        const int w0 = Testbreite(3) + 3 * Testbreite(4);
        const int w1 = Testbreite(5) + Testbreite(6);
        ASSERT_EQ(BitmapText_Credits_Effekt(0, "de  \nfg", 0, 300, font, lpDDSBack), 1);
        ASSERT_TRUE(Schritte_bis(1, 3, font, lpDDSBack));
        DDraw_Puffer_leeren(lpDDSBack, 0);
        BitmapText_Credits_Effekt(1, nullptr, 0, 0, font, lpDDSBack);
        EXPECT_EQ(Kasten_von(lpDDSBack, 'd').left, 512 - (w0 >> 1));
        EXPECT_EQ(Kasten_von(lpDDSBack, 'f').left, 512 - (w1 >> 1));
        EXPECT_EQ(Kasten_von(lpDDSBack, 'f').top, 300 + 12 + 10);

        ASSERT_TRUE(Schritte_bis(2, 5, font, lpDDSBack));
        DDraw_Puffer_leeren(lpDDSBack, 0);
        EXPECT_EQ(BitmapText_Credits_Effekt(2, nullptr, 0, 0, font, lpDDSBack), 5);
        EXPECT_EQ(Anzahl(lpDDSBack, 0), 1024 * 768);  // every letter beyond the edges
    }
}

TEST_F(TextTest, LineWidths) {
    mit_testschrift(16);
    std::int32_t breiten[18];
    std::fill(std::begin(breiten), std::end(breiten), -1);
    BitmapText_Zeilenbreiten(&Zeichensatz, "de  \n\n fg", breiten, 16);
    EXPECT_EQ(breiten[0], Testbreite(3) + 3 * Testbreite(4));
    EXPECT_EQ(breiten[1], 0);
    EXPECT_EQ(breiten[2], Testbreite(5) + Testbreite(6));  // the leading blank adds nothing
    EXPECT_EQ(breiten[3], -1);

    // Sixteen lines are measured, entry 16 is 0, nothing after it is touched.
    std::string viele;
    for (int i = 0; i < 20; ++i) {
        viele += "b\n";
    }
    BitmapText_Zeilenbreiten(&Zeichensatz, viele.c_str(), breiten, 16);
    EXPECT_EQ(breiten[15], Testbreite(1));
    EXPECT_EQ(breiten[16], 0);
    EXPECT_EQ(breiten[17], -1);
}

TEST_F(TextTest, PageLengthLimitAndFailedBlits) {
    Surface* font = mit_testschrift(16);
    const std::string seite96(96, 'b');
    EXPECT_EQ(BitmapText_Credits_Effekt(0, seite96.c_str(), 0, 100, font, lpDDSBack), 1);
    const std::string seite97(97, 'b');
    EXPECT_EQ(BitmapText_Credits_Effekt(0, seite97.c_str(), 0, 100, font, lpDDSBack), -3);
    // The refused page leaves an empty one: steps draw nothing and finish.
    const auto leer = Pixel_von(lpDDSBack);
    EXPECT_EQ(BitmapText_Credits_Effekt(1, nullptr, 0, 0, font, lpDDSBack), 3);
    EXPECT_EQ(BitmapText_Credits_Effekt(2, nullptr, 0, 0, font, lpDDSBack), 5);
    EXPECT_EQ(Pixel_von(lpDDSBack), leer);

    // Letters that have no glyph are in place at once; a failed blit ends
    // the step with -1 or -2.
    EXPECT_EQ(BitmapText_Credits_Effekt(0, " # ", 0, 100, font, lpDDSBack), 1);
    EXPECT_EQ(BitmapText_Credits_Effekt(1, nullptr, 0, 0, font, lpDDSBack), 3);
    EXPECT_EQ(BitmapText_Credits_Effekt(0, "bc", 0, 100, font, lpDDSBack), 1);
    platform::LockedPixels gesperrt;
    ASSERT_TRUE(font->lock(gesperrt));
    EXPECT_EQ(BitmapText_Credits_Effekt(1, nullptr, 0, 0, font, lpDDSBack), -1);
    EXPECT_EQ(BitmapText_Credits_Effekt(2, nullptr, 0, 0, font, lpDDSBack), -2);
    font->unlock();
    EXPECT_EQ(BitmapText_Credits_Effekt(1, nullptr, 0, 0, font, lpDDSBack), 2);
}

// --- device-context text ----------------------------------------------------

// Pixels that differ between two pictures of the same surface.
std::vector<std::pair<int, int>> Geaendert(const Surface* s,
                                           const std::vector<std::uint32_t>& vorher) {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < s->height(); ++y) {
        for (int x = 0; x < s->width(); ++x) {
            if (s->pixel(x, y) != vorher[static_cast<std::size_t>(y) * s->width() + x]) {
                out.emplace_back(x, y);
            }
        }
    }
    return out;
}

bool Polster_unberuehrt(const Surface* s) {
    for (int y = 0; y < s->height(); ++y) {
        const std::uint8_t* row = s->row(y);
        for (int b = s->width() * s->bytes_per_pixel(); b < s->pitch(); ++b) {
            if (row[b] != 0) {
                return false;
            }
        }
    }
    return true;
}

TEST_F(TextTest, DeviceContextTextDrawsOnlyItsColourNearItsPlace) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        DDraw_beenden();
        start_display(depth);
        DDraw_Puffer_leeren(lpDDSBack, 0x203040);
        const auto vorher = Pixel_von(lpDDSBack);

        platform::TextDC* dc = platform::get_dc(lpDDSBack);
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(platform::get_dc(lpDDSBack), nullptr);  // one at a time
        EXPECT_EQ(platform::set_bk_mode(dc, platform::TRANSPARENT), platform::OPAQUE);
        EXPECT_EQ(platform::set_text_color(dc, RGB(0xF0, 0x80, 0x10)), 0u);
        const char* zeile =
            "Points:0042 | Gr\xF6\xDF"
            "e";
        ASSERT_TRUE(platform::text_out(dc, 300, 200, zeile, static_cast<int>(std::strlen(zeile))));
        int w = 0;
        int h = 0;
        ASSERT_TRUE(platform::text_extent(zeile, static_cast<int>(std::strlen(zeile)), &w, &h));
        EXPECT_GE(h, 14);
        EXPECT_LE(h, 18);
        EXPECT_GT(w, 60);
        EXPECT_LT(w, 200);

        // Low byte red: 0xF08010 as a pixel, and no smoothing.
        const std::uint32_t farbe = Wert(0xF08010);
        const auto geaendert = Geaendert(lpDDSBack, vorher);
        EXPECT_GT(geaendert.size(), 100u);
        for (auto [x, y] : geaendert) {
            ASSERT_EQ(lpDDSBack->pixel(x, y), farbe) << x << "," << y;
            ASSERT_TRUE(x >= 300 && x < 300 + w && y >= 200 && y < 200 + h) << x << "," << y;
        }
        // The Windows-1252 letters after "Gr" were drawn, not dropped.
        int rechts = 0;
        for (auto [x, y] : geaendert) {
            rechts = std::max(rechts, x);
        }
        EXPECT_GT(rechts, 300 + w - 20);
        platform::release_dc(lpDDSBack, dc);

        // Cut at all edges: nothing lands in the rows' padding.
        dc = platform::get_dc(lpDDSBack);
        ASSERT_NE(dc, nullptr);
        platform::set_bk_mode(dc, platform::TRANSPARENT);
        platform::set_text_color(dc, RGB(255, 255, 255));
        EXPECT_TRUE(platform::text_out(dc, 990, 760, "Cut here", 8));
        EXPECT_TRUE(platform::text_out(dc, -20, -6, "Cut here", 8));
        platform::release_dc(lpDDSBack, dc);
        EXPECT_TRUE(Polster_unberuehrt(lpDDSBack));
        EXPECT_GT(Kasten(lpDDSBack, Wert(0xFFFFFF)).right, 1020);
        EXPECT_EQ(Kasten(lpDDSBack, Wert(0xFFFFFF)).left, 0);
        EXPECT_EQ(Kasten(lpDDSBack, Wert(0xFFFFFF)).bottom, 768);
    }
}

TEST_F(TextTest, DrawTextAtTheBottomLeftAndOpaqueBoxes) {
    start_display(16);
    DDraw_Puffer_leeren(lpDDSBack, 0);
    const auto vorher = Pixel_von(lpDDSBack);
    platform::TextDC* dc = platform::get_dc(lpDDSBack);
    ASSERT_NE(dc, nullptr);
    platform::set_bk_mode(dc, platform::TRANSPARENT);
    platform::set_text_color(dc, RGB(200, 20, 20));
    platform::Rect r{0, 0, 1023, 767};
    const int unten = platform::draw_text(dc, " Version 1014", -1, &r,
                                          platform::DT_SINGLELINE | platform::DT_BOTTOM);
    EXPECT_EQ(unten, 767);
    int w = 0;
    int h = 0;
    ASSERT_TRUE(platform::text_extent(" Version 1014", 13, &w, &h));
    const auto geaendert = Geaendert(lpDDSBack, vorher);
    EXPECT_GT(geaendert.size(), 50u);
    for (auto [x, y] : geaendert) {
        ASSERT_TRUE(x < w && y >= 767 - h && y < 767) << x << "," << y;
    }

    // The default background mode fills the text's box white first.
    EXPECT_EQ(platform::set_bk_mode(dc, platform::OPAQUE), platform::TRANSPARENT);
    EXPECT_TRUE(platform::text_out(dc, 100, 100, "Box", 3));
    platform::release_dc(lpDDSBack, dc);
    ASSERT_TRUE(platform::text_extent("Box", 3, &w, &h));
    EXPECT_EQ(Kasten(lpDDSBack, Wert(0xFFFFFF)).left, 100);
    EXPECT_EQ(Kasten(lpDDSBack, Wert(0xFFFFFF)).bottom, 100 + h);

    // A locked surface has no device context.
    platform::LockedPixels gesperrt;
    ASSERT_TRUE(lpDDSBack->lock(gesperrt));
    EXPECT_EQ(platform::get_dc(lpDDSBack), nullptr);
    lpDDSBack->unlock();
}

TEST_F(TextTest, MissingFontFailsCleanly) {
    start_display(32);
    DDraw_Puffer_leeren(lpDDSBack, 0);
    const auto vorher = Pixel_von(lpDDSBack);
    platform::set_text_font_file("/nonexistent/no-such-font.ttf");
    platform::TextDC* dc = platform::get_dc(lpDDSBack);
    ASSERT_NE(dc, nullptr);
    EXPECT_FALSE(platform::text_out(dc, 10, 10, "Hello", 5));
    platform::Rect r{0, 0, 1023, 767};
    EXPECT_EQ(platform::draw_text(dc, "Hello", 5, &r, platform::DT_SINGLELINE), 0);
    EXPECT_EQ(Pixel_von(lpDDSBack), vorher);
    platform::set_text_font_file("");
    EXPECT_TRUE(platform::text_out(dc, 10, 10, "Hello", 5));
    platform::release_dc(lpDDSBack, dc);
    EXPECT_NE(Pixel_von(lpDDSBack), vorher);
}

// --- the generated default font ----------------------------------------------

TEST_F(TextTest, GeneratedFontShowsEveryGlyph) {
    const std::string archiv = std::string(BRAMBLE_BUILD_DIR) + "/data/Grafik.dat";
    if (!std::filesystem::exists(archiv)) {
        GTEST_SKIP() << archiv << " has not been generated (build the assets target)";
    }
    start_display(16);
    ASSERT_EQ(PackFile_oeffnen(archiv.c_str(), &Grafik_Verzeichnis, "QK7RM2D9TXB4HP1Z"), 0);
    ASSERT_EQ(DDraw_Offscreen_anlegen(&lpDDSSchrift, 920, 152, 1), 0);
    ASSERT_EQ(PackFile_Bild_laden(archiv.c_str(), &Grafik_Verzeichnis, 31, lpDDSSchrift), 0);
    ASSERT_EQ(BitmapText_einlesen(lpDDSSchrift, &Zeichensatz, kTrennfarbe), 0);
    for (int g = 0; g <= 80; ++g) {
        EXPECT_GT(Zeichensatz.zeichen[g].right - Zeichensatz.zeichen[g].left, 0) << g;
        EXPECT_GT(Zeichensatz.zeichen[g].bottom - Zeichensatz.zeichen[g].top, 0) << g;
    }
    ASSERT_EQ(DDraw_Offscreen_anlegen(&lpDDSSchriftRot, 920, 152, 1), 0);
    ASSERT_EQ(DDraw_Offscreen_klonen(lpDDSSchrift, lpDDSSchriftRot, 1, 0x282828, 0xCC0000), 0);

    DDraw_Puffer_leeren(lpDDSBack, 0x463CBA);
    const char* zeilen[] = {"abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                            "0123456789.,-:!\"$%&/()?\\`\xB4@+\n"};
    const int H = Zeichensatz.H;
    int y = 20;
    for (Surface* font : {lpDDSSchrift, lpDDSSchriftRot}) {
        for (const char* zeile : zeilen) {
            const auto vorher = Pixel_von(lpDDSBack);
            BitmapText_ausgeben(font, zeile, 20, y, 1, lpDDSBack);
            EXPECT_NE(Pixel_von(lpDDSBack), vorher) << zeile;
            y += H + 8;
        }
    }
    y += 10;
    for (const char* zeile : zeilen) {
        BitmapText_vergroessert_ausgeben(lpDDSSchrift, zeile, 512, y, 2, 4, lpDDSBack);
        y += H + 20;
    }
    BitmapText_ausgeben(lpDDSSchrift, "Points:0042", 10, 700, 1, lpDDSBack);
    BitmapText_ausgeben(lpDDSSchriftRot, "+150", 512, 700, 2, lpDDSBack);
    platform::TextDC* dc = platform::get_dc(lpDDSBack);
    ASSERT_NE(dc, nullptr);
    platform::set_bk_mode(dc, platform::TRANSPARENT);
    platform::set_text_color(dc, RGB(200, 200, 60));
    platform::Rect r{0, 0, 1023, 767};
    platform::draw_text(dc, " Version 1014", -1, &r, platform::DT_SINGLELINE | platform::DT_BOTTOM);
    const char* debug = "Points:0042 | Highscore:0150 | Kills:007 | Lose:003 | Time:0090";
    platform::text_out(dc, 599, 20, debug, static_cast<int>(std::strlen(debug)));
    platform::release_dc(lpDDSBack, dc);
    EXPECT_TRUE(platform::write_png(*lpDDSBack, bramble_test::output_dir() + "/text_font.png"));
}

}  // namespace
