// The desktop's main loop: the passes run in place, one after the other.
#include "platform/loop.h"

namespace platform {

int run_main_loop(bool (*pass)(), int (*end)()) {
    while (pass()) {
    }
    return end();
}

}  // namespace platform
