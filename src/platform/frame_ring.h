// A ring of frames in the mix format between a side that converts ahead and
// the mixer that takes them. It holds no lock of its own: its owner holds one
// around every call, only while frames are copied in or out.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/audio_convert.h"

namespace platform::audio {

class FrameRing {
   public:
    explicit FrameRing(std::size_t frames) : frames_(frames), samples_(frames * kMixChannels) {}

    std::size_t fill() const { return fill_; }
    std::size_t space() const { return frames_ - fill_; }
    void clear() {
        read_ = 0;
        fill_ = 0;
    }

    // Appends up to n frames from in; the number appended (no more than space()).
    std::size_t put(const std::int16_t* in, std::size_t n) {
        n = std::min(n, space());
        const std::size_t write = (read_ + fill_) % frames_;
        const std::size_t first = std::min(n, frames_ - write);
        std::memcpy(samples_.data() + write * kMixChannels, in, bytes(first));
        std::memcpy(samples_.data(), in + first * kMixChannels, bytes(n - first));
        fill_ += n;
        return n;
    }

    // Takes up to n of the oldest frames into out; the number taken.
    std::size_t take(std::int16_t* out, std::size_t n) {
        n = std::min(n, fill_);
        const std::size_t first = std::min(n, frames_ - read_);
        std::memcpy(out, samples_.data() + read_ * kMixChannels, bytes(first));
        std::memcpy(out + first * kMixChannels, samples_.data(), bytes(n - first));
        read_ = (read_ + n) % frames_;
        fill_ -= n;
        return n;
    }

   private:
    static std::size_t bytes(std::size_t frames) {
        return frames * kMixChannels * sizeof(std::int16_t);
    }

    std::size_t frames_;
    std::vector<std::int16_t> samples_;
    std::size_t read_ = 0;
    std::size_t fill_ = 0;
};

}  // namespace platform::audio
