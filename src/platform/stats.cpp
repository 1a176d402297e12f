#include "platform/stats.h"

#include <time.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace platform::stats {

namespace {

std::int64_t clock_ns(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

std::int64_t wall_ns() {
    return clock_ns(CLOCK_MONOTONIC);
}

std::int64_t cpu_ns() {
    // Every thread of the process: the game's, the sound's and the GL
    // driver's.
    return clock_ns(CLOCK_PROCESS_CPUTIME_ID);
}

constexpr int kPhases = static_cast<int>(Phase::Count);

struct Group {
    std::vector<float> pass_ms;
    std::vector<float> busy_ms;  // each pass less its paced wait
    std::int64_t wall_ns = 0;
    std::int64_t cpu_ns = 0;
    std::array<std::int64_t, kPhases> phase_ns{};
    std::int64_t first_end_ns = -1;  // since the program's start
};

// The program's start, estimated while its static objects are made (before
// main): the time that has passed since then, less what the process has run
// already (loading and linking its libraries).
const std::int64_t program_start_ns = wall_ns() - cpu_ns();

struct State {
    bool on = false;
    std::int64_t pass_wall_ns = 0;
    std::int64_t pass_cpu_ns = 0;
    bool in_pass = false;
    std::array<std::int64_t, kPhases> pass_phase_ns{};
    std::int64_t flips = 0;
    std::vector<float> flip_ms;  // each pass's flip, all its phases
    std::int64_t first_group = -1;
    std::vector<Group> groups;
};

State& state() {
    static State s;
    return s;
}

// The value below which the fraction q of the sorted values lie.
float quantile(const std::vector<float>& sorted, double q) {
    const auto n = static_cast<double>(sorted.size());
    const auto i = static_cast<std::size_t>(std::max(0.0, std::ceil(q * n) - 1.0));
    return sorted[std::min(i, sorted.size() - 1)];
}

double ms(std::int64_t ns) {
    return static_cast<double>(ns) / 1e6;
}

void print_row(std::FILE* out, const char* name, std::vector<float> pass_ms,
               std::vector<float> busy_ms, std::int64_t wall, std::int64_t cpu,
               const std::array<std::int64_t, kPhases>& phase, std::int64_t first_end) {
    std::sort(busy_ms.begin(), busy_ms.end());
    std::sort(pass_ms.begin(), pass_ms.end());
    const auto n = static_cast<double>(pass_ms.size());
    std::int64_t flip = 0;
    for (int p = static_cast<int>(Phase::Upload); p < kPhases; ++p) {
        flip += phase[static_cast<std::size_t>(p)];
    }
    std::fprintf(out, "%-14s %7zu %7.2f %7.2f %7.2f %7.2f %7.2f %7.2f %7.2f %6.2f", name,
                 pass_ms.size(), quantile(pass_ms, 0.5), quantile(pass_ms, 0.99), pass_ms.back(),
                 quantile(busy_ms, 0.99), busy_ms.back(),
                 ms(phase[static_cast<std::size_t>(Phase::Paced)]) / n, ms(flip) / n,
                 wall > 0 ? static_cast<double>(cpu) / static_cast<double>(wall) : 0.0);
    if (first_end >= 0) {
        std::fprintf(out, " %8.1f", ms(first_end));
    }
    std::fputc('\n', out);
}

}  // namespace

void enable() {
    state().on = true;
}

bool enabled() {
    return state().on;
}

void pass_begin() {
    State& s = state();
    if (!s.on) {
        return;
    }
    s.in_pass = true;
    s.pass_phase_ns.fill(0);
    s.pass_cpu_ns = cpu_ns();
    s.pass_wall_ns = wall_ns();
}

namespace {
int the_last_group = -1;
}  // namespace

int last_group() {
    return the_last_group;
}

void pass_end(int group) {
    the_last_group = group;
    State& s = state();
    if (!s.on || !s.in_pass || group < 0) {
        return;
    }
    const std::int64_t wall = wall_ns();
    const std::int64_t cpu = cpu_ns();
    s.in_pass = false;
    if (static_cast<std::size_t>(group) >= s.groups.size()) {
        s.groups.resize(static_cast<std::size_t>(group) + 1);
    }
    Group& g = s.groups[static_cast<std::size_t>(group)];
    g.pass_ms.push_back(static_cast<float>(ms(wall - s.pass_wall_ns)));
    g.busy_ms.push_back(static_cast<float>(
        ms(wall - s.pass_wall_ns - s.pass_phase_ns[static_cast<std::size_t>(Phase::Paced)])));
    g.wall_ns += wall - s.pass_wall_ns;
    g.cpu_ns += cpu - s.pass_cpu_ns;
    for (std::size_t p = 0; p < g.phase_ns.size(); ++p) {
        g.phase_ns[p] += s.pass_phase_ns[p];
    }
    if (s.pass_phase_ns[static_cast<std::size_t>(Phase::Present)] > 0) {
        ++s.flips;
        std::int64_t flip = 0;
        for (int p = static_cast<int>(Phase::Upload); p < kPhases; ++p) {
            flip += s.pass_phase_ns[static_cast<std::size_t>(p)];
        }
        s.flip_ms.push_back(static_cast<float>(ms(flip)));
    }
    if (g.first_end_ns < 0) {
        g.first_end_ns = wall - program_start_ns;
    }
    if (s.first_group < 0) {
        s.first_group = group;
    }
}

Laps::Laps() : last_ns_(state().on ? wall_ns() : 0) {}

void Laps::lap(Phase phase) {
    State& s = state();
    if (!s.on || phase == Phase::Count) {
        return;
    }
    const std::int64_t now = wall_ns();
    if (s.in_pass) {
        s.pass_phase_ns[static_cast<std::size_t>(phase)] += now - last_ns_;
    }
    last_ns_ = now;
}

void print(std::FILE* out, const char* const* names, int count) {
    const State& s = state();
    std::fprintf(
        out,
        "Pass times by screen state, wall clock, ms: the passes' median, 99th percentile\n"
        "and longest, the same less each pass's paced wait (its work and its flip), the\n"
        "mean time paced and in the flip; CPU/s: processor seconds of the whole process\n"
        "per second; first: the end of the state's first pass after the program started\n");
    std::fprintf(out, "%-14s %7s %7s %7s %7s %15s %15s %6s %8s\n", "", "", "", "", "",
                 "less paced:", "mean:", "", "");
    std::fprintf(out, "%-14s %7s %7s %7s %7s %7s %7s %7s %7s %6s %8s\n", "state", "passes",
                 "median", "p99", "longest", "p99", "longest", "paced", "in flip", "CPU/s",
                 "first");
    std::vector<float> all_busy;
    std::vector<float> all;
    std::int64_t wall = 0;
    std::int64_t cpu = 0;
    std::array<std::int64_t, kPhases> phase{};
    char label[32];
    for (std::size_t i = 0; i < s.groups.size(); ++i) {
        const Group& g = s.groups[i];
        if (g.pass_ms.empty()) {
            continue;
        }
        const char* name = names != nullptr && static_cast<int>(i) < count ? names[i] : nullptr;
        if (name == nullptr) {
            std::snprintf(label, sizeof label, "%zu", i);
            name = label;
        }
        print_row(out, name, g.pass_ms, g.busy_ms, g.wall_ns, g.cpu_ns, g.phase_ns, g.first_end_ns);
        all.insert(all.end(), g.pass_ms.begin(), g.pass_ms.end());
        all_busy.insert(all_busy.end(), g.busy_ms.begin(), g.busy_ms.end());
        wall += g.wall_ns;
        cpu += g.cpu_ns;
        for (std::size_t p = 0; p < phase.size(); ++p) {
            phase[p] += g.phase_ns[p];
        }
    }
    if (all.empty()) {
        std::fprintf(out, "(no pass ran)\n");
        return;
    }
    print_row(out, "all", all, all_busy, wall, cpu, phase, -1);
    if (s.flips > 0) {
        const auto per_flip = [&](Phase p) {
            return ms(phase[static_cast<std::size_t>(p)]) / static_cast<double>(s.flips);
        };
        std::fprintf(out,
                     "A flip (mean of %lld): upload %.2f ms, render copy %.2f ms, present %.2f ms, "
                     "waiting for the display %.2f ms\n",
                     static_cast<long long>(s.flips), per_flip(Phase::Upload),
                     per_flip(Phase::Copy), per_flip(Phase::Present), per_flip(Phase::Delay));
        std::vector<float> flips = s.flip_ms;
        std::sort(flips.begin(), flips.end());
        std::fprintf(out,
                     "Flips, whole: median %.2f ms, 99th percentile %.2f ms, longest %.2f ms\n",
                     quantile(flips, 0.5), quantile(flips, 0.99), flips.back());
    }
    const std::size_t first = static_cast<std::size_t>(s.first_group);
    const char* name = names != nullptr && s.first_group < count ? names[first] : "first state";
    std::fprintf(out, "First frame (%s) presented %.1f ms after the program started\n", name,
                 ms(s.groups[first].first_end_ns));
}

void reset() {
    State& s = state();
    s.on = false;
    s.groups.clear();
    s.flips = 0;
    s.flip_ms.clear();
    s.first_group = -1;
    s.in_pass = false;
}

}  // namespace platform::stats
