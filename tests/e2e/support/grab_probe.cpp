// Tells from outside whether some client holds the X pointer grab, the way
// the game confines the pointer to its screen: tries to grab the pointer
// itself and lets go at once.
//   grab_probe          exit 0: the pointer is free; 1: another client holds
//                       it; 3: no display or another answer
//   grab_probe on|off [SECONDS]
//                       waits (default 10 s) until the grab is held (on) or
//                       free (off); exit 0 when it came to be, 1 otherwise
#include <X11/Xlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

enum class Grab { Free, Held, Unknown };

Grab probe(Display* display) {
    const int result = XGrabPointer(display, DefaultRootWindow(display), False, ButtonPressMask,
                                    GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    if (result == GrabSuccess) {
        XUngrabPointer(display, CurrentTime);
        XSync(display, False);
        return Grab::Free;
    }
    return result == AlreadyGrabbed ? Grab::Held : Grab::Unknown;
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "grab_probe: no display\n");
        return 3;
    }
    if (argc == 1) {
        const Grab g = probe(display);
        XCloseDisplay(display);
        return g == Grab::Free ? 0 : g == Grab::Held ? 1 : 3;
    }
    const bool want_held = std::strcmp(argv[1], "on") == 0;
    if (!want_held && std::strcmp(argv[1], "off") != 0) {
        std::fprintf(stderr, "usage: grab_probe [on|off [SECONDS]]\n");
        XCloseDisplay(display);
        return 3;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    Grab g = probe(display);
    while ((g == Grab::Held) != want_held && std::chrono::steady_clock::now() < until) {
        // Not too often: each successful probe holds the grab for a moment,
        // and the game may be trying to take it just then.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        g = probe(display);
    }
    XCloseDisplay(display);
    return (g == Grab::Held) == want_held ? 0 : 1;
}
