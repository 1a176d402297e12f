// Small synthesis toolkit for the effects and tunes: noise, oscillators,
// filters, envelopes, a plucked string, and a room reverb.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "audio.h"
#include "draw.h"  // Rng

namespace assets {

constexpr double kTau = 6.283185307179586;

// Biquad filter (the usual cookbook forms), one channel.
class Biquad {
   public:
    static Biquad lowpass(double rate, double freq, double q = 0.707);
    static Biquad highpass(double rate, double freq, double q = 0.707);
    static Biquad bandpass(double rate, double freq, double q);  // peak gain 1
    float run(float x);
    // Retunes a low-pass filter without resetting its state (for sweeps).
    void set_lowpass(double rate, double freq, double q = 0.707);

   private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// Exponential decay from 1 with time constant tau (seconds).
inline double decay(double t, double tau) {
    return t < 0 ? 0 : std::exp(-t / tau);
}
// Linear attack over a seconds, then hold 1.
inline double attack(double t, double a) {
    return t < 0 ? 0 : (t < a ? t / a : 1.0);
}
// Attack, hold to `length`, then release over r seconds.
double adsr(double t, double length, double a, double d, double s, double r);

// Band-limited sawtooth and square by polyBLEP (phase 0..1, dt per sample).
double saw(double phase, double dt);
double square(double phase, double dt, double width = 0.5);

// A mono buffer of samples at a rate.
struct Buffer {
    double rate;
    std::vector<float> s;
    Buffer(double r, double seconds) : rate(r), s(static_cast<std::size_t>(r * seconds), 0.f) {}
    std::size_t size() const { return s.size(); }
    double time(std::size_t i) const { return static_cast<double>(i) / rate; }
    // Adds another buffer starting at `at` seconds, scaled.
    void mix(const Buffer& other, double at, double gain = 1.0);
};

// Karplus-Strong plucked string: frequency, length, brightness (0..1).
Buffer pluck(double rate, double freq, double seconds, double brightness, Rng& rng);

// Removes DC (high-pass at 20 Hz), fades the ends, scales the peak to `peak`.
void finish(std::vector<float>& s, int channels, double rate, double peak, double fade_in = 0.002,
            double fade_out = 0.01);

// Freeverb-like room on a stereo buffer (interleaved), mixed in at `wet`.
void reverb(std::vector<float>& stereo, double rate, double room, double wet);

Wave mono_wave(const Buffer& b, int bits = 16);

}  // namespace assets
