#include "platform/mixer.h"

#include <algorithm>
#include <cmath>

#include "platform/audio_convert.h"
#include "platform/mp3_stream.h"
#include "platform/tune_stream.h"

namespace platform::audio {

namespace {

constexpr double kPi = 3.14159265358979323846;

// MessageBeep(0): 150 ms of 880 Hz with 10 ms fades so that it does not click.
std::vector<std::int16_t> make_beep() {
    constexpr int kFrames = kMixRate * 150 / 1000;
    constexpr int kFade = kMixRate * 10 / 1000;
    std::vector<std::int16_t> out(static_cast<std::size_t>(kFrames) * kMixChannels);
    for (int i = 0; i < kFrames; ++i) {
        double env = 1.0;
        if (i < kFade) {
            env = static_cast<double>(i) / kFade;
        } else if (i >= kFrames - kFade) {
            env = static_cast<double>(kFrames - 1 - i) / kFade;
        }
        const double v = 0.35 * env * std::sin(2.0 * kPi * 880.0 * i / kMixRate);
        const auto s = static_cast<std::int16_t>(std::lround(v * 32767.0));
        out[static_cast<std::size_t>(i) * 2] = s;
        out[static_cast<std::size_t>(i) * 2 + 1] = s;
    }
    return out;
}

// Adds frames of one voice at the given gains; returns the frames used.
std::size_t add_voice(float* sum, const std::int16_t* samples, std::size_t available,
                      std::size_t frames, float left, float right) {
    const std::size_t n = std::min(available, frames);
    for (std::size_t i = 0; i < n; ++i) {
        sum[2 * i] += samples[2 * i] * left;
        sum[2 * i + 1] += samples[2 * i + 1] * right;
    }
    return n;
}

// Sums louder than three quarters of full scale (a tune, the jukebox and
// effects together) are bent smoothly towards full scale instead of being cut
// off flat, which would crackle; everything below passes unchanged.
float limit(float v) {
    constexpr float kFull = 32767.0f;
    constexpr float kKnee = 0.75f * kFull;
    const float a = std::fabs(v);
    if (a <= kKnee) {
        return v;
    }
    const float bent = kKnee + (kFull - kKnee) * std::tanh((a - kKnee) / (kFull - kKnee));
    return v < 0 ? -bent : bent;
}

}  // namespace

float attenuation_gain(int hundredths_db) {
    if (hundredths_db <= -10000) {
        return 0.0f;
    }
    if (hundredths_db >= 0) {
        return 1.0f;
    }
    return static_cast<float>(std::pow(10.0, hundredths_db / 2000.0));
}

Mixer::Mixer()
    : beep_(make_beep()),
      mp3_(std::make_unique<Mp3Stream>()),
      tune_(std::make_unique<TuneStream>()),
      sum_(kStepFrames * kMixChannels),
      mp3_frames_(kStepFrames * kMixChannels),
      tune_frames_(kStepFrames * kMixChannels) {
    buffers_.reserve(64);
}

Mixer::~Mixer() = default;

void Mixer::attach(SoundBuffer* buffer) {
    std::lock_guard<std::mutex> lock(mutex_);
    buffers_.push_back(buffer);
}

void Mixer::detach(SoundBuffer* buffer) {
    std::lock_guard<std::mutex> lock(mutex_);
    buffers_.erase(std::remove(buffers_.begin(), buffers_.end(), buffer), buffers_.end());
}

void Mixer::beep() {
    std::lock_guard<std::mutex> lock(mutex_);
    beep_position_ = 0;
    beep_on_ = true;
}

void Mixer::skip(std::size_t frames) {
    tune_->skip(frames);
    skip_effects(frames);
}

void Mixer::skip_effects(std::size_t frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (SoundBuffer* b : buffers_) {
        if (b->playing && b->frames - b->position <= frames) {
            b->playing = false;
            b->position = 0;
        } else if (b->playing) {
            b->position += frames;
        }
    }
    beep_position_ = std::min(beep_position_ + frames, beep_.size() / kMixChannels);
    beep_on_ = beep_on_ && beep_position_ < beep_.size() / kMixChannels;
}

void Mixer::stop_all() {
    tune_->play(nullptr);
    std::lock_guard<std::mutex> lock(mutex_);
    for (SoundBuffer* b : buffers_) {
        b->playing = false;
        b->position = 0;
    }
    beep_on_ = false;
}

void Mixer::mix(std::int16_t* out, std::size_t frames) {
    while (frames > 0) {
        const std::size_t n = std::min(frames, kStepFrames);
        mix_step(out, n);
        out += n * kMixChannels;
        frames -= n;
    }
}

void Mixer::mix_step(std::int16_t* out, std::size_t frames) {
    float* sum = sum_.data();
    std::fill(sum, sum + frames * kMixChannels, 0.0f);
    // The streams' own locks are taken first and alone, never inside ours.
    const std::size_t mp3 = mp3_->read(mp3_frames_.data(), frames);
    add_voice(sum, mp3_frames_.data(), mp3, frames, 1.0f, 1.0f);
    const std::size_t tune = tune_->read(tune_frames_.data(), frames);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (SoundBuffer* b : buffers_) {
            if (!b->playing) {
                continue;
            }
            b->position += add_voice(sum, b->samples.data() + b->position * kMixChannels,
                                     b->frames - b->position, frames, b->gain_left, b->gain_right);
            if (b->position >= b->frames) {
                // Played once: stopped, its cursor back at the start.
                b->playing = false;
                b->position = 0;
            }
        }
        // The tune is added after the effects, as it always was: float sums
        // in another order would round differently.
        add_voice(sum, tune_frames_.data(), tune, frames, 1.0f, 1.0f);
        if (beep_on_) {
            const std::size_t left = beep_.size() / kMixChannels - beep_position_;
            beep_position_ += add_voice(sum, beep_.data() + beep_position_ * kMixChannels, left,
                                        frames, 1.0f, 1.0f);
            beep_on_ = beep_position_ < beep_.size() / kMixChannels;
        }
    }
    for (std::size_t i = 0; i < frames * kMixChannels; ++i) {
        out[i] = static_cast<std::int16_t>(std::lrint(limit(sum[i])));
    }
}

Mixer& mixer() {
    static Mixer* const the_mixer = new Mixer();
    return *the_mixer;
}

}  // namespace platform::audio
