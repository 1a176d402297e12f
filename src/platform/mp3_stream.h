// The jukebox's MP3 voice: libmpg123 decodes the open file a little ahead of
// the mixer into a ring of mix-format frames. Only regular files are opened,
// and never with a wait, so a named pipe or a device called like a tune is
// silence instead of a decoder that hangs. The game thread only posts
// requests (open, play, close); the decoding side opens and reads the file,
// either on its own thread (the SDL backend, so the audio callback never
// waits for the disk) or, on the headless backend, synchronously just before
// each mix step so that the output is exact in virtual time.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/frame_ring.h"

namespace platform::audio {

class Resampler;

class Mp3Stream {
   public:
    static constexpr std::size_t kRingFrames = 32768;  // ~0.75 s of decode-ahead
    static constexpr std::size_t kMaxPath = 4096;

    Mp3Stream();
    ~Mp3Stream();
    Mp3Stream(const Mp3Stream&) = delete;
    Mp3Stream& operator=(const Mp3Stream&) = delete;

    // Requests from the game thread; none of them touches the file.
    // open: a path of the working directory (any bytes but zero); a path too
    // long to keep opens nothing. Replaces whatever was open.
    void open(const char* path);
    // Plays from the start (or on, if still playing); repeat loops the file.
    void play(bool repeat);
    void close();

    // Mixing side: up to frames decoded frames into out, the number given.
    std::size_t read(std::int16_t* out, std::size_t frames);

    // Decoding side: takes pending requests into account, then decodes until
    // at least want frames are buffered, the ring is full or the file ended.
    void service(std::size_t want);

    // Runs service on a thread of its own until stop_thread (or destruction).
    // stop_thread waits a moment at most: a thread stuck reading a file is
    // left behind, so a stream that ran a thread must live as long as the
    // process (as the mixer's one stream does).
    void start_thread();
    void stop_thread();

    // True while frames of a playing file are still to come (for tests).
    bool busy() const { return busy_.load(); }

   private:
    struct Request {
        std::uint64_t generation = 0;
        char path[kMaxPath] = {};
        bool has_path = false;
        bool playing = false;
        bool repeat = false;
        std::uint64_t play_serial = 0;
    };

    void apply(const Request& r);
    void close_file();
    bool decode_chunk();
    std::size_t drain_resampler();
    std::size_t ring_fill();
    void thread_main();

    // Requests: written by the game thread, read by the decoding side.
    std::mutex request_mutex_;
    std::condition_variable wake_;
    Request wanted_;
    std::uint64_t next_generation_ = 0;

    // The ring, shared by the decoding side and the mixer; its lock is held
    // only while frames are copied in or out.
    std::mutex ring_mutex_;
    FrameRing ring_{kRingFrames};
    std::uint64_t ring_generation_ = 0;

    // Decoding side only.
    Request incoming_{};
    Request current_{};
    void* handle_ = nullptr;  // mpg123_handle
    int fd_ = -1;             // the open file, given to the decoder
    bool opened_ = false;
    bool ended_ = false;
    bool produced_since_start_ = false;
    std::unique_ptr<Resampler> resampler_;
    std::vector<std::int16_t> decoded_;    // one mpg123 read
    std::vector<std::int16_t> converted_;  // resampler output on its way to the ring

    std::atomic<bool> busy_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::future<void> finished_;  // ready once the thread has ended
    bool abandoned_ = false;
};

}  // namespace platform::audio
