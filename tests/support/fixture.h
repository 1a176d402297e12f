// Common ground of the headless tests: a fresh virtual platform, and the game's
// display started the way the start-up does it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless.h"

namespace bramble_test {

// Resets the headless platform and the display globals before each test and
// releases the display after it.
class HeadlessTest : public ::testing::Test {
   protected:
    void SetUp() override;
    void TearDown() override;

    // DDraw_starten and the one-rectangle clipper over the whole screen.
    void start_display(int depth = 16);

    // Texts of the message boxes shown so far, in order.
    std::vector<std::string> box_texts() const;
};

// Folder for snapshots and other files a test leaves for a person to look at.
std::string output_dir();

}  // namespace bramble_test
