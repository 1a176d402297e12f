// The start-up sequence in a temporary folder with a minimal data set: the
// required files, the player's name, each fatal step with its error number,
// and the background pictures the main loop loads per state.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/spiel.h"
#include "app/start.h"
#include "audio/audio.h"
#include "gfx/bilder.h"
#include "gfx/ddraw.h"
#include "platform/window.h"
#include "support/fixture.h"
#include "support/game_data.h"
#include "text/bitmaptext.h"

using bramble_test::HeadlessTest;
using platform::Fault;
namespace headless = platform::headless;
namespace fs = std::filesystem;

namespace {

constexpr const char* kFehlt =
    "Es fehlt mindestens eine Datei!\nDas Spiel kann leider nicht gestartet werden!";
constexpr const char* kAbbruch = "Dieses Spiel kann leider nicht gestartet werden!";

// Records the tunes the game starts.
struct Ohr : headless::Observer {
    std::vector<std::string> tunes;
    std::vector<int> sounds;
    void on_tune(const char* file) override { tunes.push_back(file != nullptr ? file : ""); }
    void on_sound(int item, int, int) override { sounds.push_back(item); }
    void on_mp3(const char*, const char*) override { ++mp3; }
    int mp3 = 0;
};

class StartupTest : public HeadlessTest {
   protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        alt_ = fs::current_path();
        char muster[] = "/tmp/bramble-start-XXXXXX";
        ASSERT_NE(mkdtemp(muster), nullptr);
        ordner_ = muster;
        fs::current_path(ordner_);
        headless::set_observer(&ohr_);
        Hauptfenster = platform::window_create("Bramblecourt", Fensterprozedur);
        ASSERT_NE(Hauptfenster, nullptr);
    }
    void TearDown() override {
        Spiel_beenden();
        platform::window_destroy(Hauptfenster);
        Hauptfenster = nullptr;
        headless::set_observer(nullptr);
        fs::current_path(alt_);
        fs::remove_all(ordner_);
        HeadlessTest::TearDown();
    }

    void daten(const bramble_test::GameDataOptions& optionen = {}) {
        ASSERT_TRUE(bramble_test::write_game_data(".", optionen));
    }

    void starten() {
        Spiel_zuruecksetzen();
        Spiel_starten();
    }

    // Every failing routine of the finished game reports its own message
    // before the final box; a final box alone means the start-up reached a
    // subsystem that is still a placeholder.
    bool platzhalter_erreicht() const {
        const auto& b = headless::boxes();
        return Spielzustand == 9 && b.size() == 1 && b[0].text == kAbbruch;
    }

    // The start-up must fail with error number nummer after at least one
    // message of the failing routine.
    void erwarte_abbruch(int nummer) {
        const auto& b = headless::boxes();
        EXPECT_EQ(Spielzustand, 9);
        ASSERT_GE(b.size(), 2u);
        EXPECT_EQ(b.back().caption, "Error Nr.:" + std::to_string(nummer));
        EXPECT_EQ(b.back().text, kAbbruch);
        EXPECT_EQ(b.back().type & MB_ICONERROR, MB_ICONERROR);
        EXPECT_EQ(b.front().caption, "Error...");
    }

    // Pixel of a surface as the game's 16-bit format gives colour c.
    static std::uint32_t pixel16(std::uint32_t c) {
        return static_cast<std::uint32_t>(Farbe_16Bit(c));
    }

    fs::path alt_;
    fs::path ordner_;
    Ohr ohr_;
};

#define SKIP_AT_PLACEHOLDER()                                                             \
    if (platzhalter_erreicht()) {                                                         \
        GTEST_SKIP() << "start-up stopped at " << headless::boxes()[0].caption            \
                     << " without a message of its own: that subsystem is a placeholder"; \
    }

TEST_F(StartupTest, EachMissingFileGivesTheOneMessage) {
    const char* dateien[] = {"Grafik.dat", "Sound.dat", "start.wav",  "main.wav",
                             "win.wav",    "lose.wav",  "credits.wav"};
    // A named pipe in a file's place is no file either (opening it would wait
    // for a writer).
    for (const bool pipe : {false, true}) {
        for (const char* datei : dateien) {
            SCOPED_TRACE(std::string(datei) + (pipe ? " as a pipe" : ""));
            headless::clear_boxes();
            daten();
            fs::remove(datei);
            if (pipe) {
                ASSERT_EQ(mkfifo(datei, 0644), 0);
            }
            starten();
            EXPECT_EQ(Spielzustand, 9);
            ASSERT_EQ(headless::boxes().size(), 1u);
            EXPECT_EQ(headless::boxes()[0].text, kFehlt);
            EXPECT_EQ(headless::boxes()[0].caption, "Error...");
            EXPECT_EQ(lpDD, nullptr);               // the display was never touched
            EXPECT_FALSE(fs::exists("Score.dat"));  // nor the highscores
            EXPECT_STREQ(Spielername, "");
            fs::remove(datei);
        }
    }
}

TEST_F(StartupTest, WithoutTheFilesTheProgramEndsFourSecondsAfterTheReset) {
    platform::window_destroy(Hauptfenster);
    const std::uint32_t start = headless::now();
    EXPECT_EQ(Hauptprogramm(), 1);
    EXPECT_EQ(headless::now(), start + 4000);
    EXPECT_EQ(headless::frames_presented(), 0u);
    ASSERT_EQ(headless::boxes().size(), 1u);
    EXPECT_EQ(headless::boxes()[0].text, kFehlt);
    Hauptfenster = platform::window_create("Bramblecourt", Fensterprozedur);
}

// The window class and the window are the first things made; without them
// the program shows one box, starts nothing else and ends at once.
TEST_F(StartupTest, WithoutItsWindowTheProgramEndsWithTheStepsCaption) {
    const std::pair<platform::Fault, const char*> faelle[] = {
        {platform::Fault::WindowClass, "Error - RegisterClass"},
        {platform::Fault::WindowCreate, "Error - CreateWindow"},
    };
    for (const auto& [fehler, beschriftung] : faelle) {
        SCOPED_TRACE(beschriftung);
        daten();
        platform::window_destroy(Hauptfenster);
        headless::clear_boxes();
        headless::arm_fault(fehler);
        const std::uint32_t start = headless::now();
        EXPECT_EQ(Hauptprogramm(), 1);
        EXPECT_EQ(headless::now(), start);  // no shutdown wait: nothing was started
        ASSERT_EQ(headless::boxes().size(), 1u);
        EXPECT_EQ(headless::boxes()[0].caption, beschriftung);
        EXPECT_EQ(headless::boxes()[0].text, "Programm konnte nicht gestartet werden!");
        EXPECT_FALSE(fs::exists("Score.dat"));
        Hauptfenster = platform::window_create("Bramblecourt", Fensterprozedur);
    }
}

TEST_F(StartupTest, LoginNamePresetsThePlayerNameCutTo16) {
    daten();
    const std::pair<const char*, const char*> faelle[] = {
        {"Sixteen-chars-ok", "Sixteen-chars-ok"},
        {"Seventeen-chars-x", "Seventeen-chars-"},
        {"a-login-name-of-forty-characters-or-so-x", "a-login-name-of-"},
        {"", ""}};
    for (const auto& [anmeldung, name] : faelle) {
        SCOPED_TRACE(anmeldung);
        Spiel_beenden();
        headless::set_user_name(anmeldung);
        starten();
        EXPECT_STREQ(Spielername, name);
    }
}

TEST_F(StartupTest, ArchiveWithAnotherKeyStopsWithItsNumber) {
    for (int welches : {8, 9}) {
        SCOPED_TRACE(welches);
        Spiel_beenden();
        headless::clear_boxes();
        bramble_test::GameDataOptions o;
        (welches == 8 ? o.grafik_key : o.sound_key) = "QK7RM2D9TXB4HP1Y";
        daten(o);
        starten();
        SKIP_AT_PLACEHOLDER();
        erwarte_abbruch(welches);
        EXPECT_NE(headless::boxes()[0].text.find(welches == 8 ? "Grafik.dat" : "Sound.dat"),
                  std::string::npos);
        EXPECT_EQ(lpDD, nullptr);
        // The list was made before the archives were opened.
        EXPECT_EQ(fs::file_size("Score.dat"), 288u);
        fs::remove("Score.dat");
    }
}

TEST_F(StartupTest, PlatformFailuresStopWithTheirNumbers) {
    struct Fall {
        Fault fehler;
        int skip;
        int nummer;
    };
    // Offscreen surfaces in order: background, landscape, font, red font,
    // four intro pictures, pop-up figure, shell, impact. Locks: the font
    // picture's load, the font's reading, then the copy's source and target.
    const Fall faelle[] = {{Fault::DisplayCreate, 0, 10},  {Fault::DisplayMode, 0, 10},
                           {Fault::ClipperCreate, 0, 11},  {Fault::SurfaceCreate, 0, 12},
                           {Fault::SurfaceCreate, 1, 13},  {Fault::SurfaceCreate, 2, 14},
                           {Fault::SurfaceCreate, 3, 17},  {Fault::SurfaceLock, 2, 18},
                           {Fault::SurfaceLock, 3, 18},    {Fault::SurfaceCreate, 9, 19},
                           {Fault::SurfaceCreate, 10, 21}, {Fault::SoundDeviceCreate, 0, 23}};
    daten();
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.nummer);
        Spiel_beenden();
        headless::clear_boxes();
        headless::clear_faults();
        headless::arm_fault(f.fehler, f.skip, 1);
        starten();
        SKIP_AT_PLACEHOLDER();
        if (f.nummer == 23 && Spielzustand == 0 && lpDS == nullptr) {
            GTEST_SKIP() << "the sound system is still a placeholder";
        }
        erwarte_abbruch(f.nummer);
        EXPECT_EQ(fs::file_size("Score.dat"), 288u);
        fs::remove("Score.dat");
    }
}

TEST_F(StartupTest, BrokenPicturesStopWithTheirNumbers) {
    struct Fall {
        int eintrag;
        int nummer;
    };
    for (const Fall f : {Fall{31, 15}, Fall{30, 20}, Fall{2, 22}}) {
        SCOPED_TRACE(f.nummer);
        Spiel_beenden();
        headless::clear_boxes();
        bramble_test::GameDataOptions o;
        o.pictures[f.eintrag] = bramble_test::plain_picture(16, 16, 5);
        daten(o);
        starten();
        SKIP_AT_PLACEHOLDER();
        erwarte_abbruch(f.nummer);
    }
    // A font picture without separator lines cannot be read.
    Spiel_beenden();
    headless::clear_boxes();
    bramble_test::GameDataOptions o;
    o.pictures[31] = bramble_test::plain_picture(920, 152, 5);
    daten(o);
    starten();
    SKIP_AT_PLACEHOLDER();
    erwarte_abbruch(16);
}

TEST_F(StartupTest, IntroPictureFailureIsNotFatal) {
    daten();
    headless::arm_fault(Fault::SurfaceCreate, 5, 1);  // intro picture 1
    starten();
    SKIP_AT_PLACEHOLDER();
    EXPECT_EQ(Spielzustand, 0);
    ASSERT_GE(headless::boxes().size(), 1u);
    EXPECT_EQ(headless::boxes()[0].text, "DDraw_Offscreen_anlegen: CreateSurface()");
}

TEST_F(StartupTest, SuccessLeavesTheTitleWithItsPictureDueAtTheFirstPass) {
    daten();
    starten();
    SKIP_AT_PLACEHOLDER();
    ASSERT_EQ(Spielzustand, 0);
    EXPECT_TRUE(headless::boxes().empty());
    EXPECT_EQ(Hintergrund_neu, 1);
    EXPECT_EQ(Gewonnen, 1);
    EXPECT_STREQ(Spielername, "player");
    EXPECT_NE(lpDDSSchriftRot, nullptr);
    const int titel = bramble_test::picture_colour_index(32);
    EXPECT_NE(lpDDSHintergrund->pixel(512, 384), pixel16(bramble_test::palette_colour(titel)));
    if (lpDS != nullptr) {
        EXPECT_EQ(ohr_.tunes, (std::vector<std::string>{"start.wav"}));
    }

    Durchlauf();
    EXPECT_EQ(Hintergrund_neu, 0);
    EXPECT_EQ(lpDDSHintergrund->pixel(512, 384), pixel16(bramble_test::palette_colour(titel)));

    // No MP3 file in the folder: the jukebox stays silent, also at a round
    // start and under its keys.
    EXPECT_EQ(Mp3_Status, Mp3::Keine);
    Zustand_wechseln(Zustand::Rundenstart, 1);
    Zustand_setzen(Zustand::Spiel);
    for (WPARAM taste : {WPARAM{VK_UP}, WPARAM{VK_F2}, WPARAM{VK_F3}}) {
        Fensterprozedur(Hauptfenster, WM_KEYDOWN, taste, 0);
    }
    EXPECT_EQ(ohr_.mp3, 0);
}

TEST_F(StartupTest, EachStateLoadsItsBackground) {
    daten();
    starten();
    SKIP_AT_PLACEHOLDER();
    const auto farbe = [](int eintrag) {
        return pixel16(bramble_test::palette_colour(bramble_test::picture_colour_index(eintrag)));
    };
    const auto geladen = [&](Surface* s, int eintrag) {
        return s->pixel(512, 400) == farbe(eintrag);
    };

    Durchlauf();
    EXPECT_TRUE(geladen(lpDDSHintergrund, 32));
    Fensterprozedur(Hauptfenster, WM_KEYDOWN, VK_RETURN, 0);
    Durchlauf();
    EXPECT_TRUE(geladen(lpDDSHintergrund, 24));

    // From a fresh start Gewonnen is 1: the table shows picture 33.
    Menuepunkt = 1;
    Fensterprozedur(Hauptfenster, WM_KEYDOWN, VK_RETURN, 0);
    Durchlauf();
    EXPECT_TRUE(geladen(lpDDSHintergrund, 33));
    Gewonnen = 0;
    Zustand_wechseln(6, 1);
    Durchlauf();
    EXPECT_TRUE(geladen(lpDDSHintergrund, 23));
    Zustand_wechseln(7, 1);
    Durchlauf();
    EXPECT_TRUE(geladen(lpDDSHintergrund, 3));

    Zustand_wechseln(2, 1);
    Durchlauf();
    EXPECT_TRUE(geladen(lpDDSLandschaft, 1));
    // Playing again does not reload the landscape.
    lpDDSLandschaft->set_pixel(512, 400, 0x1234);
    Zustand_wechseln(2, 0);
    Durchlauf();
    EXPECT_EQ(lpDDSLandschaft->pixel(512, 400), 0x1234u);
}

TEST_F(StartupTest, MenuSoundsAndTunes) {
    daten();
    starten();
    SKIP_AT_PLACEHOLDER();
    if (lpDS == nullptr || lpDSBSounds[19] == nullptr) {
        GTEST_SKIP() << "the sound effects are still a placeholder";
    }
    ohr_.sounds.clear();
    ohr_.tunes.clear();
    const auto taste = [](WPARAM vk) { Fensterprozedur(Hauptfenster, WM_KEYDOWN, vk, 0); };
    taste(VK_RETURN);  // title -> menu: sound 5, main.wav
    taste(VK_UP);
    taste(VK_DOWN);
    taste(VK_ESCAPE);  // quit question: sound 20
    taste(VK_ESCAPE);  // back: sound 5
    Menuepunkt = 1;
    taste(VK_SPACE);   // highscores: win.wav after the title, sound 16
    taste(VK_ESCAPE);  // back to the menu, the tune stops
    EXPECT_EQ(ohr_.sounds, (std::vector<int>{5, 19, 19, 20, 5, 16, 5}));
    EXPECT_EQ(ohr_.tunes, (std::vector<std::string>{"main.wav", "win.wav", ""}));
}

}  // namespace
