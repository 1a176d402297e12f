#include "synth.h"

#include <algorithm>
#include <cstring>

#include "core/bytes.h"

namespace assets {

namespace {

double blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

}  // namespace

Biquad Biquad::lowpass(double rate, double freq, double q) {
    Biquad f;
    f.set_lowpass(rate, freq, q);
    return f;
}

void Biquad::set_lowpass(double rate, double freq, double q) {
    freq = std::clamp(freq, 10.0, rate * 0.45);
    const double w = kTau * freq / rate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    const double a0 = 1 + alpha;
    b0_ = (1 - c) / 2 / a0;
    b1_ = (1 - c) / a0;
    b2_ = (1 - c) / 2 / a0;
    a1_ = -2 * c / a0;
    a2_ = (1 - alpha) / a0;
}

Biquad Biquad::highpass(double rate, double freq, double q) {
    Biquad f;
    freq = std::clamp(freq, 10.0, rate * 0.45);
    const double w = kTau * freq / rate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    const double a0 = 1 + alpha;
    f.b0_ = (1 + c) / 2 / a0;
    f.b1_ = -(1 + c) / a0;
    f.b2_ = (1 + c) / 2 / a0;
    f.a1_ = -2 * c / a0;
    f.a2_ = (1 - alpha) / a0;
    return f;
}

Biquad Biquad::bandpass(double rate, double freq, double q) {
    Biquad f;
    freq = std::clamp(freq, 10.0, rate * 0.45);
    const double w = kTau * freq / rate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    const double a0 = 1 + alpha;
    f.b0_ = alpha / a0;
    f.b1_ = 0;
    f.b2_ = -alpha / a0;
    f.a1_ = -2 * c / a0;
    f.a2_ = (1 - alpha) / a0;
    return f;
}

float Biquad::run(float x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return static_cast<float>(y);
}

double adsr(double t, double length, double a, double d, double s, double r) {
    if (t < 0) {
        return 0;
    }
    double level;
    if (t < a) {
        level = t / a;
    } else if (t < a + d) {
        level = 1 - (1 - s) * (t - a) / d;
    } else {
        level = s;
    }
    if (t > length) {
        const double rel = (t - length) / r;
        level *= rel >= 1 ? 0 : (1 - rel) * (1 - rel);
    }
    return level;
}

double saw(double phase, double dt) {
    return 2 * phase - 1 - blep(phase, dt);
}

double square(double phase, double dt, double width) {
    double v = phase < width ? 1.0 : -1.0;
    v += blep(phase, dt);
    double p2 = phase + (1 - width);
    p2 -= std::floor(p2);
    v -= blep(p2, dt);
    return v;
}

void Buffer::mix(const Buffer& other, double at, double gain) {
    const auto start = static_cast<std::size_t>(std::max(0.0, at) * rate);
    for (std::size_t i = 0; i < other.size() && start + i < s.size(); ++i) {
        s[start + i] += static_cast<float>(other.s[i] * gain);
    }
}

Buffer pluck(double rate, double freq, double seconds, double brightness, Rng& rng) {
    Buffer out(rate, seconds);
    // The loop's delay is the line's length, less half a sample for the
    // two-point average, plus the allpass's fractional delay; the fraction is
    // kept away from 0, where the allpass would ring.
    const double exact = rate / freq + 0.5;
    auto period = static_cast<std::size_t>(exact);
    double frac = exact - static_cast<double>(period);
    if (frac < 0.2 && period > 2) {
        --period;
        frac += 1;
    }
    std::vector<double> line(period);
    // The excitation: noise, softened for a duller string.
    double prev = 0;
    for (double& v : line) {
        const double n = rng.uniform(-1, 1);
        prev = prev + (n - prev) * (0.25 + 0.75 * brightness);
        v = prev;
    }
    const double ap = (1 - frac) / (1 + frac);
    double ap_state = 0;
    double ap_in = 0;
    std::size_t idx = 0;
    const double damp = 0.4985 + 0.0013 * brightness;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::size_t next = (idx + 1) % period;
        const double avg = damp * (line[idx] + line[next]);
        const double y = ap * avg + ap_in - ap * ap_state;
        ap_in = avg;
        ap_state = y;
        out.s[i] = static_cast<float>(line[idx]);
        line[idx] = y;
        idx = next;
    }
    return out;
}

void finish(std::vector<float>& s, int channels, double rate, double peak, double fade_in,
            double fade_out) {
    const std::size_t frames = s.size() / channels;
    for (int c = 0; c < channels; ++c) {
        Biquad hp = Biquad::highpass(rate, 20, 0.707);
        double sum = 0;
        for (std::size_t i = 0; i < frames; ++i) {
            float& v = s[i * channels + c];
            v = hp.run(v);
            sum += v;
        }
        const double mean = sum / std::max<std::size_t>(1, frames);
        for (std::size_t i = 0; i < frames; ++i) {
            s[i * channels + c] -= static_cast<float>(mean);
        }
    }
    const auto in = static_cast<std::size_t>(fade_in * rate);
    const auto out = static_cast<std::size_t>(fade_out * rate);
    for (std::size_t i = 0; i < frames; ++i) {
        double g = 1;
        if (i < in) {
            g = static_cast<double>(i) / in;
        }
        if (i + out >= frames) {
            g = std::min(g, static_cast<double>(frames - 1 - i) / std::max<std::size_t>(1, out));
        }
        for (int c = 0; c < channels; ++c) {
            s[i * channels + c] *= static_cast<float>(g);
        }
    }
    float top = 0;
    for (float v : s) {
        top = std::max(top, std::abs(v));
    }
    if (top > 0) {
        const auto k = static_cast<float>(peak / top);
        for (float& v : s) {
            v *= k;
        }
    }
}

void reverb(std::vector<float>& stereo, double rate, double room, double wet) {
    // Comb and allpass lengths of the classic design, scaled to the rate;
    // the right channel's lines are a little longer for width.
    const int combs[4] = {1116, 1188, 1277, 1356};
    const int allpasses[2] = {556, 441};
    const double scale = rate / 44100.0;
    const std::size_t frames = stereo.size() / 2;
    for (int ch = 0; ch < 2; ++ch) {
        const int spread = ch * 23;
        std::vector<std::vector<float>> cl;
        std::vector<float> filt(4, 0.f);
        for (int len : combs) {
            cl.emplace_back(static_cast<std::size_t>((len + spread) * scale), 0.f);
        }
        std::vector<std::vector<float>> al;
        for (int len : allpasses) {
            al.emplace_back(static_cast<std::size_t>((len + spread) * scale), 0.f);
        }
        std::vector<std::size_t> ci(4, 0);
        std::vector<std::size_t> ai(2, 0);
        const float feedback = static_cast<float>(0.7 + 0.28 * room);
        const float damp = 0.3f;
        for (std::size_t i = 0; i < frames; ++i) {
            const float in = stereo[i * 2 + ch] * 0.15f;
            float out = 0;
            for (int k = 0; k < 4; ++k) {
                float& slot = cl[k][ci[k]];
                const float y = slot;
                filt[k] = y * (1 - damp) + filt[k] * damp;
                slot = in + filt[k] * feedback;
                ci[k] = (ci[k] + 1) % cl[k].size();
                out += y;
            }
            for (int k = 0; k < 2; ++k) {
                float& slot = al[k][ai[k]];
                const float buf = slot;
                slot = out + buf * 0.5f;
                out = buf - out;
                ai[k] = (ai[k] + 1) % al[k].size();
            }
            stereo[i * 2 + ch] += static_cast<float>(out * wet);
        }
    }
}

Wave mono_wave(const Buffer& b, int bits) {
    Wave w;
    w.rate = static_cast<int>(b.rate);
    w.channels = 1;
    w.bits = bits;
    w.samples = b.s;
    return w;
}

std::vector<std::uint8_t> wav_bytes(const Wave& wave) {
    const int bytes_per_sample = wave.bits / 8;
    const auto data_size = static_cast<std::uint32_t>(wave.samples.size() * bytes_per_sample);
    // A data chunk of odd size gets a pad byte, as RIFF asks.
    const std::uint32_t pad = data_size & 1u;
    std::vector<std::uint8_t> out(44 + data_size + pad, 0);
    std::memcpy(out.data(), "RIFF", 4);
    le::put_u32(&out[4], 36 + data_size + pad);
    std::memcpy(out.data() + 8, "WAVE", 4);
    std::memcpy(out.data() + 12, "fmt ", 4);
    le::put_u32(&out[16], 16);
    le::put_u16(&out[20], 1);
    le::put_u16(&out[22], wave.channels);
    le::put_u32(&out[24], static_cast<std::uint32_t>(wave.rate));
    le::put_u32(&out[28], static_cast<std::uint32_t>(wave.rate * wave.channels * bytes_per_sample));
    le::put_u16(&out[32], wave.channels * bytes_per_sample);
    le::put_u16(&out[34], wave.bits);
    std::memcpy(out.data() + 36, "data", 4);
    le::put_u32(&out[40], data_size);
    std::size_t at = 44;
    for (float v : wave.samples) {
        const double c = std::clamp(static_cast<double>(v), -1.0, 1.0);
        if (wave.bits == 8) {
            out[at++] = static_cast<std::uint8_t>(std::clamp(std::lround(128 + c * 127), 0L, 255L));
        } else {
            le::put_u16(&out[at], static_cast<int>(std::lround(c * 32767)));
            at += 2;
        }
    }
    return out;
}

}  // namespace assets
