// Our mixer, shared by both backends: one voice per static sound buffer, one
// tune voice (PlaySoundA), one MP3 stream voice (the jukebox) and the message
// beep, all in the mix format of audio_convert.h. The SDL backend's audio
// callback pulls from it; the headless backend runs it on the virtual clock.
//
// While the game runs nothing here allocates or touches a file: samples are
// converted when a buffer is filled, tunes and MP3 files on their own
// converting side (tune_stream.h, mp3_stream.h), and the mixer's lock is held
// for at most one mix step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound.h"

namespace platform {

// The DirectSound device: it only counts its buffers, so that each buffer
// knows its index in creation order.
class SoundDevice {
   public:
    int buffers_created = 0;
};

// A static sound buffer. The fields after `raw` belong to the mixer and are
// read or written only under its lock.
class SoundBuffer {
   public:
    WaveFormat format;
    std::vector<std::uint8_t> raw;  // the bytes the game locks and fills
    int index = 0;                  // creation order on its device
    bool locked = false;
    bool loaded = false;    // filled at least once
    int requested_pan = 0;  // as last asked, accepted or not
    int requested_volume = 0;
    int pan = 0;  // as accepted
    int volume = 0;

    std::vector<std::int16_t> samples;  // converted, interleaved stereo
    std::size_t frames = 0;
    std::size_t position = 0;  // next frame to mix
    bool playing = false;
    float gain_left = 1.0f;
    float gain_right = 1.0f;
};

}  // namespace platform

namespace platform::audio {

class Mp3Stream;
class TuneStream;

// Linear gain of an attenuation in hundredths of a decibel (0 = 1.0);
// -10000 and below is silence, as DirectSound treats it.
float attenuation_gain(int hundredths_db);

class Mixer {
   public:
    static constexpr std::size_t kStepFrames = 1024;

    Mixer();
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Renders frames of interleaved stereo into out, in steps of at most
    // kStepFrames, each under the lock.
    void mix(std::int16_t* out, std::size_t frames);

    // Guards the SoundBuffer fields that the mix reads and writes.
    std::mutex& mutex() { return mutex_; }

    // Buffers join at creation and leave at release (start-up and shutdown).
    void attach(SoundBuffer* buffer);
    void detach(SoundBuffer* buffer);

    // The tune voice (PlaySoundA).
    TuneStream& tune() { return *tune_; }

    // The short beep of MessageBeep, from its start.
    void beep();

    Mp3Stream& mp3() { return *mp3_; }

    // Moves every effect, the tune and the beep on by frames without mixing
    // them (a jump of the virtual clock too long to be worth mixing).
    void skip(std::size_t frames);
    // The same for the effects and the beep only: the time that passes while
    // no output takes samples (output_watch.h).
    void skip_effects(std::size_t frames);
    // Stops every effect, the tune and the beep.
    void stop_all();

   private:
    void mix_step(std::int16_t* out, std::size_t frames);

    std::mutex mutex_;
    std::vector<SoundBuffer*> buffers_;
    std::vector<std::int16_t> beep_;
    std::size_t beep_position_ = 0;
    bool beep_on_ = false;
    std::unique_ptr<Mp3Stream> mp3_;
    std::unique_ptr<TuneStream> tune_;
    std::vector<float> sum_;
    std::vector<std::int16_t> mp3_frames_;
    std::vector<std::int16_t> tune_frames_;
};

// The one mixer of the process. Never destroyed: the audio thread may still
// pull from it while the process ends.
Mixer& mixer();

}  // namespace platform::audio
