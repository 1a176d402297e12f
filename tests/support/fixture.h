// Common ground of the headless tests: a fresh virtual platform, and the game's
// display started the way the start-up does it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
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

// A fresh folder /tmp/bramble-NAME-XXXXXX, the working folder for the
// object's lifetime; removed with it.
class TempWorkingFolder {
   public:
    explicit TempWorkingFolder(const char* name);
    ~TempWorkingFolder();
    TempWorkingFolder(const TempWorkingFolder&) = delete;
    TempWorkingFolder& operator=(const TempWorkingFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

   private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Folder for snapshots and other files a test leaves for a person to look at.
std::string output_dir();

}  // namespace bramble_test
