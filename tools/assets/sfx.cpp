// The 22 sound effects of Sound.dat, each synthesised from noise, simple
// oscillators, filters and envelopes. Most are 16-bit mono at 22050 Hz; the
// tick and the cow are 8-bit and the birdsong is stereo at 44100 Hz, so the
// game's format conversion is exercised by its own data.
#include <algorithm>
#include <cmath>

#include "synth.h"

namespace assets {

namespace {

constexpr double kRate = 22050;
constexpr double kPeak = 0.89;  // -1 dBFS

double midi(double note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// A short metallic impact: a noise burst through a resonant band plus a few
// ringing partials.
Buffer clack(double seconds, double band, const std::vector<double>& partials, double ring,
             Rng& rng) {
    Buffer b(kRate, seconds);
    Biquad bp = Biquad::bandpass(kRate, band, 4);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        double v = bp.run(static_cast<float>(rng.uniform(-1, 1) * decay(t, 0.004))) * 3.0;
        for (std::size_t k = 0; k < partials.size(); ++k) {
            v += 0.35 / (k + 1) * std::sin(kTau * partials[k] * t) * decay(t, ring / (1 + 0.4 * k));
        }
        // the ring fades out before the buffer ends, so no click is left
        b.s[i] = static_cast<float>(v * std::min(1.0, (seconds - t) / (0.3 * seconds)));
    }
    return b;
}

// A mallet note (glockenspiel-like): inharmonic partials that die quickly.
Buffer mallet(double freq, double seconds, double level = 1.0) {
    Buffer b(kRate, seconds);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        const double v = std::sin(kTau * freq * t) * decay(t, 0.35) +
                         0.35 * std::sin(kTau * freq * 2.76 * t) * decay(t, 0.09) +
                         0.15 * std::sin(kTau * freq * 5.4 * t) * decay(t, 0.04);
        b.s[i] = static_cast<float>(v * attack(t, 0.002) * level);
    }
    return b;
}

// A beep with a soft attack and release.
Buffer beep(double freq, double seconds, double brightness) {
    Buffer b(kRate, seconds);
    double phase = 0;
    const double dt = freq / kRate;
    Biquad lp = Biquad::lowpass(kRate, freq * (2 + 6 * brightness));
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        const double env = adsr(t, seconds - 0.04, 0.005, 0.05, 0.8, 0.035);
        const double v = (1 - brightness) * std::sin(kTau * phase) +
                         brightness * 0.5 * lp.run(static_cast<float>(square(phase, dt)));
        b.s[i] = static_cast<float>(v * env);
        phase += dt;
        phase -= std::floor(phase);
    }
    return b;
}

// A brassy note: sawtooth through a low-pass that opens with the attack.
Buffer brass(double freq, double length, double seconds, Rng& rng) {
    Buffer b(kRate, seconds);
    double phase = rng.uniform(0, 1);
    double phase2 = rng.uniform(0, 1);
    Biquad lp = Biquad::lowpass(kRate, 500);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        const double env = adsr(t, length, 0.02, 0.1, 0.75, 0.08);
        lp.set_lowpass(kRate, 400 + 3200 * env * (0.7 + 0.3 * decay(t, 0.15)), 0.9);
        const double vib = 1 + 0.006 * std::sin(kTau * 5.5 * t) * attack(t - 0.15, 0.2);
        const double v = saw(phase, freq / kRate) + 0.6 * saw(phase2, freq * 1.004 / kRate);
        b.s[i] = static_cast<float>(lp.run(static_cast<float>(v * 0.6)) * env);
        phase += freq * vib / kRate;
        phase -= std::floor(phase);
        phase2 += freq * 1.004 * vib / kRate;
        phase2 -= std::floor(phase2);
    }
    return b;
}

Wave done(Buffer b, int bits = 16, double fade_out = 0.01, double peak = kPeak) {
    finish(b.s, 1, b.rate, peak, 0.001, fade_out);
    return mono_wave(b, bits);
}

// 16: the shot. A crack, a burst of filtered noise and a low thump dying away
// in a short room; 300 ms, since its length is the shortest time between shots.
Wave gunshot() {
    Rng rng(16);
    Buffer b(kRate, 0.30);
    Biquad lp = Biquad::lowpass(kRate, 6000);
    Biquad room = Biquad::lowpass(kRate, 700);
    double thump_phase = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        const double n = rng.uniform(-1, 1);
        lp.set_lowpass(kRate, 700 + 7000 * decay(t, 0.025));
        const double crack = n * decay(t, 0.0025) * 1.2;
        const double body = lp.run(static_cast<float>(n)) * decay(t, 0.045) * 1.4;
        const double tail = room.run(static_cast<float>(n)) * decay(t - 0.01, 0.085) * 0.9 *
                            attack(t - 0.005, 0.02);
        thump_phase += (45 + 75 * decay(t, 0.03)) / kRate;
        const double thump = std::sin(kTau * thump_phase) * decay(t, 0.07) * 0.9;
        // driven into a soft clip for more punch
        b.s[i] = static_cast<float>(std::tanh(1.6 * (crack + body + tail + thump)));
    }
    return done(b, 16, 0.04);
}

// 15: reloading, a pump action: clack, slide, clack, and a shell dropping in.
Wave reload() {
    Rng rng(15);
    Buffer b(kRate, 0.70);
    b.mix(clack(0.08, 2600, {1850, 3120, 4650}, 0.02, rng), 0.01, 0.8);
    Buffer slide(kRate, 0.26);
    Biquad bp = Biquad::bandpass(kRate, 1300, 1.2);
    for (std::size_t i = 0; i < slide.size(); ++i) {
        const double t = slide.time(i);
        const double env = std::sin(M_PI * t / 0.26) * (0.6 + 0.4 * std::sin(kTau * 31 * t));
        slide.s[i] = static_cast<float>(bp.run(static_cast<float>(rng.uniform(-1, 1))) * env);
    }
    b.mix(slide, 0.06, 0.5);
    b.mix(clack(0.12, 1700, {1220, 2610, 3900}, 0.03, rng), 0.34, 1.0);
    b.mix(clack(0.06, 3400, {2900, 4400}, 0.012, rng), 0.56, 0.45);
    return done(b);
}

// 3: the empty gun: a dry, small click.
Wave empty_click() {
    Rng rng(3);
    Buffer b(kRate, 0.09);
    b.mix(clack(0.09, 3200, {2250, 3800}, 0.012, rng), 0.0);
    return done(b);
}

// 9: a flyer is hit: a squawk and a puff of feathers.
Wave squawk() {
    Rng rng(9);
    Buffer b(kRate, 0.45);
    Biquad f1 = Biquad::bandpass(kRate, 1150, 3);
    Biquad f2 = Biquad::bandpass(kRate, 2700, 4);
    Biquad puff = Biquad::highpass(kRate, 2500);
    double phase = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        // pitch: a quick rise, then falling away
        const double f0 =
            480 + 900 * std::sin(M_PI * std::min(1.0, t / 0.3 + 0.15)) * decay(t, 0.5);
        const double wobble = 1 + 0.08 * std::sin(kTau * 34 * t);
        phase += f0 * wobble / kRate;
        phase -= std::floor(phase);
        const double src =
            saw(phase, f0 / kRate) * (0.8 + 0.4 * rng.uniform(0, 1)) + 0.5 * rng.uniform(-1, 1);
        const double voice =
            (f1.run(static_cast<float>(src)) * 1.6 + f2.run(static_cast<float>(src))) *
            adsr(t, 0.26, 0.01, 0.05, 0.8, 0.06);
        const double feathers = puff.run(static_cast<float>(rng.uniform(-1, 1))) *
                                decay(t - 0.02, 0.09) * attack(t - 0.02, 0.01) * 0.5;
        b.s[i] = static_cast<float>(voice * 1.6 + feathers);
    }
    return done(b, 16, 0.05);
}

// 7: the riser is hit: a thud and a wobbling "boing".
Wave boing() {
    Buffer b(kRate, 0.65);
    double phase = 0;
    double thump = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        const double f =
            (150 + 260 * decay(t, 0.05)) * (1 + 0.22 * std::sin(kTau * 16 * t) * decay(t, 0.3));
        phase += f / kRate;
        const double tone = std::sin(kTau * phase) * decay(t, 0.22) * attack(t, 0.004);
        thump += (60 + 80 * decay(t, 0.02)) / kRate;
        const double kick = std::sin(kTau * thump) * decay(t, 0.05);
        b.s[i] = static_cast<float>(tone * 0.9 + kick * 0.7);
    }
    return done(b, 16, 0.06);
}

// 1: the peeker is hit: a wooden bonk and a squeak sliding down.
Wave bonk() {
    Buffer b(kRate, 0.5);
    double phase = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        const double wood =
            (std::sin(kTau * 720 * t) + 0.5 * std::sin(kTau * 1730 * t)) * decay(t, 0.035);
        const double f = 1500 * std::pow(0.35, std::min(1.0, (t - 0.06) / 0.32)) *
                         (1 + 0.04 * std::sin(kTau * 22 * t));
        phase += (t > 0.06 ? f : 0) / kRate;
        const double squeak =
            std::sin(kTau * phase) * adsr(t - 0.06, 0.3, 0.02, 0.05, 0.8, 0.08) * 0.45;
        b.s[i] = static_cast<float>(wood + squeak);
    }
    return done(b, 16, 0.05);
}

// Leaves and grass being pushed aside.
Buffer rustle(double seconds, double band, Rng& rng) {
    Buffer b(kRate, seconds);
    Biquad bp = Biquad::bandpass(kRate, band, 0.9);
    double flutter = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        if (i % 220 == 0) {
            flutter = rng.uniform(0.2, 1.0);
        }
        const double env = std::sin(M_PI * std::min(1.0, t / seconds)) * flutter;
        b.s[i] = static_cast<float>(bp.run(static_cast<float>(rng.uniform(-1, 1))) * env);
    }
    return b;
}

// 8: the peeker comes out: a rustle and two curious peeps.
Wave peeker_appears() {
    Rng rng(8);
    Buffer b(kRate, 0.42);
    b.mix(rustle(0.22, 3200, rng), 0.0, 1.2);
    for (int k = 0; k < 2; ++k) {
        Buffer peep(kRate, 0.07);
        double phase = 0;
        for (std::size_t i = 0; i < peep.size(); ++i) {
            const double t = peep.time(i);
            phase += (2100 + 900 * t / 0.07) / kRate;
            peep.s[i] = static_cast<float>(std::sin(kTau * phase) * std::sin(M_PI * t / 0.07));
        }
        b.mix(peep, 0.2 + 0.11 * k, 0.5);
    }
    return done(b);
}

// 11: the riser comes out: scrambling and a rising "hup".
Wave riser_appears() {
    Rng rng(11);
    Buffer b(kRate, 0.48);
    b.mix(rustle(0.25, 1500, rng), 0.0, 1.3);
    Buffer hup(kRate, 0.22);
    double phase = 0;
    for (std::size_t i = 0; i < hup.size(); ++i) {
        const double t = hup.time(i);
        const double f = 240 + 460 * (t / 0.22) * (t / 0.22);
        phase += f / kRate;
        phase -= std::floor(phase);
        hup.s[i] = static_cast<float>((std::sin(kTau * phase) + 0.25 * square(phase, f / kRate)) *
                                      std::sin(M_PI * t / 0.22));
    }
    b.mix(hup, 0.22, 0.6);
    return done(b);
}

// 13, 0 and 10: the multi-hit bonuses, longer for more targets.
Wave bonus(int level) {
    Rng rng(100 + level);
    Buffer b(kRate, level == 0 ? 0.55 : (level == 1 ? 0.8 : 1.35));
    const std::vector<std::vector<double>> notes = {
        {79, 84}, {72, 76, 79, 84}, {72, 76, 79, 84, 88, 91, 96}};
    const double step = level == 2 ? 0.065 : 0.08;
    for (std::size_t k = 0; k < notes[level].size(); ++k) {
        b.mix(mallet(midi(notes[level][k]), 0.6), step * k, 0.8);
    }
    if (level == 2) {
        // sparkle, then the whole chord
        for (int k = 0; k < 10; ++k) {
            b.mix(mallet(midi(96 + 12 * rng.uniform(0, 1)), 0.25), 0.5 + 0.05 * k, 0.18);
        }
        for (double n : {72.0, 76.0, 79.0, 84.0}) {
            b.mix(mallet(midi(n), 0.8), 0.55, 0.45);
        }
    }
    return done(b, 16, 0.05);
}

// 5: a tick of the clock in the last ten seconds: a woodblock, 8-bit.
Wave tick() {
    Buffer b(kRate, 0.06);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        b.s[i] = static_cast<float>((std::sin(kTau * 1850 * t) + 0.6 * std::sin(kTau * 2710 * t)) *
                                    decay(t, 0.012));
    }
    return done(b, 8, 0.005);
}

// 17: the countdown beep of "-3-", "-2-" and "-1-".
Wave countdown_beep() {
    return done(beep(midi(81), 0.2, 0.3), 16, 0.01, 0.55);
}

// 14: the extra weight of "-1-": a low tom and a lower tone under the beep.
Wave countdown_accent() {
    Buffer b(kRate, 0.4);
    double phase = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        phase += (95 + 90 * decay(t, 0.05)) / kRate;
        b.s[i] = static_cast<float>(std::sin(kTau * phase) * decay(t, 0.15));
    }
    b.mix(beep(midi(69), 0.3, 0.2), 0, 0.5);
    return done(b, 16, 0.04, 0.7);
}

// 4: the high, long "go" beep of "Shot!".
Wave go_beep() {
    return done(beep(midi(93), 0.45, 0.45), 16, 0.01, 0.55);
}

// 6: with it, a brass stab and a cymbal.
Wave go_stab() {
    Rng rng(6);
    Buffer b(kRate, 0.75);
    for (double n : {60.0, 64.0, 67.0, 72.0}) {
        b.mix(brass(midi(n), 0.22, 0.4, rng), 0.0, 0.35);
    }
    Buffer cym(kRate, 0.75);
    Biquad hp = Biquad::highpass(kRate, 5000);
    for (std::size_t i = 0; i < cym.size(); ++i) {
        const double t = cym.time(i);
        cym.s[i] = static_cast<float>(hp.run(static_cast<float>(rng.uniform(-1, 1))) *
                                      decay(t, 0.25) * attack(t, 0.003));
    }
    b.mix(cym, 0.0, 0.2);
    return done(b, 16, 0.08);
}

// 12: the pop-up figure's cheer: a small crowd shouting, clapping, whistling.
Wave cheer() {
    Rng rng(12);
    Buffer b(kRate, 1.8);
    for (int v = 0; v < 14; ++v) {
        const double f0 = rng.uniform(170, 420);
        const double start = rng.uniform(0, 0.15);
        const double len = rng.uniform(0.9, 1.3);
        Buffer voice(kRate, len + 0.3);
        Biquad fa = Biquad::bandpass(kRate, rng.uniform(650, 800), 5);
        Biquad fb = Biquad::bandpass(kRate, rng.uniform(1150, 1750), 6);
        Biquad fc = Biquad::bandpass(kRate, 2600, 6);
        double phase = rng.uniform(0, 1);
        for (std::size_t i = 0; i < voice.size(); ++i) {
            const double t = voice.time(i);
            // "yaaay": up, hold, a little fall at the end
            const double contour =
                1 + 0.25 * std::min(1.0, t / 0.2) - 0.15 * std::max(0.0, t - len * 0.7);
            const double f = f0 * contour * (1 + 0.02 * std::sin(kTau * 6 * t + v));
            phase += f / kRate;
            phase -= std::floor(phase);
            // voiced and breathy: shouting is half noise
            const double src = saw(phase, f / kRate) * 0.7 + 0.6 * rng.uniform(-1, 1);
            const double env = adsr(t, len, 0.06, 0.1, 0.8, 0.25);
            voice.s[i] = static_cast<float>((fa.run(static_cast<float>(src)) +
                                             0.7 * fb.run(static_cast<float>(src)) +
                                             0.3 * fc.run(static_cast<float>(src))) *
                                            env);
        }
        b.mix(voice, start, 0.5);
    }
    for (int k = 0; k < 30; ++k) {
        Buffer clap(kRate, 0.05);
        Biquad bp = Biquad::bandpass(kRate, rng.uniform(1100, 2000), 1.5);
        for (std::size_t i = 0; i < clap.size(); ++i) {
            clap.s[i] = static_cast<float>(bp.run(static_cast<float>(rng.uniform(-1, 1))) *
                                           decay(clap.time(i), 0.012));
        }
        b.mix(clap, rng.uniform(0.15, 1.6), rng.uniform(0.6, 1.0));
    }
    Buffer whistle(kRate, 0.5);
    double phase = 0;
    for (std::size_t i = 0; i < whistle.size(); ++i) {
        const double t = whistle.time(i);
        const double f = 2200 + 900 * std::min(1.0, t / 0.15) + 60 * std::sin(kTau * 9 * t);
        phase += f / kRate;
        whistle.s[i] =
            static_cast<float>(std::sin(kTau * phase) * adsr(t, 0.4, 0.02, 0.05, 0.9, 0.08));
    }
    b.mix(whistle, 0.3, 0.25);
    return done(b, 16, 0.15);
}

// 18: the round ends with a place in the list: a bright fanfare.
Wave win_jingle() {
    Rng rng(18);
    Buffer b(kRate, 2.4);
    const double notes[][3] = {{67, 0.0, 0.12},  {72, 0.15, 0.12}, {76, 0.30, 0.12},
                               {79, 0.45, 0.25}, {76, 0.75, 0.12}, {79, 0.90, 0.9}};
    for (const auto& n : notes) {
        b.mix(brass(midi(n[0]), n[2], n[2] + 0.3, rng), n[1], 0.5);
        b.mix(mallet(midi(n[0] + 12), 0.5), n[1], 0.25);
    }
    for (double n : {48.0, 55.0, 60.0, 64.0}) {
        b.mix(brass(midi(n), 0.9, 1.3, rng), 0.9, 0.28);
    }
    Buffer cym(kRate, 1.4);
    Biquad hp = Biquad::highpass(kRate, 4500);
    for (std::size_t i = 0; i < cym.size(); ++i) {
        cym.s[i] = static_cast<float>(hp.run(static_cast<float>(rng.uniform(-1, 1))) *
                                      decay(cym.time(i), 0.45));
    }
    b.mix(cym, 0.9, 0.12);
    return done(b, 16, 0.2);
}

// 20: the round ends without one: the sad trombone, "wah wah wah waaah".
Wave lose_jingle() {
    Buffer b(kRate, 2.7);
    const double notes[][3] = {{55, 0.0, 0.38}, {54, 0.45, 0.38}, {53, 0.9, 0.38}, {52, 1.35, 1.1}};
    for (const auto& n : notes) {
        const double f = midi(n[0]);
        const double len = n[2];
        Buffer note(kRate, len + 0.2);
        Biquad lp = Biquad::lowpass(kRate, 300, 2.5);
        double phase = 0;
        for (std::size_t i = 0; i < note.size(); ++i) {
            const double t = note.time(i);
            const double vib =
                len > 1 ? 1 + 0.025 * std::sin(kTau * 5.5 * t) * attack(t - 0.2, 0.4) : 1;
            const double bend = len > 1 ? 1 - 0.03 * std::max(0.0, t - 0.7) : 1;
            phase += f * vib * bend / kRate;
            phase -= std::floor(phase);
            // The "wah": the filter opens after each start, like a mute pulled away.
            lp.set_lowpass(kRate, 350 + 1300 * std::sin(M_PI * std::min(1.0, t / (len * 0.9))),
                           2.5);
            const double env = adsr(t, len, 0.03, 0.1, 0.85, 0.12);
            note.s[i] = static_cast<float>(lp.run(static_cast<float>(saw(phase, f / kRate))) * env);
        }
        b.mix(note, n[1], 1.0);
    }
    return done(b, 16, 0.2);
}

// 19: the menu selection moves: a soft blip.
Wave menu_move() {
    Buffer b(kRate, 0.07);
    double phase = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        phase += (700 + 500 * t / 0.07) / kRate;
        b.s[i] = static_cast<float>(std::sin(kTau * phase) * std::sin(M_PI * t / 0.07));
    }
    return done(b, 16, 0.005, 0.45);
}

// 2: a cow lowing in the distance (8-bit at 11025 Hz is plenty for it).
Wave cow() {
    constexpr double kCowRate = 11025;
    Rng rng(2);
    Buffer b(kCowRate, 1.9);
    Biquad f1 = Biquad::bandpass(kCowRate, 320, 3);
    Biquad f2 = Biquad::bandpass(kCowRate, 750, 4);
    Biquad lp = Biquad::lowpass(kCowRate, 300, 0.8);
    double phase = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        const double f = 118 - 14 * std::min(1.0, t / 1.5) + 3 * std::sin(kTau * 4.5 * t);
        phase += f / kCowRate;
        phase -= std::floor(phase);
        const double src = saw(phase, f / kCowRate) + 0.08 * rng.uniform(-1, 1);
        // "mmm" opening to "ooo" and closing again
        const double open = std::sin(M_PI * std::min(1.0, t / 1.6));
        lp.set_lowpass(kCowRate, 250 + 900 * open, 0.8);
        const double v = lp.run(static_cast<float>(f1.run(static_cast<float>(src)) * 2 +
                                                   f2.run(static_cast<float>(src)) * open));
        b.s[i] = static_cast<float>(v * adsr(t, 1.5, 0.15, 0.2, 0.85, 0.35));
    }
    // Ambient noises stay well below the shots and hits.
    return done(b, 8, 0.1, 0.5);
}

// 21: birdsong from both sides, stereo at 44100 Hz, with a breath of wind.
Wave birdsong() {
    constexpr double kBirdRate = 44100;
    Rng rng(21);
    const double seconds = 2.6;
    Wave w;
    w.rate = static_cast<int>(kBirdRate);
    w.channels = 2;
    w.bits = 16;
    const auto frames = static_cast<std::size_t>(kBirdRate * seconds);
    w.samples.assign(frames * 2, 0.f);
    auto chirp = [&](double start, double f0, double f1, double len, double pan, double level) {
        const auto s0 = static_cast<std::size_t>(start * kBirdRate);
        double phase = 0;
        const auto n = static_cast<std::size_t>(len * kBirdRate);
        for (std::size_t i = 0; i < n && s0 + i < frames; ++i) {
            const double t = static_cast<double>(i) / kBirdRate;
            const double u = t / len;
            const double f = f0 + (f1 - f0) * u + 250 * std::sin(kTau * 38 * t);
            phase += f / kBirdRate;
            phase -= std::floor(phase);
            const double v = std::sin(kTau * phase) * std::sin(M_PI * u) * level;
            w.samples[(s0 + i) * 2] += static_cast<float>(v * (1 - pan));
            w.samples[(s0 + i) * 2 + 1] += static_cast<float>(v * pan);
        }
    };
    // A warbling phrase on the left, an answering one on the right.
    double t = 0.05;
    for (int k = 0; k < 7; ++k) {
        const double f = rng.uniform(2600, 4200);
        chirp(t, f, f + rng.uniform(-900, 1200), rng.uniform(0.05, 0.09), 0.22, 0.5);
        t += rng.uniform(0.07, 0.11);
    }
    t = 1.05;
    for (int k = 0; k < 5; ++k) {
        chirp(t, 4200, 2800, 0.06, 0.8, 0.42);
        chirp(t + 0.07, 3000, 3900, 0.05, 0.8, 0.38);
        t += 0.16;
    }
    t = 2.0;
    for (int k = 0; k < 3; ++k) {
        chirp(t, 3600, 5000, 0.1, 0.45, 0.3);
        t += 0.17;
    }
    Biquad wind_l = Biquad::lowpass(kBirdRate, 400);
    Biquad wind_r = Biquad::lowpass(kBirdRate, 420);
    for (std::size_t i = 0; i < frames; ++i) {
        const double tt = static_cast<double>(i) / kBirdRate;
        const double g = 0.06 * (0.6 + 0.4 * std::sin(kTau * 0.4 * tt));
        w.samples[i * 2] +=
            static_cast<float>(wind_l.run(static_cast<float>(rng.uniform(-1, 1))) * g);
        w.samples[i * 2 + 1] +=
            static_cast<float>(wind_r.run(static_cast<float>(rng.uniform(-1, 1))) * g);
    }
    finish(w.samples, 2, kBirdRate, 0.5, 0.05, 0.2);
    return w;
}

}  // namespace

std::vector<Wave> make_sounds() {
    std::vector<Wave> s(22);
    s[0] = bonus(1);
    s[1] = bonk();
    s[2] = cow();
    s[3] = empty_click();
    s[4] = go_beep();
    s[5] = tick();
    s[6] = go_stab();
    s[7] = boing();
    s[8] = peeker_appears();
    s[9] = squawk();
    s[10] = bonus(2);
    s[11] = riser_appears();
    s[12] = cheer();
    s[13] = bonus(0);
    s[14] = countdown_accent();
    s[15] = reload();
    s[16] = gunshot();
    s[17] = countdown_beep();
    s[18] = win_jingle();
    s[19] = menu_move();
    s[20] = lose_jingle();
    s[21] = birdsong();
    return s;
}

}  // namespace assets
