// Whoever wants to know what the game does that a person would see or hear,
// as it happens: the scripted runner and a recording game turn it into their
// trace. Both backends report to the one observer set here.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct BoxShown {
    std::string caption;  // Windows-1252 bytes, as the game passed them
    std::string text;
    std::uint32_t type = 0;
};

class Observer {
   public:
    virtual ~Observer() = default;
    virtual void on_box(const BoxShown&) {}
    virtual void on_beep() {}
    virtual void on_frame() {}
    // item: index of the sound buffer in creation order.
    virtual void on_sound(int /*item*/, int /*pan*/, int /*volume*/) {}
    virtual void on_tune(const char* /*file or null*/) {}
    virtual void on_mp3(const char* /*cmd*/, const char* /*file or null*/) {}
};

// Null for none (the default).
void set_observer(Observer* observer);
Observer* observer();

}  // namespace platform
