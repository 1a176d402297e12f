// Kept apart from the headless fixture so that tests linked with the SDL
// backend can use it too.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/fixture.h"

namespace bramble_test {

std::string output_dir() {
    const char* env = std::getenv("BRAMBLE_TEST_OUTPUT");
    std::string dir = env != nullptr ? env : (std::string(BRAMBLE_BUILD_DIR) + "/test-output");
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace bramble_test
