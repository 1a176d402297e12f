// Keeps the sound effects on time while no output takes samples from the
// mixer: none is open (a headset unplugged, the sound server gone) or the one
// that is open has stopped asking (a server that hangs). The game waits for
// its shot and reload sounds to end before it fires again, so a sound that
// never ends would stop the shooting. While the output is missing, every
// effect and the beep move on by the clock, unheard; tunes and the jukebox
// wait where they are and go on when an output is back.
#pragma once

#include <atomic>
#include <cstdint>

namespace platform::audio {

class Mixer;

class OutputWatch {
   public:
    // The longest pause between two pulls of a working output. Devices ask
    // every few tens of milliseconds; a sound server starting a stream may
    // take some hundreds.
    static constexpr std::uint64_t kStallUs = 400000;

    // A fresh start at now_us, with an output open or not.
    void reset(bool open, std::uint64_t now_us);
    // From the output's thread: it has just mixed.
    void pulled(std::uint64_t now_us);
    // An output opened (it counts as having just pulled) or went away.
    void set_open(bool open, std::uint64_t now_us);
    bool open() const { return open_.load(); }
    // From the game's thread, before every query and request: while the
    // output is missing or stalled, moves the effects and the beep on to
    // now_us. Times are microseconds of one monotonic clock.
    void keep_time(Mixer& mixer, std::uint64_t now_us);

   private:
    std::atomic<std::uint64_t> last_pull_us_{0};
    std::atomic<bool> open_{false};
    std::uint64_t clock_us_ = 0;  // game thread: effects moved on up to here
};

// The one watch of the process, beside the one mixer.
OutputWatch& output_watch();

}  // namespace platform::audio
