#include "platform/mp3_stream.h"

#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/audio_convert.h"
#include "platform/file.h"

namespace platform::audio {

namespace {

// One mpg123 read: two MPEG-1 layer III frames, so the file is read in small
// steps and no single step holds up the decoding side for long.
constexpr std::size_t kDecodeFrames = 2304;

// How long the end of the program waits for the decoding thread. A thread
// that is stuck in the file system (a drive that went away) is left behind
// rather than holding up the exit.
constexpr auto kStopWait = std::chrono::seconds(2);

mpg123_handle* mh(void* h) {
    return static_cast<mpg123_handle*>(h);
}

}  // namespace

Mp3Stream::Mp3Stream()
    : decoded_(kDecodeFrames * kMixChannels), converted_(kDecodeFrames * kMixChannels) {
    static const bool initialised = [] {
        mpg123_init();  // a no-op in recent versions, required by older ones
        return true;
    }();
    (void)initialised;
    int err = MPG123_OK;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    if (h != nullptr) {
        // Frankenstein streams (MP3 files glued together with changing
        // parameters) are cut at the first change instead of being followed,
        // and damaged files decode quietly instead of writing to stderr.
        mpg123_param(h, MPG123_ADD_FLAGS, MPG123_NO_FRANKENSTEIN | MPG123_QUIET, 0.0);
        // Every file decodes to 16-bit stereo at its own rate. (The library's
        // one-call open for this also scans a file without a length header
        // from end to end, which takes long on a huge file; we need no length.)
        mpg123_format_none(h);
        mpg123_format2(h, 0, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    handle_ = h;
}

Mp3Stream::~Mp3Stream() {
    stop_thread();
    if (abandoned_) {
        return;  // the thread left behind may still be using the decoder
    }
    close_file();
    if (handle_ != nullptr) {
        mpg123_delete(mh(handle_));
    }
}

void Mp3Stream::close_file() {
    if (opened_) {
        mpg123_close(mh(handle_));
        opened_ = false;
    }
    if (fd_ >= 0) {
        ::close(fd_);  // the library leaves a descriptor it was given open
        fd_ = -1;
    }
}

void Mp3Stream::open(const char* path) {
    std::uint64_t generation;
    {
        std::lock_guard<std::mutex> lock(ring_mutex_);
        generation = ++next_generation_;
        // Frames of the previous file must not sound after the new request.
        ring_generation_ = generation;
        ring_.clear();
    }
    {
        std::lock_guard<std::mutex> lock(request_mutex_);
        wanted_.generation = generation;
        const std::size_t n = path != nullptr ? std::strlen(path) : 0;
        wanted_.has_path = n > 0 && n < kMaxPath;
        if (wanted_.has_path) {
            std::memcpy(wanted_.path, path, n + 1);
        } else {
            wanted_.path[0] = '\0';
        }
        wanted_.playing = false;
        wanted_.repeat = false;
    }
    wake_.notify_one();
}

void Mp3Stream::play(bool repeat) {
    {
        std::lock_guard<std::mutex> lock(request_mutex_);
        wanted_.playing = true;
        wanted_.repeat = repeat;
        ++wanted_.play_serial;
    }
    wake_.notify_one();
}

void Mp3Stream::close() {
    // Closing is a request for no file: the ring is emptied and the decoder
    // drops what it had, exactly as when another file is opened.
    busy_ = false;
    open(nullptr);
}

std::size_t Mp3Stream::read(std::int16_t* out, std::size_t frames) {
    std::lock_guard<std::mutex> lock(ring_mutex_);
    return ring_.take(out, frames);
}

std::size_t Mp3Stream::ring_fill() {
    std::lock_guard<std::mutex> lock(ring_mutex_);
    return ring_.fill();
}

void Mp3Stream::apply(const Request& r) {
    if (r.generation != current_.generation) {
        close_file();
        ended_ = false;
        produced_since_start_ = false;
        resampler_.reset();
        current_.generation = r.generation;
        current_.play_serial = r.play_serial;
        // A file that cannot be opened, is no regular file (a named pipe would
        // block the open) or has no MPEG audio stays silent.
        fd_ = r.has_path && handle_ != nullptr ? open_regular_file(r.path) : -1;
        if (fd_ >= 0 && mpg123_open_fd(mh(handle_), fd_) == MPG123_OK) {
            opened_ = true;
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            if (mpg123_getformat(mh(handle_), &rate, &channels, &encoding) == MPG123_OK &&
                channels == kMixChannels && encoding == MPG123_ENC_SIGNED_16 && rate > 0) {
                resampler_ = std::make_unique<Resampler>(static_cast<int>(rate));
            }
            if (resampler_ == nullptr || !resampler_->ok()) {
                resampler_.reset();
                close_file();
            }
        }
        if (!opened_) {
            close_file();
        }
    } else if (r.play_serial != current_.play_serial) {
        current_.play_serial = r.play_serial;
        // Played again after it ended: from the start.
        if (opened_ && ended_ && mpg123_seek(mh(handle_), 0, SEEK_SET) >= 0) {
            ended_ = false;
            produced_since_start_ = false;
            resampler_->clear();
        }
    }
    current_.playing = r.playing;
    current_.repeat = r.repeat;
}

bool Mp3Stream::decode_chunk() {
    std::size_t bytes = 0;
    const int err =
        mpg123_read(mh(handle_), decoded_.data(), decoded_.size() * sizeof(std::int16_t), &bytes);
    const std::size_t frames = bytes / (kMixChannels * sizeof(std::int16_t));
    if (frames > 0) {
        resampler_->put(decoded_.data(), frames);
        produced_since_start_ = true;
    }
    if (err == MPG123_OK || err == MPG123_NEW_FORMAT) {
        return true;
    }
    // The end of the file, or damage the decoder cannot get past. A repeating
    // tune starts over, unless the pass gave no sound at all (which would
    // otherwise spin here for ever).
    if (current_.repeat && produced_since_start_ && mpg123_seek(mh(handle_), 0, SEEK_SET) >= 0) {
        produced_since_start_ = false;
        return true;
    }
    resampler_->flush();
    ended_ = true;
    return false;
}

std::size_t Mp3Stream::drain_resampler() {
    std::size_t moved = 0;
    for (;;) {
        std::size_t space;
        {
            std::lock_guard<std::mutex> lock(ring_mutex_);
            space = ring_.space();
        }
        const std::size_t n =
            resampler_->get(converted_.data(), std::min(space, converted_.size() / kMixChannels));
        if (n == 0) {
            break;
        }
        std::lock_guard<std::mutex> lock(ring_mutex_);
        if (ring_generation_ != current_.generation) {
            break;  // closed or replaced meanwhile: these frames are stale
        }
        ring_.put(converted_.data(), n);  // n <= space: only the mixer took meanwhile
        moved += n;
    }
    return moved;
}

void Mp3Stream::service(std::size_t want) {
    {
        // Copied so that the file is opened without holding the lock.
        std::lock_guard<std::mutex> lock(request_mutex_);
        incoming_ = wanted_;
    }
    apply(incoming_);
    if (!opened_ || !current_.playing) {
        busy_ = false;
        return;
    }
    want = std::min(want, kRingFrames);
    for (;;) {
        drain_resampler();
        if (resampler_->available() > 0 || ended_ || ring_fill() >= want) {
            break;
        }
        if (!decode_chunk()) {
            drain_resampler();
            break;
        }
    }
    busy_ = !ended_ || resampler_->available() > 0 || ring_fill() > 0;
}

void Mp3Stream::start_thread() {
    if (thread_.joinable()) {
        return;
    }
    stop_ = false;
    std::promise<void> finished;
    finished_ = finished.get_future();
    thread_ = std::thread([this, finished = std::move(finished)]() mutable {
        thread_main();
        finished.set_value();
    });
}

void Mp3Stream::stop_thread() {
    if (!thread_.joinable()) {
        return;
    }
    stop_ = true;
    wake_.notify_one();
    if (finished_.wait_for(kStopWait) == std::future_status::ready) {
        thread_.join();
    } else {
        std::fprintf(stderr, "sound: the tune decoder does not answer; left behind\n");
        thread_.detach();
        abandoned_ = true;
    }
}

void Mp3Stream::thread_main() {
    while (!stop_) {
        service(kRingFrames);
        std::unique_lock<std::mutex> lock(request_mutex_);
        // Woken at once by requests; while a tune plays the ring (0.75 s) is
        // topped up every few ms, otherwise there is nothing to do.
        wake_.wait_for(lock, std::chrono::milliseconds(busy_ ? 5 : 100));
    }
}

}  // namespace platform::audio
