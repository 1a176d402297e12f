// The installed game's folders: the player's game folder and how it is made,
// and reads that fall back from the working folder to the installed data,
// which is never written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/spiel.h"
#include "app/start.h"
#include "gfx/bilder.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "support/fixture.h"
#include "support/game_data.h"

namespace fs = std::filesystem;
namespace headless = platform::headless;
using platform::File;

namespace {

void schreiben(const fs::path& pfad, const std::string& inhalt) {
    std::ofstream(pfad, std::ios::binary) << inhalt;
}

std::string lesen(File& datei) {
    std::string inhalt(static_cast<std::size_t>(datei.size()), '\0');
    datei.read(inhalt.data(), inhalt.size());
    return inhalt;
}

// Every file below a folder with its contents, to see that nothing changed.
std::string bestand(const fs::path& ordner) {
    std::string s;
    for (const auto& e : fs::recursive_directory_iterator(ordner)) {
        s += e.path().lexically_relative(ordner).string();
        if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            s += "=" + std::string(std::istreambuf_iterator<char>(in), {});
        }
        s += "\n";
    }
    return s;
}

// A working folder and an installed data folder side by side.
class FilesTest : public bramble_test::HeadlessTest {
   protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        alt_ = fs::current_path();
        char muster[] = "/tmp/bramble-files-XXXXXX";
        ASSERT_NE(mkdtemp(muster), nullptr);
        wurzel_ = muster;
        fs::create_directories(wurzel_ / "spiel");
        fs::create_directories(wurzel_ / "daten");
        fs::current_path(wurzel_ / "spiel");
        platform::set_read_fallback((wurzel_ / "daten").string());
    }
    void TearDown() override {
        platform::set_read_fallback("");
        fs::current_path(alt_);
        fs::remove_all(wurzel_);
        HeadlessTest::TearDown();
    }

    fs::path alt_;
    fs::path wurzel_;
};

TEST_F(FilesTest, ReadsFallBackToTheDataFolderAndNothingElseDoes) {
    schreiben("beide.dat", "spiel");
    schreiben(wurzel_ / "daten" / "beide.dat", "daten");
    schreiben(wurzel_ / "daten" / "nur_daten.dat", "daten");
    fs::create_directory("ordner.dat");
    schreiben(wurzel_ / "daten" / "ordner.dat", "daten");
    const std::string absolut = (wurzel_ / "daten" / "nur_daten.dat").string();

    struct Fall {
        const char* name;
        File::Mode modus;
        std::optional<std::string> gelesen;  // nothing: not opened
    };
    const Fall faelle[] = {
        {"beide.dat", File::Mode::Read, "spiel"},  // the player's own comes first
        {"nur_daten.dat", File::Mode::Read, "daten"},
        {"fehlt.dat", File::Mode::Read, std::nullopt},
        // Only a name that is missing falls back, not one that cannot be read.
        {"ordner.dat", File::Mode::Read, std::nullopt},
        {"nur_daten.dat", File::Mode::ReadWrite, std::nullopt},
        {absolut.c_str(), File::Mode::Read, "daten"},
        {"", File::Mode::Read, std::nullopt},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        const auto datei = File::open(f.name, f.modus);
        ASSERT_EQ(datei != nullptr, f.gelesen.has_value());
        if (datei != nullptr) {
            EXPECT_EQ(lesen(*datei), *f.gelesen);
        }
    }
    EXPECT_EQ(platform::readable_path("beide.dat"), "beide.dat");
    EXPECT_EQ(platform::readable_path("nur_daten.dat"), absolut);
    EXPECT_EQ(platform::readable_path("fehlt.dat"), "fehlt.dat");

    // Creating a file the data folder has makes it in the working folder.
    const std::string vorher = bestand(wurzel_ / "daten");
    auto neu = File::open("nur_daten.dat", File::Mode::Create);
    ASSERT_NE(neu, nullptr);
    EXPECT_EQ(neu->write("neu", 3), 3);
    neu.reset();
    EXPECT_EQ(bestand(wurzel_ / "daten"), vorher);
    auto wieder = File::open("nur_daten.dat", File::Mode::Read);
    ASSERT_NE(wieder, nullptr);
    EXPECT_EQ(lesen(*wieder), "neu");

    // Without a fallback only the working folder counts.
    platform::set_read_fallback("");
    EXPECT_NE(File::open("nur_daten.dat", File::Mode::Read), nullptr);  // made above
    EXPECT_NE(File::open(absolut.c_str(), File::Mode::Read), nullptr);
    fs::remove("nur_daten.dat");
    EXPECT_EQ(File::open("nur_daten.dat", File::Mode::Read), nullptr);
    EXPECT_EQ(platform::readable_path("nur_daten.dat"), "nur_daten.dat");
}

// The whole start-up in an empty game folder, the seven files only in the
// data folder: it reaches the title, plays its tune from there, and leaves
// the data folder as it was.
TEST_F(FilesTest, StartUpFindsTheInstalledData) {
    ASSERT_TRUE(bramble_test::write_game_data((wurzel_ / "daten").string()));
    const std::string vorher = bestand(wurzel_ / "daten");
    EXPECT_TRUE(Datei_vorhanden("Grafik.dat"));
    EXPECT_TRUE(Dateien_pruefen());
    EXPECT_TRUE(platform::tune_play("main.wav"));
    platform::tune_play(nullptr);

    Hauptfenster = platform::window_create("Bramblecourt", Fensterprozedur);
    ASSERT_NE(Hauptfenster, nullptr);
    Spiel_zuruecksetzen();
    Spiel_starten();
    const bool platzhalter = Spielzustand == Zustand::Ende && headless::boxes().size() == 1 &&
                             headless::boxes()[0].caption.rfind("Error Nr.:", 0) == 0;
    const auto boxen = headless::boxes();
    const int zustand = Spielzustand;
    Spiel_beenden();
    platform::window_destroy(Hauptfenster);
    Hauptfenster = nullptr;
    if (platzhalter) {
        GTEST_SKIP() << "start-up stopped at " << boxen[0].caption
                     << " without a message of its own: that subsystem is a placeholder";
    }
    EXPECT_EQ(zustand, Zustand::Titel);
    EXPECT_TRUE(boxen.empty()) << boxen.front().text;
    EXPECT_EQ(bestand(wurzel_ / "daten"), vorher);
    for (const auto& e : fs::directory_iterator(".")) {
        EXPECT_EQ(e.path().filename(), "Score.dat") << "written into the game folder";
    }

    // Without the fallback the same folder lacks its files.
    platform::set_read_fallback("");
    EXPECT_FALSE(Datei_vorhanden("Grafik.dat"));
    EXPECT_FALSE(platform::tune_play("main.wav"));
}

TEST_F(FilesTest, GameFolderFollowsTheXdgRules) {
    const char* xdg_alt = std::getenv("XDG_DATA_HOME");
    const char* home_alt = std::getenv("HOME");
    const std::string xdg_vorher = xdg_alt != nullptr ? xdg_alt : "";
    const std::string home_vorher = home_alt != nullptr ? home_alt : "";

    struct Fall {
        const char* xdg;  // null: unset
        const char* home;
        const char* ordner;
    };
    const Fall faelle[] = {
        {"/x/data", "/h", "/x/data/bramblecourt"},
        {"/x/data//", "/h", "/x/data/bramblecourt"},
        {nullptr, "/h", "/h/.local/share/bramblecourt"},
        {"", "/h", "/h/.local/share/bramblecourt"},
        // A relative XDG_DATA_HOME is not to be used.
        {"data", "/h", "/h/.local/share/bramblecourt"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.ordner);
        if (f.xdg != nullptr) {
            setenv("XDG_DATA_HOME", f.xdg, 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
        setenv("HOME", f.home, 1);
        EXPECT_EQ(platform::player_game_folder("bramblecourt"), f.ordner);
    }
    // Without HOME the user database has the home folder.
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    const std::string ohne_home = platform::player_game_folder("bramblecourt");
    EXPECT_EQ(ohne_home.front(), '/');
    EXPECT_TRUE(ohne_home.ends_with("/.local/share/bramblecourt")) << ohne_home;

    xdg_alt != nullptr ? setenv("XDG_DATA_HOME", xdg_vorher.c_str(), 1) : unsetenv("XDG_DATA_HOME");
    home_alt != nullptr ? setenv("HOME", home_vorher.c_str(), 1) : unsetenv("HOME");
}

TEST_F(FilesTest, EnteringTheGameFolderMakesItPrivately) {
    const fs::path ordner = wurzel_ / "neu" / "data" / "bramblecourt";
    std::string grund;
    ASSERT_TRUE(platform::enter_folder(ordner.string(), grund)) << grund;
    EXPECT_EQ(fs::current_path(), ordner);
    for (const fs::path& p : {wurzel_ / "neu", wurzel_ / "neu" / "data", ordner}) {
        struct stat st {};
        ASSERT_EQ(stat(p.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << p;
    }
    // Entering it again is fine.
    ASSERT_TRUE(platform::enter_folder(ordner.string(), grund)) << grund;

    // A file where a folder should be, or a relative path, is an error that
    // says why.
    schreiben(wurzel_ / "datei", "x");
    EXPECT_FALSE(platform::enter_folder((wurzel_ / "datei" / "bramblecourt").string(), grund));
    EXPECT_NE(grund.find("datei"), std::string::npos) << grund;
    EXPECT_FALSE(platform::enter_folder("relativ/bramblecourt", grund));
    EXPECT_EQ(fs::current_path(), ordner);
}

}  // namespace
