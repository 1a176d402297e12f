// The Windows files of the platform layer, run under Wine: folders and files
// with non-ASCII names, the replace-by-move of a file (also when the writer
// is killed at random moments), the shipped font, the clock and the user
// name.
// clang-format off
#include <windows.h>  // first: the shell's headers rely on it
// clang-format on
#include <gtest/gtest.h>
#include <io.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/folders.h"
#include "platform/fonts.h"
#include "platform/system.h"
#include "platform/windows/wide.h"

namespace {

using platform::File;
using platform::windows::narrow;
using platform::windows::widen;

std::string temp_folder() {
    wchar_t buf[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, buf);
    std::string t = narrow(buf);
    while (!t.empty() && (t.back() == '\\' || t.back() == '/')) {
        t.pop_back();
    }
    return t;
}

std::string current_folder() {
    wchar_t buf[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, buf);
    return narrow(buf);
}

std::string read_all(const char* name) {
    auto f = File::open(name, File::Mode::Read);
    if (f == nullptr) {
        return "<missing>";
    }
    std::string s(static_cast<std::size_t>(f->size()), '\0');
    return f->read(s.data(), s.size()) == static_cast<std::int64_t>(s.size()) ? s : "<short>";
}

bool replace_with(const char* name, const std::string& text) {
    auto f = File::open(name, File::Mode::Replace);
    return f != nullptr &&
           f->write(text.data(), text.size()) == static_cast<std::int64_t>(text.size()) &&
           f->commit();
}

// Set by the kill test's writer process when it begins to write.
constexpr wchar_t kWriterStarted[] = L"bramblecourt-test-writer-started";

// Version g of the file the kill test writes: longer than one small write.
std::string version(int g) {
    return "version " + std::to_string(g) + " " + std::string(500, static_cast<char>('a' + g % 26));
}

bool exists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Each test plays in a fresh folder whose name has letters outside ASCII and
// outside Windows-1252, as a user name can.
class WindowsPlatform : public ::testing::Test {
   protected:
    void SetUp() override {
        before_ = current_folder();
        root_ = temp_folder() + "\\bramble-" + std::to_string(GetCurrentProcessId()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = root_ +
                  "\\Zo\xC3\xAB \xC5\x81\xC3\xB3"
                  "d\xC5\xBA\\AppData\\bramblecourt";
        std::string error;
        ASSERT_TRUE(platform::enter_folder(folder_, error)) << error;
    }
    void TearDown() override {
        SetCurrentDirectoryW(widen(before_).c_str());
        std::wstring from = widen(root_);
        from.push_back(L'\0');  // a double-terminated list
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        SHFileOperationW(&op);
        platform::set_read_fallback({});
    }
    std::string before_, root_, folder_;
};

TEST_F(WindowsPlatform, EntersAFolderUnderANonAsciiNameAndRefusesRelativeOnes) {
    EXPECT_EQ(current_folder(), folder_);
    struct Case {
        std::string folder;
        bool ok;
    };
    const Case cases[] = {
        {folder_, true},                         // exists already
        {folder_ + "/deeper\\still", true},      // both separators
        {"relative\\folder", false},             // not absolute
        {"", false},                             //
        {folder_ + "\\file.txt\\below", false},  // a file in the way
    };
    ASSERT_TRUE(replace_with("file.txt", "x"));
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(platform::enter_folder(c.folder, error), c.ok) << c.folder << ": " << error;
        EXPECT_EQ(error.empty(), c.ok) << c.folder;
        SetCurrentDirectoryW(widen(folder_).c_str());
    }
}

TEST_F(WindowsPlatform, ReplaceIsAllOrNothing) {
    ASSERT_TRUE(replace_with("Score.dat", "first"));
    EXPECT_EQ(read_all("Score.dat"), "first");
    ASSERT_TRUE(replace_with("Score.dat", "second, longer"));
    EXPECT_EQ(read_all("Score.dat"), "second, longer");
    EXPECT_FALSE(exists(folder_ + "\\Score.dat.tmp"));

    {  // never committed: the old file stays, the temporary one goes
        auto f = File::open("Score.dat", File::Mode::Replace);
        ASSERT_NE(f, nullptr);
        f->write("half", 4);
        // A second writer of the same file is kept out meanwhile.
        EXPECT_EQ(File::open("Score.dat", File::Mode::Replace), nullptr);
    }
    EXPECT_EQ(read_all("Score.dat"), "second, longer");
    EXPECT_FALSE(exists(folder_ + "\\Score.dat.tmp"));

    // A temporary file left by a crash is taken over.
    ASSERT_TRUE(replace_with("Score.dat.tmp", "stale leftover"));
    ASSERT_TRUE(replace_with("Score.dat", "third"));
    EXPECT_EQ(read_all("Score.dat"), "third");

    // What could not be overwritten in place is not replaced either.
    SetFileAttributesW(widen(folder_ + "\\Score.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(replace_with("Score.dat", "fourth"));
    SetFileAttributesW(widen(folder_ + "\\Score.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    CreateDirectoryW(widen(folder_ + "\\Folder.dat").c_str(), nullptr);
    EXPECT_FALSE(replace_with("Folder.dat", "x"));
    EXPECT_EQ(read_all("Score.dat"), "third");
}

TEST_F(WindowsPlatform, OpensOnlyPlainFilesAndFallsBackForReading) {
    const std::string data = root_ + "\\D\xC3\xA4ten";
    CreateDirectoryW(widen(data).c_str(), nullptr);
    SetCurrentDirectoryW(widen(data).c_str());
    ASSERT_TRUE(replace_with("Grafik.dat", "installed"));
    ASSERT_TRUE(replace_with("Sound.dat", "installed sound"));
    SetCurrentDirectoryW(widen(folder_).c_str());
    ASSERT_TRUE(replace_with("Sound.dat", "own sound"));
    platform::set_read_fallback(data);

    struct Case {
        const char* name;
        File::Mode mode;
        bool opens;
        const char* reads;
    };
    const Case cases[] = {
        {"Grafik.dat", File::Mode::Read, true, "installed"},  // from the data folder
        {"Sound.dat", File::Mode::Read, true, "own sound"},   // the player's own first
        {"Grafik.dat", File::Mode::ReadWrite, false, ""},     // writes never fall back
        {"Missing.dat", File::Mode::Read, false, ""},
        {"NUL", File::Mode::Read, false, ""},  // a device
        {"CON", File::Mode::ReadWrite, false, ""},
    };
    for (const Case& c : cases) {
        auto f = File::open(c.name, c.mode);
        EXPECT_EQ(f != nullptr, c.opens) << c.name;
        if (f != nullptr && c.opens) {
            EXPECT_EQ(read_all(c.name), c.reads) << c.name;
        }
    }
    EXPECT_EQ(platform::readable_path("Grafik.dat"), data + "/Grafik.dat");
    const int fd = platform::open_regular_file("Grafik.dat");
    EXPECT_GE(fd, 0);
    char buf[16] = {};
    EXPECT_EQ(_read(fd, buf, sizeof buf), 9);
    EXPECT_STREQ(buf, "installed");
    _close(fd);
}

TEST_F(WindowsPlatform, ListsAFolderInUtf8Names) {
    const char* const files[] = {"Lied \xC3\xA4.mp3", "\xE6\x97\xA5\xE6\x9C\xAC.mp3", "plain.mp3"};
    for (const char* f : files) {
        ASSERT_TRUE(replace_with(f, f));
    }
    CreateDirectoryW(widen(folder_ + "\\Ordner.mp3").c_str(), nullptr);
    std::vector<std::string> names;
    ASSERT_TRUE(platform::list_folder(platform::current_folder().c_str(), names));
    std::sort(names.begin(), names.end());
    const std::vector<std::string> expected = {"Lied \xC3\xA4.mp3", "Ordner.mp3", "plain.mp3",
                                               "\xE6\x97\xA5\xE6\x9C\xAC.mp3"};
    EXPECT_EQ(names, expected);
    // Every listed file opens by its listed name.
    for (const char* f : files) {
        EXPECT_EQ(read_all(f), f);
    }
    EXPECT_FALSE(platform::list_folder((folder_ + "\\missing").c_str(), names));
    EXPECT_EQ(platform::current_folder(), folder_);
}

// A writer process replaces the file with ever newer versions and is killed
// at random moments; each time the file is whole, the version before the
// kill or a newer one, never a mix.
TEST_F(WindowsPlatform, KilledWhileReplacingLeavesAWholeFile) {
    ASSERT_TRUE(replace_with("Score.dat", version(1)));
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::mt19937 random(12345);
    int last = 1, newer = 0, kills = 60;
    for (int k = 0; k < kills; ++k) {
        std::wstring command =
            L"\"" + std::wstring(self) + L"\" --replace-writer " + std::to_wstring(last + 1);
        // The writer sets the event when it starts writing; the kill comes
        // a random moment after, however long the process took to start.
        const HANDLE started = CreateEventW(nullptr, TRUE, FALSE, kWriterStarted);
        ASSERT_NE(started, nullptr);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi));
        EXPECT_EQ(WaitForSingleObject(started, 30000), WAIT_OBJECT_0);
        CloseHandle(started);
        Sleep(std::uniform_int_distribution<DWORD>(0, 12)(random));
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);

        const std::string got = read_all("Score.dat");
        int g = 0;
        ASSERT_EQ(std::sscanf(got.c_str(), "version %d", &g), 1)
            << "after kill " << k << ": " << got;
        ASSERT_GE(g, last) << "an older version came back";
        ASSERT_EQ(got, version(g)) << "after kill " << k;
        newer += g > last ? 1 : 0;
        last = g;
    }
    EXPECT_GT(newer, kills / 4);
}

TEST(WindowsSystem, ClockStepsByTheMillisecond) {
    // Some step of the tick count is exactly one: it counts milliseconds,
    // not the 10 to 16 ms of the system timer.
    bool single_step = false;
    std::uint32_t before = platform::tick_count();
    for (int changes = 0; changes < 50 && !single_step;) {
        const std::uint32_t now = platform::tick_count();
        if (now != before) {
            single_step = now - before == 1;
            before = now;
            ++changes;
        }
    }
    EXPECT_TRUE(single_step);
    // A wait of a few milliseconds ends at its deadline.
    const std::uint32_t start = platform::tick_count();
    int steps = 0;
    while (platform::tick_count() - start < 5) {
        platform::idle_step(5 - (platform::tick_count() - start));
        ++steps;
    }
    EXPECT_GE(platform::tick_count() - start, 5u);
}

TEST(WindowsSystem, CalendarAndUserName) {
    const platform::SystemTime local = platform::local_time();
    const platform::SystemTime utc = platform::utc_time();
    EXPECT_GE(utc.year, 2024);
    EXPECT_LE(local.month, 12);
    EXPECT_LE(utc.day_of_week, 6);
    wchar_t wide[257] = {};
    DWORD size = 257;
    ASSERT_TRUE(GetUserNameW(wide, &size));
    const std::string name = platform::login_name();
    EXPECT_FALSE(name.empty());
    char buf[300] = {};
    EXPECT_TRUE(platform::user_name(buf, sizeof buf));
    EXPECT_EQ(name, buf);
    EXPECT_FALSE(
        platform::user_name(buf, static_cast<std::uint32_t>(name.size())));  // no room for the zero
}

TEST(WindowsFonts, TheShippedFontComesFirst) {
    const std::string data = platform::installed_data_folder();
    ASSERT_FALSE(data.empty()) << "no data folder beside the program";
    const platform::FontFile font = platform::sans_font_file();
    EXPECT_EQ(font.file, data + "\\DejaVuSans.ttf");
    EXPECT_EQ(font.index, 0);
}

TEST(WindowsFolders, TheGameFolderIsUnderTheApplicationData) {
    PWSTR known = nullptr;
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known), S_OK);
    const std::string appdata = narrow(known);
    CoTaskMemFree(known);
    EXPECT_EQ(platform::player_game_folder("bramblecourt"), appdata + "\\bramblecourt");
}

}  // namespace

int main(int argc, char** argv) {
    // The writer of the kill test: replaces Score.dat in the working folder
    // with versions from the given one on, until it is killed.
    if (argc == 3 && std::strcmp(argv[1], "--replace-writer") == 0) {
        const HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, kWriterStarted);
        if (started != nullptr) {
            SetEvent(started);
        }
        for (int g = std::atoi(argv[2]);; ++g) {
            replace_with("Score.dat", version(g));
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
