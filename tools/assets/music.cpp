// The five WAV tunes: small arrangements for a country band (fiddle, flute,
// banjo, accordion, bass, brass, glockenspiel and light drums), written out
// as notes and rendered in stereo at 22050 Hz with a little room.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

#include "synth.h"

namespace assets {

namespace {

constexpr double kRate = 22050;

double freq_of(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// "C5", "F#4", "Bb3" -> MIDI note number.
int parse_pitch(const std::string& p) {
    static const int semis[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (p.empty() || p[0] < 'A' || p[0] > 'G') {
        throw std::runtime_error("bad pitch " + p);
    }
    int s = semis[p[0] - 'A'];
    std::size_t i = 1;
    if (i < p.size() && p[i] == '#') {
        ++s;
        ++i;
    } else if (i < p.size() && p[i] == 'b') {
        --s;
        ++i;
    }
    const int octave = std::atoi(p.c_str() + i);
    return 12 * (octave + 1) + s;
}

struct Note {
    double beat;
    double len;
    int pitch;
};

// A melody line: "C5:1 D5:0.5 r:0.5 [C4 E4 G4]:2" (pitch:beats, r = rest,
// brackets = notes sounding together).
std::vector<Note> line(const std::string& text, double start = 0) {
    std::vector<Note> out;
    std::istringstream in(text);
    std::string tok;
    double beat = start;
    std::vector<std::string> chord;
    bool in_chord = false;
    while (in >> tok) {
        if (tok[0] == '[') {
            in_chord = true;
            chord.clear();
            tok = tok.substr(1);
        }
        const auto colon = tok.find(':');
        const auto close = tok.find(']');
        std::string pitch = tok.substr(0, std::min(colon, close));
        if (in_chord) {
            chord.push_back(pitch);
            if (close == std::string::npos) {
                continue;
            }
            const double len = std::atof(tok.c_str() + colon + 1);
            for (const auto& p : chord) {
                out.push_back({beat, len, parse_pitch(p)});
            }
            beat += len;
            in_chord = false;
            continue;
        }
        if (colon == std::string::npos) {
            throw std::runtime_error("bad token " + tok);
        }
        const double len = std::atof(tok.c_str() + colon + 1);
        if (pitch != "r") {
            out.push_back({beat, len, parse_pitch(pitch)});
        }
        beat += len;
    }
    return out;
}

// A chord name ("G", "Em", "A7", "Bb", "F#m") as pitches from `octave`.
std::vector<int> chord_tones(const std::string& name, int octave) {
    std::size_t i = 1;
    if (name.size() > 1 && (name[1] == '#' || name[1] == 'b')) {
        i = 2;
    }
    const int root = parse_pitch(name.substr(0, i) + std::to_string(octave));
    const std::string q = name.substr(i);
    std::vector<int> tones{root, root + (q == "m" ? 3 : 4), root + 7};
    if (q == "7") {
        tones.push_back(root + 10);
    }
    return tones;
}

// --- instruments ----------------------------------------------------------------

using Voice = Buffer (*)(double freq, double len, Rng& rng);

Buffer banjo(double freq, double len, Rng& rng) {
    Buffer b = pluck(kRate, freq, len + 0.4, 0.85, rng);
    for (std::size_t i = 0; i < b.size(); ++i) {
        b.s[i] *= static_cast<float>(decay(b.time(i), 0.45) *
                                     adsr(b.time(i), len + 0.15, 0.001, 0.01, 1, 0.2));
    }
    return b;
}

Buffer guitar(double freq, double len, Rng& rng) {
    Buffer b = pluck(kRate, freq, len + 0.6, 0.5, rng);
    for (std::size_t i = 0; i < b.size(); ++i) {
        b.s[i] *= static_cast<float>(adsr(b.time(i), len + 0.3, 0.002, 0.01, 1, 0.3));
    }
    return b;
}

Buffer bass(double freq, double len, Rng& rng) {
    Buffer b(kRate, len + 0.25);
    Biquad lp = Biquad::lowpass(kRate, 700);
    double phase = rng.uniform(0, 1);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        const double v = std::sin(kTau * phase) + 0.35 * saw(phase, freq / kRate);
        phase += freq / kRate;
        phase -= std::floor(phase);
        b.s[i] = static_cast<float>(lp.run(static_cast<float>(v)) * decay(t, 0.5) *
                                    adsr(t, len, 0.006, 0.05, 0.9, 0.12));
    }
    return b;
}

Buffer fiddle(double freq, double len, Rng& rng) {
    Buffer b(kRate, len + 0.25);
    Biquad lp = Biquad::lowpass(kRate, 2600, 0.9);
    Biquad body = Biquad::bandpass(kRate, 1100, 1.2);
    double phase = rng.uniform(0, 1);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        const double vib = 1 + 0.007 * std::sin(kTau * 5.8 * t) * attack(t - 0.12, 0.15);
        phase += freq * vib / kRate;
        phase -= std::floor(phase);
        const double v = saw(phase, freq / kRate) + 0.02 * rng.uniform(-1, 1);
        const double x = lp.run(static_cast<float>(v));
        b.s[i] = static_cast<float>((0.7 * x + 0.8 * body.run(static_cast<float>(x))) *
                                    adsr(t, len * 0.92, 0.025, 0.08, 0.8, 0.08));
    }
    return b;
}

Buffer flute(double freq, double len, Rng& rng) {
    Buffer b(kRate, len + 0.2);
    Biquad breath = Biquad::bandpass(kRate, freq * 2, 2);
    double phase = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        const double vib = 1 + 0.006 * std::sin(kTau * 5.2 * t) * attack(t - 0.2, 0.2);
        phase += freq * vib / kRate;
        phase -= std::floor(phase);
        const double v = std::sin(kTau * phase) + 0.18 * std::sin(2 * kTau * phase) +
                         0.06 * std::sin(3 * kTau * phase) +
                         0.25 * breath.run(static_cast<float>(rng.uniform(-1, 1)));
        b.s[i] = static_cast<float>(v * adsr(t, len * 0.95, 0.04, 0.1, 0.85, 0.09));
    }
    return b;
}

Buffer accordion(double freq, double len, Rng& rng) {
    Buffer b(kRate, len + 0.15);
    Biquad lp = Biquad::lowpass(kRate, 1800, 0.8);
    double p1 = rng.uniform(0, 1);
    double p2 = rng.uniform(0, 1);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        // two reeds a little apart give the accordion's beating
        const double v = square(p1, freq / kRate, 0.4) + square(p2, freq * 1.006 / kRate, 0.4);
        p1 += freq / kRate;
        p1 -= std::floor(p1);
        p2 += freq * 1.006 / kRate;
        p2 -= std::floor(p2);
        b.s[i] = static_cast<float>(lp.run(static_cast<float>(v * 0.5)) *
                                    adsr(t, len * 0.9, 0.03, 0.1, 0.8, 0.1));
    }
    return b;
}

Buffer horn(double freq, double len, Rng& rng) {
    Buffer b(kRate, len + 0.2);
    Biquad lp = Biquad::lowpass(kRate, 600);
    double p1 = rng.uniform(0, 1);
    double p2 = rng.uniform(0, 1);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        const double env = adsr(t, len * 0.9, 0.025, 0.1, 0.8, 0.1);
        lp.set_lowpass(kRate, 500 + 2600 * env * (0.75 + 0.25 * decay(t, 0.12)), 0.8);
        const double v = saw(p1, freq / kRate) + 0.7 * saw(p2, freq * 1.003 / kRate);
        p1 += freq / kRate;
        p1 -= std::floor(p1);
        p2 += freq * 1.003 / kRate;
        p2 -= std::floor(p2);
        b.s[i] = static_cast<float>(lp.run(static_cast<float>(v * 0.5)) * env);
    }
    return b;
}

Buffer glock(double freq, double len, Rng&) {
    Buffer b(kRate, std::max(len, 0.8));
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        b.s[i] = static_cast<float>((std::sin(kTau * freq * t) * decay(t, 0.5) +
                                     0.3 * std::sin(kTau * freq * 2.76 * t) * decay(t, 0.12)) *
                                    attack(t, 0.002));
    }
    return b;
}

Buffer strings(double freq, double len, Rng& rng) {
    Buffer b(kRate, len + 0.5);
    Biquad lp = Biquad::lowpass(kRate, 1400, 0.7);
    double p[3] = {rng.uniform(0, 1), rng.uniform(0, 1), rng.uniform(0, 1)};
    const double detune[3] = {1.0, 1.004, 0.996};
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        double v = 0;
        for (int k = 0; k < 3; ++k) {
            v += saw(p[k], freq * detune[k] / kRate);
            p[k] += freq * detune[k] / kRate;
            p[k] -= std::floor(p[k]);
        }
        b.s[i] = static_cast<float>(lp.run(static_cast<float>(v / 3)) *
                                    adsr(t, len, 0.25, 0.3, 0.85, 0.45));
    }
    return b;
}

Buffer kick(Rng&) {
    Buffer b(kRate, 0.3);
    double phase = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        phase += (50 + 90 * decay(t, 0.035)) / kRate;
        b.s[i] = static_cast<float>(std::sin(kTau * phase) * decay(t, 0.12));
    }
    return b;
}

Buffer snare(Rng& rng) {
    Buffer b(kRate, 0.25);
    Biquad bp = Biquad::bandpass(kRate, 3200, 0.7);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        b.s[i] = static_cast<float>(bp.run(static_cast<float>(rng.uniform(-1, 1))) * 1.6 *
                                        decay(t, 0.07) +
                                    std::sin(kTau * 190 * t) * decay(t, 0.03) * 0.4);
    }
    return b;
}

Buffer shaker(Rng& rng) {
    Buffer b(kRate, 0.08);
    Biquad hp = Biquad::highpass(kRate, 6000);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = b.time(i);
        b.s[i] = static_cast<float>(hp.run(static_cast<float>(rng.uniform(-1, 1))) *
                                    std::sin(M_PI * std::min(1.0, t / 0.08)) * 0.8);
    }
    return b;
}

Buffer crash(Rng& rng) {
    Buffer b(kRate, 1.6);
    Biquad hp = Biquad::highpass(kRate, 4000);
    for (std::size_t i = 0; i < b.size(); ++i) {
        b.s[i] = static_cast<float>(hp.run(static_cast<float>(rng.uniform(-1, 1))) *
                                    decay(b.time(i), 0.5));
    }
    return b;
}

// --- the band ---------------------------------------------------------------------

class Band {
   public:
    Band(double bpm, double beats)
        : beat_(60.0 / bpm),
          out_(static_cast<std::size_t>(kRate * (beats * 60.0 / bpm + 3.0)) * 2, 0.f),
          rng_(0) {}

    double seconds(double beat) const { return beat * beat_; }

    void play(const std::vector<Note>& notes, Voice voice, double gain, double pan,
              int transpose = 0) {
        for (const Note& n : notes) {
            Buffer b = voice(freq_of(n.pitch + transpose), seconds(n.len), rng_);
            put(b, seconds(n.beat), gain, pan);
        }
    }

    void hit(Buffer (*drum)(Rng&), double beat, double gain, double pan) {
        Buffer b = drum(rng_);
        put(b, seconds(beat), gain, pan);
    }

    // Accompaniment from chord names, one per bar of `per_bar` beats.
    // Banjo rolls: eighth notes over the chord tones.
    void roll(const std::vector<std::string>& chords, double start, double per_bar, Voice voice,
              double gain, double pan) {
        static const int pattern[8] = {0, 1, 2, 3, 1, 2, 3, 2};
        for (std::size_t bar = 0; bar < chords.size(); ++bar) {
            std::vector<int> t = chord_tones(chords[bar], 4);
            t.push_back(t[0] + 12);
            for (int k = 0; k < static_cast<int>(per_bar * 2); ++k) {
                const int pitch = t[pattern[k % 8] % t.size()];
                Buffer b = voice(freq_of(pitch), seconds(0.5), rng_);
                put(b, seconds(start + bar * per_bar + 0.5 * k), gain * (k % 2 == 0 ? 1.0 : 0.75),
                    pan);
            }
        }
    }

    // Bass on the given beats of each bar: root, then fifth, alternating.
    void bassline(const std::vector<std::string>& chords, double start, double per_bar,
                  const std::vector<double>& beats, double gain) {
        for (std::size_t bar = 0; bar < chords.size(); ++bar) {
            const std::vector<int> t = chord_tones(chords[bar], 2);
            for (std::size_t k = 0; k < beats.size(); ++k) {
                const int pitch = k % 2 == 0 ? t[0] : t[2] - 12;
                const double len = (k + 1 < beats.size() ? beats[k + 1] : per_bar) - beats[k];
                Buffer b = bass(freq_of(pitch), seconds(len * 0.9), rng_);
                put(b, seconds(start + bar * per_bar + beats[k]), gain, 0.5);
            }
        }
    }

    // Chords on the given beats of each bar (the "pah" of oom-pah).
    void comp(const std::vector<std::string>& chords, double start, double per_bar,
              const std::vector<double>& beats, double len, Voice voice, int octave, double gain,
              double pan) {
        for (std::size_t bar = 0; bar < chords.size(); ++bar) {
            for (double at : beats) {
                for (int pitch : chord_tones(chords[bar], octave)) {
                    Buffer b = voice(freq_of(pitch), seconds(len), rng_);
                    put(b, seconds(start + bar * per_bar + at), gain, pan);
                }
            }
        }
    }

    Wave finish_tune(double tail_beats, double room, double wet) {
        reverb(out_, kRate, room, wet);
        // Cut to the music plus its ring-out.
        const auto frames = std::min(out_.size() / 2,
                                     static_cast<std::size_t>(kRate * (seconds(tail_beats) + 1.2)));
        out_.resize(frames * 2);
        // A gentle soft clip keeps single loud hits from setting the level.
        finish(out_, 2, kRate, 1.0, 0.01, 0.8);
        for (float& v : out_) {
            v = static_cast<float>(std::tanh(1.4 * v) / std::tanh(1.4));
        }
        finish(out_, 2, kRate, 0.84, 0.01, 0.8);
        Wave w;
        w.rate = static_cast<int>(kRate);
        w.channels = 2;
        w.bits = 16;
        w.samples = std::move(out_);
        return w;
    }

   private:
    void put(const Buffer& b, double at, double gain, double pan) {
        const auto start = static_cast<std::size_t>(at * kRate);
        // equal-power pan
        const double l = std::cos(pan * M_PI / 2) * gain;
        const double r = std::sin(pan * M_PI / 2) * gain;
        for (std::size_t i = 0; i < b.size() && (start + i) * 2 + 1 < out_.size(); ++i) {
            out_[(start + i) * 2] += static_cast<float>(b.s[i] * l);
            out_[(start + i) * 2 + 1] += static_cast<float>(b.s[i] * r);
        }
    }

    double beat_;
    std::vector<float> out_;
    Rng rng_;
};

// Title: a bouncy reel in G for fiddle and banjo.
Wave title_tune() {
    Band band(132, 80);
    const double a = 8;  // two bars of banjo before the tune
    band.roll({"G", "D"}, 0, 4, banjo, 0.32, 0.35);
    const std::vector<std::string> chords = {"G", "G", "C", "G", "G", "Em", "A7", "D",
                                             "G", "G", "C", "G", "C", "D",  "G",  "D"};
    band.play(line("D5:0.5 B4:0.5 D5:0.5 G5:0.5 B5:1 A5:0.5 G5:0.5 "
                   "A5:0.5 G5:0.5 E5:0.5 D5:0.5 B4:1 D5:1 "
                   "E5:0.5 G5:0.5 C6:0.5 B5:0.5 A5:1 G5:0.5 E5:0.5 "
                   "D5:1.5 B4:0.5 D5:1 G5:1 "
                   "B5:0.5 A5:0.5 G5:0.5 A5:0.5 B5:1 D6:1 "
                   "E6:0.5 D6:0.5 B5:0.5 G5:0.5 E5:1 G5:1 "
                   "A5:0.5 B5:0.5 A5:0.5 G5:0.5 E5:1 C#5:1 "
                   "D5:0.5 E5:0.5 F#5:1 A5:1 r:1 "
                   "D5:0.5 B4:0.5 D5:0.5 G5:0.5 B5:1 A5:0.5 G5:0.5 "
                   "A5:0.5 B5:0.5 D6:0.5 B5:0.5 G5:1 B5:1 "
                   "C6:0.5 B5:0.5 A5:0.5 G5:0.5 E5:1 G5:1 "
                   "B5:1.5 A5:0.5 G5:1 D5:1 "
                   "E5:0.5 G5:0.5 C6:0.5 E6:0.5 D6:1 C6:1 "
                   "B5:0.5 A5:0.5 G5:0.5 F#5:0.5 A5:1 D6:1 "
                   "G5:0.5 B5:0.5 D6:1 B5:0.5 G5:0.5 D5:1 "
                   "F#5:0.5 A5:0.5 D6:0.5 C6:0.5 B5:2 "
                   "[G4 B4 D5 G5]:2",
                   a),
              fiddle, 0.36, 0.55);
    band.roll(chords, a, 4, banjo, 0.26, 0.3);
    band.bassline(chords, a, 4, {0, 2}, 0.5);
    band.bassline({"G"}, a + 64, 4, {0}, 0.5);
    for (int bar = 0; bar < 16; ++bar) {
        const double b0 = a + 4 * bar;
        band.hit(kick, b0, 0.55, 0.5);
        band.hit(kick, b0 + 2, 0.5, 0.5);
        band.hit(snare, b0 + 1, 0.18, 0.6);
        band.hit(snare, b0 + 3, 0.18, 0.6);
        for (int k = 0; k < 8; ++k) {
            band.hit(shaker, b0 + 0.5 * k, k % 2 == 0 ? 0.08 : 0.05, 0.7);
        }
    }
    band.hit(kick, a + 64, 0.6, 0.5);
    band.hit(crash, a + 64, 0.12, 0.5);
    return band.finish_tune(a + 66, 0.5, 0.25);
}

// Menu: an easy-going tune in D for flute, accordion and guitar.
Wave menu_tune() {
    Band band(100, 60);
    const double a = 4;
    const std::vector<std::string> chords = {"D",  "G", "D", "A", "Bm", "G",
                                             "Em", "A", "D", "G", "A",  "D"};
    band.roll({"D"}, 0, 4, guitar, 0.26, 0.65);
    band.play(line("F#5:1.5 E5:0.5 D5:1 A4:1 "
                   "B4:1 D5:1 G5:1.5 F#5:0.5 "
                   "E5:1 F#5:0.5 E5:0.5 D5:2 "
                   "C#5:1 E5:1 A5:2 "
                   "B5:1.5 A5:0.5 F#5:1 D5:1 "
                   "E5:1 G5:1 B5:1 A5:1 "
                   "G5:1.5 F#5:0.5 E5:1 B4:1 "
                   "C#5:1 E5:1 A4:2 "
                   "D5:0.5 E5:0.5 F#5:1 A5:1 D6:1 "
                   "B5:1.5 A5:0.5 G5:1 B5:1 "
                   "A5:1 G5:0.5 F#5:0.5 E5:1 C#5:1 "
                   "D5:4",
                   a),
              flute, 0.42, 0.45);
    band.roll(chords, a, 4, guitar, 0.2, 0.7);
    band.bassline(chords, a, 4, {0, 2}, 0.45);
    band.comp(chords, a, 4, {1, 3}, 0.8, accordion, 4, 0.09, 0.3);
    for (int bar = 0; bar < 12; ++bar) {
        for (int k = 0; k < 4; ++k) {
            band.hit(shaker, a + 4 * bar + k + 0.5, 0.08, 0.75);
        }
        band.hit(kick, a + 4 * bar, 0.35, 0.5);
    }
    band.comp({"D"}, a + 48, 4, {0}, 3, accordion, 4, 0.09, 0.3);
    band.bassline({"D"}, a + 48, 4, {0}, 0.45);
    return band.finish_tune(a + 51, 0.55, 0.3);
}

// After a new entry in the list: a march-like fanfare in C for horns and
// glockenspiel.
Wave win_tune() {
    Band band(120, 52);
    const double a = 4;
    // a snare roll crescendo leads in
    for (int k = 0; k < 16; ++k) {
        band.hit(snare, 0.25 * k, 0.06 + 0.012 * k, 0.55);
    }
    const std::vector<std::string> chords = {"C", "F", "C", "G", "C", "F", "G", "C", "F", "C"};
    const auto tune = line(
        "G4:0.5 C5:0.5 E5:0.5 G5:0.5 C6:1.5 G5:0.5 "
        "A5:1 F5:0.5 A5:0.5 C6:1 A5:1 "
        "G5:1 E5:0.5 G5:0.5 C6:1 E5:1 "
        "D5:1 G5:1 B5:1 D6:1 "
        "E6:1.5 D6:0.5 C6:1 G5:1 "
        "A5:1 C6:1 F6:1 E6:0.5 D6:0.5 "
        "D6:1 B5:0.5 G5:0.5 D6:1 B5:1 "
        "C6:2 G5:1 E5:1 "
        "F5:0.5 A5:0.5 C6:1 G5:0.5 B5:0.5 D6:1 "
        "C6:3 r:1",
        a);
    band.play(tune, horn, 0.34, 0.45, -12);
    band.play(tune, glock, 0.14, 0.6);
    band.bassline(chords, a, 4, {0, 1, 2, 3}, 0.4);
    band.comp(chords, a, 4, {1, 3}, 0.45, horn, 3, 0.07, 0.35);
    for (int bar = 0; bar < 10; ++bar) {
        const double b0 = a + 4 * bar;
        band.hit(kick, b0, 0.5, 0.5);
        band.hit(kick, b0 + 2, 0.45, 0.5);
        band.hit(snare, b0 + 1, 0.22, 0.55);
        band.hit(snare, b0 + 3, 0.22, 0.55);
        band.hit(snare, b0 + 3.5, 0.12, 0.55);
    }
    band.hit(crash, a, 0.15, 0.5);
    band.hit(crash, a + 36, 0.15, 0.5);
    return band.finish_tune(a + 40, 0.5, 0.25);
}

// After a round without an entry: slow and wistful in A minor.
Wave lose_tune() {
    Band band(72, 36);
    const double a = 2;
    const std::vector<std::string> chords = {"Am", "F", "Dm", "E", "Am", "Dm", "Am"};
    band.comp({"Am"}, 0, 2, {0}, 2, strings, 3, 0.12, 0.4);
    band.play(line("E5:1.5 D5:0.5 C5:1 A4:1 "
                   "C5:1 A4:1 F4:2 "
                   "F4:1 A4:1 D5:1.5 C5:0.5 "
                   "B4:1 G#4:1 E4:2 "
                   "A4:1 C5:1 E5:1 D5:0.5 C5:0.5 "
                   "D5:1 F5:1 E5:1 B4:1 "
                   "A4:4",
                   a),
              flute, 0.42, 0.5);
    band.comp(chords, a, 4, {0}, 4, strings, 3, 0.12, 0.4);
    band.bassline(chords, a, 4, {0, 2}, 0.35);
    // a soft guitar picking the chord tones on each beat
    for (std::size_t bar = 0; bar < chords.size(); ++bar) {
        const std::vector<int> t = chord_tones(chords[bar], 4);
        for (int k = 0; k < 4; ++k) {
            band.play({{a + 4.0 * bar + k, 1, t[(k + 1) % 3]}}, guitar, 0.14, 0.7);
        }
    }
    return band.finish_tune(a + 28, 0.7, 0.35);
}

// Credits: a gentle waltz in F for glockenspiel, flute and accordion.
Wave credits_tune() {
    Band band(104, 60);
    const double a = 3;
    const std::vector<std::string> chords = {"F",  "F", "C", "C", "Gm", "C", "F",  "F",
                                             "Bb", "F", "C", "F", "Bb", "F", "C7", "F"};
    band.comp({"F"}, 0, 3, {1, 2}, 0.7, accordion, 4, 0.08, 0.3);
    band.bassline({"F"}, 0, 3, {0}, 0.4);
    const auto tune = line(
        "C5:1 F5:1 A5:1 "
        "C6:2 A5:1 "
        "G5:1 E5:1 G5:1 "
        "C6:2 Bb5:1 "
        "Bb5:1 G5:1 D5:1 "
        "E5:1 G5:1 Bb5:1 "
        "A5:2 G5:1 "
        "F5:3 "
        "D5:1 F5:1 Bb5:1 "
        "A5:2 F5:1 "
        "G5:1 A5:1 Bb5:1 "
        "A5:2 C5:1 "
        "D6:1.5 C6:0.5 Bb5:1 "
        "A5:1 C6:1 F5:1 "
        "E5:1 G5:1 Bb5:1 "
        "F5:3",
        a);
    band.play(tune, glock, 0.3, 0.6);
    band.play(tune, flute, 0.2, 0.4, -12);
    band.comp(chords, a, 3, {1, 2}, 0.7, accordion, 4, 0.07, 0.3);
    band.bassline(chords, a, 3, {0}, 0.4);
    band.comp({"F"}, a + 48, 3, {0}, 3, strings, 4, 0.1, 0.5);
    band.bassline({"F"}, a + 48, 3, {0}, 0.4);
    return band.finish_tune(a + 51, 0.7, 0.35);
}

}  // namespace

std::vector<Tune> make_tunes() {
    return {{"start.wav", title_tune()},
            {"main.wav", menu_tune()},
            {"win.wav", win_tune()},
            {"lose.wav", lose_tune()},
            {"credits.wav", credits_tune()}};
}

}  // namespace assets
