// What starting a tune costs the game's thread: the call that starts it and
// the mixing of the pass after it (16 ms of sound, on the headless backend,
// which converts on the game's thread), against converting the whole file at
// once, as a tune was started before it was converted as it plays.
//
//   bench_tune [--runs N] [FILE.wav ...]     (default: the five tunes in build/data)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/audio_convert.h"
#include "platform/headless/headless.h"
#include "platform/sound.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 7;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "usage: bench_tune [--runs N] [FILE.wav ...]\n");
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        for (const char* name : {"start.wav", "main.wav", "win.wav", "lose.wav", "credits.wav"}) {
            files.push_back(std::string(BRAMBLE_DATA_DIR) + "/" + name);
        }
    }
    platform::headless::reset();
    std::printf("bench_tune: medians of %d runs, ms\n", runs);
    std::printf("%-16s %10s %10s %14s\n", "tune", "whole", "start", "next 16 ms");
    int status = 0;
    std::vector<std::int16_t> block(4096 * 2);
    for (const std::string& file : files) {
        std::vector<double> whole;
        std::vector<double> start;
        std::vector<double> next;
        std::size_t frames = 0;
        for (int r = 0; r < runs; ++r) {
            // The whole file converted at once.
            auto t = Clock::now();
            platform::audio::TuneSource source;
            if (!source.open(file.c_str())) {
                break;
            }
            frames = 0;
            while (std::size_t n = source.read(block.data(), 4096)) {
                frames += n;
            }
            whole.push_back(ms_since(t));
            // The game's way.
            t = Clock::now();
            platform::tune_play(file.c_str());
            start.push_back(ms_since(t));
            t = Clock::now();
            platform::headless::advance(16);
            platform::tune_play(nullptr);  // mixes up to now, then ends the tune
            next.push_back(ms_since(t));
        }
        if (whole.empty()) {
            std::printf("%s cannot be played\n", file.c_str());
            status = 1;
            continue;
        }
        const std::string name = file.substr(file.find_last_of('/') + 1);
        std::printf("%-16s %10.2f %10.3f %14.3f   (%.1f s of sound)\n", name.c_str(), median(whole),
                    median(start), median(next), static_cast<double>(frames) / 44100.0);
    }
    return status;
}
