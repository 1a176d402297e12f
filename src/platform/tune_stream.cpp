#include "platform/tune_stream.h"

#include <algorithm>
#include <chrono>

#include "platform/audio_convert.h"

namespace platform::audio {

namespace {

// Frames converted per call of the source: small enough that the ring's
// space is used well, large enough that the calls cost nothing.
constexpr std::size_t kConvertFrames = 4096;

}  // namespace

TuneStream::TuneStream() : converted_(kConvertFrames * kMixChannels) {}

TuneStream::~TuneStream() {
    stop_thread();
}

bool TuneStream::play(const char* path) {
    // The file is opened here, on the caller's thread, so that the answer
    // (and a missing file's silence) is there at once; only its header is read.
    auto source = std::make_unique<TuneSource>();
    const bool ok = path != nullptr && source->open(path);
    std::uint64_t generation;
    {
        std::lock_guard<std::mutex> lock(ring_mutex_);
        // Frames of the old tune must not sound after the call.
        generation = ++generation_;
        ring_.clear();
        sounding_ = ok && source->total_frames() > 0;
        complete_ = false;
    }
    std::unique_ptr<TuneSource> replaced;
    {
        std::lock_guard<std::mutex> lock(request_mutex_);
        replaced = std::move(pending_);  // one that was never started
        pending_ = ok ? std::move(source) : nullptr;
        pending_generation_ = generation;
        has_pending_ = true;
    }
    wake_.notify_one();
    if (!thread_.joinable()) {
        // No tune thread (the headless backend): the old tune's file is
        // closed now, not at the mixer's next pull, which may never come.
        service(0);
    }
    return ok || path == nullptr;
}

std::size_t TuneStream::read(std::int16_t* out, std::size_t frames) {
    std::lock_guard<std::mutex> lock(ring_mutex_);
    if (!sounding_) {
        return 0;
    }
    const std::size_t n = ring_.take(out, frames);
    if (ring_.fill() == 0 && complete_) {
        sounding_ = false;
    }
    return n;
}

bool TuneStream::playing() {
    std::lock_guard<std::mutex> lock(ring_mutex_);
    return sounding_;
}

void TuneStream::skip(std::size_t frames) {
    // Converted and dropped: the samples after the jump are exactly those
    // the tune would have had there.
    while (frames > 0 && playing()) {
        const std::size_t n = std::min(frames, kConvertFrames);
        service(n);
        const std::size_t got = read(converted_.data(), n);
        if (got == 0) {
            break;
        }
        frames -= got;
    }
}

void TuneStream::service(std::size_t want) {
    {
        std::unique_ptr<TuneSource> taken;  // the old tune's file is closed after the lock
        std::lock_guard<std::mutex> lock(request_mutex_);
        if (has_pending_) {
            taken = std::move(pending_);
            source_.swap(taken);
            source_generation_ = pending_generation_;
            has_pending_ = false;
        }
    }
    if (source_ == nullptr) {
        busy_ = false;
        return;
    }
    want = std::min(want, kRingFrames);
    for (;;) {
        std::size_t space;
        {
            std::lock_guard<std::mutex> lock(ring_mutex_);
            if (generation_ != source_generation_ || ring_.fill() >= want) {
                break;  // replaced meanwhile, or far enough ahead
            }
            space = ring_.space();
        }
        const std::size_t asked = std::min(space, kConvertFrames);
        const std::size_t n = source_->read(converted_.data(), asked);
        std::lock_guard<std::mutex> lock(ring_mutex_);
        if (generation_ != source_generation_) {
            break;  // these frames are stale
        }
        ring_.put(converted_.data(), n);  // n <= space: only the mixer took meanwhile
        if (n < asked) {
            // The end of the tune: it stops once the mixer has taken these.
            complete_ = true;
            if (ring_.fill() == 0) {
                sounding_ = false;
            }
            source_.reset();
            break;
        }
    }
    busy_ = source_ != nullptr;
}

void TuneStream::start_thread() {
    if (thread_.joinable()) {
        return;
    }
    stop_ = false;
    thread_ = std::thread([this] { thread_main(); });
}

void TuneStream::stop_thread() {
    if (!thread_.joinable()) {
        return;
    }
    stop_ = true;
    wake_.notify_one();
    thread_.join();
}

void TuneStream::thread_main() {
    while (!stop_) {
        service(kRingFrames);
        std::unique_lock<std::mutex> lock(request_mutex_);
        if (has_pending_ || stop_) {
            continue;
        }
        // Woken at once by a new tune; while one plays the ring (0.75 s) is
        // topped up every few ms, otherwise there is nothing to do.
        wake_.wait_for(lock, std::chrono::milliseconds(busy_ ? 5 : 100));
    }
}

}  // namespace platform::audio
