#include "platform/output_watch.h"

#include <algorithm>

#include "platform/audio_convert.h"
#include "platform/mixer.h"

namespace platform::audio {

void OutputWatch::reset(bool open, std::uint64_t now_us) {
    last_pull_us_ = now_us;
    clock_us_ = now_us;
    open_ = open;
}

void OutputWatch::pulled(std::uint64_t now_us) {
    last_pull_us_ = now_us;
}

void OutputWatch::set_open(bool open, std::uint64_t now_us) {
    if (open) {
        last_pull_us_ = now_us;
    }
    open_ = open;
}

void OutputWatch::keep_time(Mixer& mixer, std::uint64_t now_us) {
    const std::uint64_t last = last_pull_us_.load();
    // The output's thread may have pulled after now_us was read.
    const bool missing = !open_ || (now_us > last && now_us - last > kStallUs);
    if (!missing) {
        return;
    }
    // From where the output (or the clock) left the effects.
    const std::uint64_t from = std::max(clock_us_, last);
    if (now_us <= from) {
        return;
    }
    const std::uint64_t frames = (now_us - from) * kMixRate / 1000000;
    mixer.skip_effects(static_cast<std::size_t>(frames));
    // What is less than a frame is carried to the next step.
    clock_us_ = from + frames * 1000000 / kMixRate;
}

OutputWatch& output_watch() {
    static OutputWatch* const the_watch = new OutputWatch();  // outlives the audio thread
    return *the_watch;
}

}  // namespace platform::audio
