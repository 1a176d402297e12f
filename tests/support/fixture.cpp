#include "support/fixture.h"

#include "app/spiel.h"
#include "gfx/ddraw.h"

namespace bramble_test {

void HeadlessTest::SetUp() {
    DDraw_beenden();
    platform::headless::reset();
    Farbtiefe = 16;
    Zustand_setzen(0);
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

}  // namespace bramble_test
