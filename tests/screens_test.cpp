// The screens, drawn after a real start-up with a test font whose glyphs are
// 14 x 20 pixels, each in a colour of its own with a dark first column (which
// the red font recolours): every frame can be read back as text, with the x
// of each glyph and whether it is red.
#include "screens/screens.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/spiel.h"
#include "app/start.h"
#include "audio/audio.h"
#include "core/tabellen.h"
#include "gfx/bilder.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "score/score.h"
#include "support/fixture.h"
#include "support/game_data.h"
#include "text/bitmaptext.h"

using bramble_test::HeadlessTest;
namespace headless = platform::headless;
namespace fs = std::filesystem;

namespace {

constexpr int kW = 14;
constexpr int kH = 20;
constexpr std::uint32_t kStrich = 0x282828;  // first column of every glyph
constexpr std::uint32_t kHintergrund = 0x102040;
constexpr std::uint32_t kLandschaft = 0x30A030;
constexpr std::uint32_t kPatrone = 0xE0A000;
constexpr std::uint32_t kRundenbild[4] = {0x800080, 0x008080, 0x808000, 0x404080};

// Character of glyph g, in the font's order.
char Zeichen(int g) {
    return Zeichenfolge[g];
}

// Distinct at 16 bits, and none of green, the separator or the dark column.
std::uint32_t Glyphfarbe(int g) {
    return RGB_Farbe((g % 8 + 1) * 24, 64 + (g / 8) * 12, 200);
}

std::uint32_t Wert(std::uint32_t farbe) {
    return static_cast<std::uint32_t>(Farbe_16Bit(farbe));
}

struct Glyph {
    int x;
    char c;
    bool rot;
};

struct Ohr : headless::Observer {
    std::vector<int> sounds;
    void on_sound(int item, int, int) override { sounds.push_back(item); }
};

class ScreensTest : public HeadlessTest {
   protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        ordner_.emplace("screens");
        ASSERT_TRUE(bramble_test::write_game_data("."));
        Hauptfenster = platform::window_create("Bramblecourt", Fensterprozedur);
        ASSERT_NE(Hauptfenster, nullptr);
        Spiel_zuruecksetzen();
        Spiel_starten();
        ASSERT_EQ(Spielzustand, Zustand::Titel);
        Schrift_einrichten();
        DDraw_Puffer_leeren(lpDDSHintergrund, kHintergrund);
        DDraw_Puffer_leeren(lpDDSLandschaft, kLandschaft);
        DDraw_Puffer_leeren(lpDDSPatrone, kPatrone);
        for (int i = 0; i < 4; ++i) {
            DDraw_Puffer_leeren(lpDDSRundenbild[i], kRundenbild[i]);
        }
        headless::set_observer(&ohr_);
    }
    void TearDown() override {
        headless::set_observer(nullptr);
        platform::tune_play(nullptr);  // a sounding tune keeps its file open
        DDraw_beenden();
        DSound_beenden();
        platform::window_destroy(Hauptfenster);
        Hauptfenster = nullptr;
        ordner_.reset();
        HeadlessTest::TearDown();
    }

    // 81 glyphs, 56 to a band; marks 16 apart give cells 14 wide.
    static void Schrift_einrichten() {
        Surface* s = lpDDSSchrift;
        DDraw_Puffer_leeren(s, 0x00FF00);
        for (int band = 0; band < 3; ++band) {
            for (int x = 0; x < s->width(); ++x) {
                s->set_pixel(x, band * 22, Wert(0xC9C9C9));
            }
        }
        for (int g = 0; g < 81; ++g) {
            const int oben = (g / 56) * 22 + 1;
            const int marke = 10 + (g % 56) * 16;
            s->set_pixel(marke, oben, Wert(0xC9C9C9));
            s->set_pixel(marke + 16, oben, Wert(0xC9C9C9));
            for (int y = oben; y < oben + kH; ++y) {
                for (int x = marke + 1; x <= marke + kW; ++x) {
                    s->set_pixel(x, y, Wert(x == marke + 1 ? kStrich : Glyphfarbe(g)));
                }
            }
        }
        ASSERT_EQ(BitmapText_einlesen(s, &Zeichensatz, 0xC9C9C9), 0);
        ASSERT_EQ(Zeichensatz.W, kW);
        ASSERT_EQ(Zeichensatz.H, kH);
        ASSERT_EQ(DDraw_Offscreen_klonen(s, lpDDSSchriftRot, 1, kStrich, Hervorhebungsfarbe), 0);
    }

    static const Surface& Bild() { return *headless::last_frame(); }

    // The glyphs whose dark (or red) first column crosses row y of the last
    // frame, left to right.
    static std::vector<Glyph> lesen(int y) {
        const Surface& b = Bild();
        std::vector<Glyph> out;
        const std::uint32_t rot = Wert(Hervorhebungsfarbe);
        for (int x = 0; x + 1 < b.width(); ++x) {
            const std::uint32_t p = b.pixel(x, y);
            if (p != Wert(kStrich) && p != rot) {
                continue;
            }
            for (int g = 0; g < 81; ++g) {
                if (b.pixel(x + 1, y) == Wert(Glyphfarbe(g))) {
                    out.push_back({x, Zeichen(g), p == rot});
                    break;
                }
            }
        }
        return out;
    }
    // The text of row y in the main font (or the red one), blanks left out;
    // x of its first glyph in *x.
    static std::string text(int y, bool rot = false, int* x = nullptr) {
        std::string s;
        for (const Glyph& g : lesen(y)) {
            if (g.rot == rot) {
                if (s.empty() && x != nullptr) {
                    *x = g.x;
                }
                s += g.c;
            }
        }
        return s;
    }
    static int zaehlen(int x0, int y0, int x1, int y1, std::uint32_t farbe) {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += Bild().pixel(x, y) == Wert(farbe) ? 1 : 0;
            }
        }
        return n;
    }

    std::optional<bramble_test::TempWorkingFolder> ordner_;
    Ohr ohr_;
};

TEST_F(ScreensTest, ShellsStandInARowFromTheRight) {
    struct Fall {
        int patronen, links, rechts;
    };
    for (const Fall f : {Fall{6, 872, 1013}, Fall{1, 982, 1013}, Fall{0, -1, -1}}) {
        SCOPED_TRACE(f.patronen);
        Patronen = f.patronen;
        Spielszene_zeichnen();
        int links = -1;
        int rechts = -1;
        for (int x = 0; x < 1024; ++x) {
            if (Bild().pixel(x, 700) == Wert(kPatrone)) {
                links = links < 0 ? x : links;
                rechts = x;
            }
        }
        EXPECT_EQ(links, f.links);
        EXPECT_EQ(rechts, f.rechts);
        EXPECT_EQ(zaehlen(0, 619, 1024, 620, kPatrone), 0);
    }
}

TEST_F(ScreensTest, PopUpsShowForTheirTimeThenSwitchOff) {
    struct Fall {
        const char* name;
        std::int32_t gewinn;
        const char* mp3;
        std::uint32_t dauer;
        int y;
        bool rot;
        std::string gezeigt;
    };
    const std::string lang = std::string(100, 'x') + ".mp3";
    const Fall faelle[] = {
        {"gain", 50, "", 1000, 10, true, "+50"},
        {"loss", -25, "", 1000, 10, true, "-25"},
        {"tune", 0, "song.final.mp3", 2500, 718, false, "song.final"},
        {"no dot", 0, "nodot", 2500, 718, false, "nodot"},
        {"leading dot", 0, ".hidden", 2500, 718, false, ".hidden"},
        // Cut to the line buffer, then to what fits on the screen.
        {"long name", 0, lang.c_str(), 2500, 718, false, std::string(72, 'x')},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        const bool tune = f.mp3[0] != '\0';
        std::uint32_t& start = tune ? Mp3_Startzeit : Gewinnzeit;
        const std::uint32_t t0 = 0xFFFFFF00u;  // across the wrap of the tick count
        headless::set_now(t0);
        Letzter_Gewinn = f.gewinn;
        std::snprintf(Mp3_Liste[3], sizeof Mp3_Liste[3], "%s", f.mp3);
        Mp3_Nummer = 3;
        start = t0;
        headless::set_now(t0 + f.dauer - 1);
        Spielszene_zeichnen();
        EXPECT_EQ(text(f.y + 5, f.rot), f.gezeigt);
        EXPECT_EQ(start, t0);
        headless::set_now(t0 + f.dauer);
        Spielszene_zeichnen();
        EXPECT_EQ(text(f.y + 5, f.rot), "");
        EXPECT_EQ(start, 0u);
    }
}

TEST_F(ScreensTest, DebugModeReplacesThePointsAndTimeTexts) {
    Punkte = 12;
    Zeit = 34;
    Spielszene_zeichnen();
    int x = 0;
    EXPECT_EQ(text(15, false, &x), "Points:0012Time:034");
    EXPECT_EQ(x, 10);
    EXPECT_EQ(zaehlen(590, 18, 1024, 40, 0x000000), 0);

    // The device context writes black: the status line right of x 599 and
    // one line per slot from y 20 to 220.
    Debugmodus = 1;
    Spielszene_zeichnen();
    EXPECT_EQ(text(15), "");
    EXPECT_EQ(zaehlen(0, 0, 599, 20, 0x000000), 0);
    EXPECT_GT(zaehlen(599, 20, 1024, 40, 0x000000), 100);
    EXPECT_GT(zaehlen(20, 220, 400, 236, 0x000000), 100) << "the eleventh slot's line";
    EXPECT_EQ(zaehlen(0, 0, 20, 768, 0x000000), 0);

    Debugmodus = 0;
    Spielszene_zeichnen();
    EXPECT_EQ(text(15), "Points:0012Time:034");
}

TEST_F(ScreensTest, IntroCountsDownAndPlayStartsWithoutAnotherFrame) {
    Zustand_wechseln(Zustand::Rundenstart, 0);
    const std::uint32_t t0 = headless::now();
    ohr_.sounds.clear();
    struct Schritt {
        std::string zeile;
        std::uint32_t t;
        int bild;
    };
    std::vector<Schritt> schritte;
    std::uint64_t vorher = headless::frames_presented();
    while (Spielzustand == Zustand::Rundenstart && headless::now() - t0 < 6000) {
        vorher = headless::frames_presented();
        Rundenstart_zeichnen();
        if (Spielzustand != Zustand::Rundenstart) {
            break;
        }
        const std::string zeile = text(360);
        EXPECT_EQ(text(295), "Round1");
        if (schritte.empty() || schritte.back().zeile != zeile) {
            int bild = -1;
            for (int i = 0; i < 4; ++i) {
                bild = Bild().pixel(400, 100) == Wert(kRundenbild[i]) ? i : bild;
            }
            schritte.push_back({zeile, headless::now() - 16 - t0, bild});
        }
    }
    EXPECT_EQ(Spielzustand, Zustand::Spiel);
    EXPECT_EQ(headless::frames_presented(), vorher) << "the last intro pass flipped a frame";
    ASSERT_EQ(schritte.size(), 5u);
    const char* zeilen[] = {"", "-3-", "-2-", "-1-", "Shot!"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(schritte[i].zeile, zeilen[i]);
        EXPECT_EQ(schritte[i].bild, i == 0 ? 0 : i - 1);
    }
    EXPECT_GT(schritte[1].t, 200u);
    EXPECT_LE(schritte[1].t, 216u);
    for (int i = 2; i < 5; ++i) {
        const std::uint32_t abstand = schritte[i].t - schritte[i - 1].t;
        EXPECT_GT(abstand, 1200u);
        EXPECT_LE(abstand, 1216u);
    }
    EXPECT_EQ(ohr_.sounds, (std::vector<int>{Klang::Countdown, Klang::Countdown, Klang::Countdown,
                                             Klang::Countdown_eins, Klang::Los, Klang::Los_Hall}));
}

TEST_F(ScreensTest, MenuHitRectanglesAndTheRedItem) {
    Menuepunkt = 1;
    Menue_zeichnen();
    const RECT erwartet[4] = {
        {442, 100, 582, 120}, {414, 200, 610, 220}, {428, 300, 596, 320}, {456, 400, 568, 420}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Menue_Trefferfelder[i].left, erwartet[i].left) << i;
        EXPECT_EQ(Menue_Trefferfelder[i].top, erwartet[i].top) << i;
        EXPECT_EQ(Menue_Trefferfelder[i].right, erwartet[i].right) << i;
        EXPECT_EQ(Menue_Trefferfelder[i].bottom, erwartet[i].bottom) << i;
    }
    int x = 0;
    EXPECT_EQ(text(205, true, &x), "ShowHighscores");
    EXPECT_EQ(x, 414);
    EXPECT_EQ(text(405, false, &x), "ExitGame");
    EXPECT_EQ(x, 436);
    EXPECT_EQ(text(105), "StartGame");
}

TEST_F(ScreensTest, MenuRedPulsesWithinItsBounds) {
    Menuepunkt = 0;
    int vorher = -1;
    int unten_gehalten = 0;
    for (int frame = 0; frame < 300; ++frame) {
        Menue_zeichnen();
        const int rot = static_cast<int>(Hervorhebungsfarbe >> 16);
        ASSERT_EQ(Hervorhebungsfarbe & 0xFFFF, 0u);
        ASSERT_GE(rot, 150);
        ASSERT_LE(rot, 250);
        if (vorher >= 0) {
            const int schritt = rot - vorher;
            if (schritt == 0) {
                ASSERT_EQ(rot, 150) << "only the lower bound is held";
                ++unten_gehalten;
            } else {
                ASSERT_TRUE(schritt == 2 || schritt == -2) << schritt;
            }
        }
        vorher = rot;
        // The red item shows the very colour the red font has now.
        int x = 0;
        ASSERT_EQ(text(105, true, &x), "StartGame");
    }
    EXPECT_GE(unten_gehalten, 2);
}

TEST_F(ScreensTest, NameEditorKeepsSixteenCharactersAndBeepsForEveryKey) {
    struct Fall {
        const char* start;
        std::string tasten;
        const char* text;
    };
    const Fall faelle[] = {
        {"", "abcdefghijklmnopqrst", "abcdefghijklmnop"},
        {"", "\b", ""},
        {"abc", "\t\n\r", "abc"},
        {"0123456789abcdef", "xy\bz", "0123456789abcdez"},
        {"Ann", "\b\bx", "Ax"},
        {"", "\xE9\x0B", "\xE9\x0B"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.start + std::string(" + ") + f.tasten);
        char name[17] = {};
        std::strcpy(name, f.start);
        Texteingabe(3, 0, name);
        const int beeps = headless::beep_count();
        for (char k : f.tasten) {
            Texteingabe(2, static_cast<unsigned char>(k), name);
        }
        char aus[17];
        std::memset(aus, 'z', sizeof aus);
        Texteingabe(4, 0, aus);
        EXPECT_STREQ(aus, f.text);
        EXPECT_EQ(Eingabepuffer.Laenge, static_cast<std::int32_t>(std::strlen(f.text)));
        EXPECT_EQ(headless::beep_count() - beeps, static_cast<int>(f.tasten.size()));
    }
    // A name without its zero in 17 bytes gives its first 16 characters.
    char voll[17];
    std::memset(voll, 'q', sizeof voll);
    Texteingabe(3, 0, voll);
    EXPECT_EQ(Eingabepuffer.Laenge, 16);
    EXPECT_EQ(Eingabepuffer.Text[16], '\0');
}

TEST_F(ScreensTest, RoundEndScreensTexts) {
    Highscoreliste[0].Punkte = 500;
    Highscoreliste[9].Punkte = 10;
    struct Fall {
        int zustand;
        std::uint8_t gewonnen;
        std::int32_t punkte;
        std::string ueberschrift;  // red, at y 50
        int y;
        std::string zeile;  // main font at y
    };
    const Fall faelle[] = {
        {Zustand::Game_Over, 0, 0, "GAMEOVER", 212, "Youarealoser."},
        {Zustand::Game_Over, 0, 5, "GAMEOVER", 212, "Youhaveonly0005points."},
        {Zustand::Game_Over, 1, 600, "GAMEOVER", 212, ""},
        {Zustand::Neuer_Highscore, 1, 501, "NEWHIGHSCORE", 200, "Youhave0501points."},
        {Zustand::Neuer_Highscore, 1, 500, "NEWRECORD", 200, "Youhave0500points."},
    };
    char name[17] = "Ann";
    Texteingabe(3, 0, name);
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.zeile + f.ueberschrift);
        Gewonnen = f.gewonnen;
        Punkte = f.punkte;
        if (f.zustand == Zustand::Game_Over) {
            Game_Over_zeichnen();
        } else {
            Neuer_Highscore_zeichnen();
            EXPECT_EQ(text(505, true), "(Ann)");
            EXPECT_STREQ(Spielername, "Ann");
        }
        EXPECT_EQ(text(55, true), f.ueberschrift);
        EXPECT_EQ(text(f.y + 5), f.zeile);
        EXPECT_EQ(Bild().pixel(5, 760), Wert(kLandschaft));
    }
}

TEST_F(ScreensTest, HighscoreTableRowsStepDownAndRight) {
    for (int i = 0; i < 10; ++i) {
        Highscoreliste[i].Punkte = 7 + 100 * (9 - i);
        std::snprintf(Highscoreliste[i].Name, sizeof Highscoreliste[i].Name, "%s",
                      i == 0 ? "ThirteenChars" : "Bo");
    }
    Highscoreliste_zeichnen();
    EXPECT_EQ(text(80), "Top10");
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const std::vector<Glyph> zeile = lesen(170 + 20 * i + 5);
        ASSERT_GE(zeile.size(), 9u);
        const std::string nummer = i < 9 ? "0" + std::to_string(i + 1) + "." : "10.";
        EXPECT_EQ(std::string({zeile[0].c, zeile[1].c, zeile[2].c}), nummer);
        EXPECT_EQ(zeile[0].x, 200 + 3 * i - 3 * kW);
        EXPECT_EQ(zeile[3].x, 240 + 3 * i);
        const Glyph& punkte = zeile[zeile.size() - 4];
        EXPECT_EQ(punkte.x, 720 + 3 * i);
    }
    EXPECT_EQ(text(355), "10.Bo0007");
    EXPECT_EQ(text(175), "01.ThirteenChars0907");
}

TEST_F(ScreensTest, CreditsPagesHoldAndComeRoundAgain) {
    // Pages as the reader sees them: the first line of each complete page.
    const std::vector<std::string> ueberschriften = {"GameDesign", "Programming", "Grafik",
                                                     "SoundFx",    "SpecialFx",   "SpecialThanks",
                                                     "Pictures",   "Contact"};
    for (const Credits_Seite& s : Credits_Seiten) {
        EXPECT_LE(std::strlen(s.Text), 95u);
    }
    headless::set_frame_ms(50);
    Zustand_wechseln(Zustand::Credits, 0);
    struct Stand {
        std::string seite;
        std::uint32_t dauer;
    };
    std::vector<Stand> gesehen;
    std::vector<std::uint16_t> letztes;
    std::uint32_t seit = 0;
    std::string seite;
    bool steht = false;
    for (int frame = 0; frame < 4000 && gesehen.size() < 10; ++frame) {
        Credits_zeichnen();
        std::vector<std::uint16_t> jetzt;
        for (int y = 0; y < 768; y += 3) {
            for (int x = 0; x < 1024; x += 2) {
                jetzt.push_back(static_cast<std::uint16_t>(Bild().pixel(x, y)));
            }
        }
        const std::uint32_t t = headless::now() - 50;
        if (jetzt == letztes && !steht) {
            steht = true;
            seit = t - 50;
            seite = text(205);
        } else if (jetzt != letztes && steht) {
            // Letters in flight can stand still for a frame or two, and the
            // screen stands empty while they are beyond its edges: only a
            // page that stands with its text counts.
            steht = false;
            if (t - seit >= 1000 && !seite.empty()) {
                gesehen.push_back({seite, t - seit});
            }
        }
        letztes.swap(jetzt);
    }
    ASSERT_GE(gesehen.size(), 10u);
    // In table order, the first after the last; the first page seen may be
    // one that a previous visit left half-flown.
    for (std::size_t i = 1; i < gesehen.size(); ++i) {
        const auto vorige =
            std::find(ueberschriften.begin(), ueberschriften.end(), gesehen[i - 1].seite);
        ASSERT_NE(vorige, ueberschriften.end()) << gesehen[i - 1].seite;
        EXPECT_EQ(gesehen[i].seite,
                  vorige + 1 == ueberschriften.end() ? ueberschriften[0] : *(vorige + 1));
    }
    for (std::size_t i = 1; i < gesehen.size(); ++i) {
        SCOPED_TRACE(gesehen[i].seite);
        const std::uint32_t halten = gesehen[i].seite == "Contact" ? 8000 : 2000;
        EXPECT_GT(gesehen[i].dauer, halten);
        EXPECT_LE(gesehen[i].dauer, halten + 250);
    }
}

TEST_F(ScreensTest, HiddenPageStandsInForTheCreditsWhileOn) {
    Zustand_wechseln(Zustand::Credits, 0);
    Credits_zeichnen();
    ASSERT_EQ(Geheimseite_zeichnen(0), 0);
    EXPECT_EQ(Geheimseite_zeichnen(1), 3);
    Credits_zeichnen();
    EXPECT_EQ(text(55), "Ausis03/02!");
    EXPECT_EQ(Geheimseite_zeichnen(2), 0);
    Credits_zeichnen();
    EXPECT_NE(text(55), "Ausis03/02!");
}

}  // namespace
