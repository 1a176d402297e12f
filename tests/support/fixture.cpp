#include "support/fixture.h"

#include <cstdlib>
#include <filesystem>

#include "app/spiel.h"
#include "gfx/ddraw.h"

namespace bramble_test {

void HeadlessTest::SetUp() {
    DDraw_beenden();
    platform::headless::reset();
    Farbtiefe = 16;
    Spielzustand = 0;
}

void HeadlessTest::TearDown() {
    DDraw_beenden();
    platform::headless::clear_faults();
}

void HeadlessTest::start_display(int depth) {
    Farbtiefe = depth;
    ASSERT_EQ(DDraw_starten(), 0);
    const RECT screen{0, 0, 1024, 768};
    ASSERT_EQ(DDraw_Clipper_erzeugen(&screen, 1), 0);
}

std::vector<std::string> HeadlessTest::box_texts() const {
    std::vector<std::string> out;
    for (const auto& b : platform::headless::boxes()) {
        out.push_back(b.text);
    }
    return out;
}

std::string output_dir() {
    const char* env = std::getenv("BRAMBLE_TEST_OUTPUT");
    std::string dir = env != nullptr ? env : (std::string(BRAMBLE_BUILD_DIR) + "/test-output");
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace bramble_test
