#include "platform/window.h"

#include <cstdio>
#include <deque>
#include <memory>
#include <string>

#include "platform/backend.h"
#include "platform/cp1252.h"
#include "platform/faults.h"
#include "platform/journal.h"
#include "platform/observer.h"

namespace platform {

class Window {
   public:
    explicit Window(WindowProc p) : proc(p) {}
    WindowProc proc;
};

namespace {
std::unique_ptr<Window> the_window;
std::deque<Message> queue;
bool class_registered = false;
bool echo_boxes = true;
bool start_fullscreen = true;
Observer* the_observer = nullptr;
}  // namespace

void set_observer(Observer* observer) {
    the_observer = observer;
}

Observer* observer() {
    return the_observer;
}

void window_start_fullscreen(bool on) {
    start_fullscreen = on;
}

bool window_starts_fullscreen() {
    return start_fullscreen;
}

bool window_class_register(const char* class_name) {
    if (fault_due(Fault::WindowClass) ||
        !backend::video_start(class_name != nullptr ? class_name : "")) {
        return false;
    }
    class_registered = true;
    return true;
}

HWND window_create(const char* caption, WindowProc proc) {
    if (the_window != nullptr || proc == nullptr) {
        return nullptr;
    }
    if (!class_registered && !window_class_register("Tarnwick")) {
        return nullptr;
    }
    if (fault_due(Fault::WindowCreate) ||
        !backend::window_open(cp1252_to_utf8(caption != nullptr ? caption : "").c_str())) {
        return nullptr;
    }
    the_window = std::make_unique<Window>(proc);
    return the_window.get();
}

void window_destroy(HWND window) {
    if (window != nullptr && window == the_window.get()) {
        backend::window_close();
        the_window.reset();
        class_registered = false;
        queue.clear();
    }
}

bool peek_message(Message& out) {
    if (journal::mode() == journal::Mode::Replay) {
        // Every message comes from the recording, the ones the game posted
        // itself included, which the recording has where they were taken.
        queue.clear();
        out = Message{};
        const bool found = journal::message(false, out);
        out.window = the_window.get();
        return found;
    }
    if (queue.empty()) {
        backend::pump_events();
    }
    if (queue.empty()) {
        Message none;
        return journal::message(false, none);
    }
    out = queue.front();
    queue.pop_front();
    return journal::message(true, out);
}

LRESULT dispatch_message(const Message& m) {
    if (m.window == nullptr || m.window != the_window.get()) {
        return 0;
    }
    return m.window->proc(m.window, m.msg, m.wparam, m.lparam);
}

void post_message(HWND window, std::uint32_t msg, WPARAM wparam, LPARAM lparam) {
    queue.push_back(Message{window != nullptr ? window : the_window.get(), msg, wparam, lparam});
}

LRESULT default_window_proc(HWND, std::uint32_t, WPARAM, LPARAM) {
    return 0;
}

int message_box(HWND /*owner*/, const char* text, const char* caption, std::uint32_t type) {
    text = text != nullptr ? text : "";
    caption = caption != nullptr ? caption : "";
    const std::string t = cp1252_to_utf8(text);
    const std::string c = cp1252_to_utf8(caption);
    if (echo_boxes) {
        std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
    }
    backend::show_message_box(caption, text, c, t, type);
    return 1;  // IDOK
}

void message_box_echo(bool on) {
    echo_boxes = on;
}

}  // namespace platform
