// The tune voice (PlaySoundA): a WAV file converted to the mix format a piece
// at a time, a little ahead of the mixer, into a ring of frames. Starting a
// tune only opens its file, so the game never waits for a conversion; the
// tune that sounded ends at the call, and a file that cannot be played ends
// it too and leaves silence.
//
// The converting side runs on its own thread with the SDL backend (the audio
// callback never waits for the disk), and on the headless backend just
// before each mix step, so that the output is exact in virtual time. Either
// way the samples are the same: they depend on the file alone.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/frame_ring.h"

namespace platform::audio {

class TuneSource;

class TuneStream {
   public:
    static constexpr std::size_t kRingFrames = 32768;  // ~0.75 s of convert-ahead

    TuneStream();
    ~TuneStream();
    TuneStream(const TuneStream&) = delete;
    TuneStream& operator=(const TuneStream&) = delete;

    // Game thread: starts the file from its beginning, ending the tune that
    // sounds; null only ends it. False when the file cannot be played.
    bool play(const char* path);

    // Mixing side: up to frames frames of the tune into out, the number
    // given. Fewer than asked while the tune sounds only when the converting
    // side has fallen behind; the rest of the tune then follows later.
    std::size_t read(std::int16_t* out, std::size_t frames);
    // True from a successful play until the mixer has taken its last frame.
    bool playing();
    // Moves the tune on by frames without mixing it (the headless backend's
    // long jumps of the virtual clock; no thread of its own may run).
    void skip(std::size_t frames);

    // Converting side: takes a new tune into account, then converts until at
    // least want frames are waiting, the ring is full or the tune is done.
    void service(std::size_t want);

    // Runs service on a thread of its own until stop_thread (or destruction).
    void start_thread();
    void stop_thread();

   private:
    void thread_main();

    // A started tune on its way from the game thread to the converting side.
    std::mutex request_mutex_;
    std::condition_variable wake_;
    std::unique_ptr<TuneSource> pending_;
    std::uint64_t pending_generation_ = 0;
    bool has_pending_ = false;

    // The ring, shared by the converting side and the mixer; its lock is
    // held only while frames are copied in or out.
    std::mutex ring_mutex_;
    FrameRing ring_{kRingFrames};
    std::uint64_t generation_ = 0;  // of the tune the ring is for
    bool sounding_ = false;
    bool complete_ = false;  // every frame of the tune is in the ring

    // Converting side only.
    std::unique_ptr<TuneSource> source_;
    std::uint64_t source_generation_ = 0;
    std::vector<std::int16_t> converted_;

    std::atomic<bool> busy_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace platform::audio
