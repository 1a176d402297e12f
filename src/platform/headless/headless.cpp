// The deterministic backend: a virtual millisecond clock that only the game's
// own waits and flips advance, no window, and records of everything shown.
#include "platform/headless/headless.h"

#include <array>
#include <cstring>
#include <memory>

#include "platform/backend.h"
#include "platform/headless/audio.h"
#include "platform/journal.h"
#include "platform/system.h"
#include "platform/window.h"

namespace platform::headless {

namespace {

struct Armed {
    int skip = 0;
    int count = 0;
};

struct State {
    std::uint32_t now = 1000000;
    std::uint32_t frame_ms = 16;
    int hour = 12;
    std::string user = "player";
    std::array<Armed, static_cast<std::size_t>(Fault::Count)> faults{};
    std::vector<Box> boxes;
    int beeps = 0;
    std::unique_ptr<Surface> frame;
    bool keep_frames = true;
    std::uint64_t frames = 0;
};

State& state() {
    static State s;
    return s;
}

}  // namespace

void reset(std::uint32_t start_tick) {
    state() = State{};
    state().now = start_tick;
}

void set_keep_frames(bool keep) {
    state().keep_frames = keep;
}

std::uint32_t now() {
    return state().now;
}
void set_now(std::uint32_t tick) {
    state().now = tick;
}
void advance(std::uint32_t ms) {
    state().now += ms;
}
void set_frame_ms(std::uint32_t ms) {
    state().frame_ms = ms;
}
void set_local_hour(int hour) {
    state().hour = hour;
}
void set_user_name(const std::string& name) {
    state().user = name;
}

void arm_fault(Fault f, int skip, int count) {
    state().faults[static_cast<std::size_t>(f)] = Armed{skip, count};
}

void clear_faults() {
    state().faults = {};
}

const std::vector<Box>& boxes() {
    return state().boxes;
}
void clear_boxes() {
    state().boxes.clear();
}
int beep_count() {
    return state().beeps;
}
const Surface* last_frame() {
    return state().frame.get();
}
std::uint64_t frames_presented() {
    return state().frames;
}
void set_observer(Observer* o) {
    platform::set_observer(o);
}
Observer* observer() {
    return platform::observer();
}

}  // namespace platform::headless

namespace platform {

using headless::state;

bool fault_due(Fault f) {
    auto& a = state().faults[static_cast<std::size_t>(f)];
    if (a.count <= 0) {
        return false;
    }
    if (a.skip > 0) {
        --a.skip;
        return false;
    }
    --a.count;
    return true;
}

std::uint32_t tick_count() {
    // A replay's clock follows the recorded readings, so that the sound
    // mixer and the frames move on with them.
    state().now = journal::tick(state().now);
    return state().now;
}

void idle_step(std::uint32_t /*remaining_ms*/) {
    state().now += 1;
}

namespace {
SystemTime fixed_time() {
    return SystemTime{2026, 12, 1, 7, static_cast<std::uint16_t>(state().hour), 0, 0, 0};
}
}  // namespace

SystemTime local_time() {
    return journal::time(journal::Kind::LocalTime, fixed_time());
}

SystemTime utc_time() {
    return journal::time(journal::Kind::UtcTime, fixed_time());
}

std::string login_name() {
    return journal::login_name(state().user);
}

bool user_name(char* buf, std::uint32_t size) {
    // Through login_name, as on the real backend, so that both read the same.
    const std::string u = login_name();
    if (buf == nullptr || u.size() + 1 > size) {
        return false;
    }
    std::memcpy(buf, u.c_str(), u.size() + 1);
    return true;
}

// Counts a MessageBeep and tells the observer; the beep itself sounds through
// the mixer (audio.cpp, which defines message_beep).
void headless::record_beep() {
    ++state().beeps;
    if (platform::observer() != nullptr) {
        platform::observer()->on_beep();
    }
}

namespace backend {

bool display_open(int /*width*/, int /*height*/, int /*bits_per_pixel*/) {
    return true;
}

void display_present(const Surface& frame) {
    auto& s = state();
    if (!s.keep_frames) {
        s.frame.reset();
    } else if (!s.frame || s.frame->width() != frame.width() ||
               s.frame->height() != frame.height() ||
               s.frame->bits_per_pixel() != frame.bits_per_pixel()) {
        s.frame = std::make_unique<Surface>(frame.width(), frame.height(), frame.bits_per_pixel());
    }
    for (int y = 0; s.frame && y < frame.height(); ++y) {
        std::memcpy(s.frame->row(y), frame.row(y),
                    static_cast<std::size_t>(frame.width() * frame.bytes_per_pixel()));
    }
    ++s.frames;
    s.now += s.frame_ms;
    if (platform::observer() != nullptr) {
        platform::observer()->on_frame();
    }
}

void display_close() {}

bool video_start(const char* /*class_name*/) {
    return true;
}

bool window_open(const char* /*caption*/) {
    return true;
}
void window_close() {}
void pump_events() {}

void show_message_box(const char* caption, const char* text, const std::string& /*utf8_caption*/,
                      const std::string& /*utf8_text*/, std::uint32_t type) {
    // Recorded and closed at once, as if OK had been pressed.
    headless::Box box{caption, text, type};
    state().boxes.push_back(box);
    if (platform::observer() != nullptr) {
        platform::observer()->on_box(box);
    }
}

}  // namespace backend

}  // namespace platform
