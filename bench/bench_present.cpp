// What a flip costs on a real display (run it under X, e.g. scripts/xvfb-run-wm),
// and the bare SDL program the game's processor time is compared with.
//
//   bench_present [--frames N] [--depth 16|32]
//       times the game's flip, phase by phase (upload, render copy, present),
//       against a memcpy of the frame
//   bench_present --reference --fps R --seconds S [--depth 16|32]
//       the bare reference program: a streaming texture in the frame's own
//       format, SDL_UpdateTexture, clear, copy and present, R times a second
//       for S seconds, nothing else; then its processor time per second.
#include <SDL.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/spiel.h"
#include "gfx/ddraw.h"
#include "platform/sdl/video.h"
#include "platform/stats.h"
#include "platform/window.h"

namespace {

using Clock = std::chrono::steady_clock;

double us_since(Clock::time_point t) {
    return std::chrono::duration<double, std::micro>(Clock::now() - t).count();
}

double cpu_seconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

LRESULT ignore(HWND, std::uint32_t, WPARAM, LPARAM) {
    return 0;
}

// A frame that changes every time, so no layer can skip the work.
void paint(std::vector<std::uint8_t>& pixels, int pitch, int depth, int frame) {
    for (int y = 0; y < 768; ++y) {
        std::uint8_t* row = pixels.data() + static_cast<std::size_t>(y) * pitch;
        for (int x = 0; x < 1024; ++x) {
            const auto v = static_cast<std::uint32_t>((x + frame) * 2654435761u ^ (y << 7));
            if (depth == 16) {
                reinterpret_cast<std::uint16_t*>(row)[x] = static_cast<std::uint16_t>(v & 0xFFDF);
            } else {
                reinterpret_cast<std::uint32_t*>(row)[x] = v & 0xFFFFFF;
            }
        }
    }
}

void pump() {
    SDL_Event ev;
    while (SDL_PollEvent(&ev) != 0) {
    }
}

// The bare program: its own window, renderer and texture, set up the way
// the game's are (fullscreen desktop, vsync asked for, linear scaling,
// logical size), and nothing but upload and present.
struct Bare {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    std::vector<std::uint8_t> frame;
    int pitch = 0;

    bool open(int depth) {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            return false;
        }
        window = SDL_CreateWindow(
            "bench_present", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1024, 768,
            SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
        renderer = window == nullptr
                       ? nullptr
                       : SDL_CreateRenderer(window, -1,
                                            SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
        if (renderer == nullptr) {
            return false;
        }
        texture = SDL_CreateTexture(renderer,
                                    depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XRGB8888,
                                    SDL_TEXTUREACCESS_STREAMING, 1024, 768);
        SDL_RenderSetLogicalSize(renderer, 1024, 768);
        pitch = 1024 * depth / 8;
        frame.resize(static_cast<std::size_t>(pitch) * 768);
        return texture != nullptr;
    }

    void present() {
        SDL_UpdateTexture(texture, nullptr, frame.data(), pitch);
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
    }
};

int reference(int depth, int fps, double seconds) {
    Bare bare;
    if (!bare.open(depth)) {
        std::fprintf(stderr, "bench_present: %s\n", SDL_GetError());
        return 1;
    }
    std::vector<std::vector<std::uint8_t>> frames(8, bare.frame);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        paint(frames[i], bare.pitch, depth, static_cast<int>(i));
    }
    const auto interval = std::chrono::nanoseconds(1000000000LL / std::max(1, fps));
    const double cpu_start = cpu_seconds();
    const auto start = Clock::now();
    auto next = start;
    long presented = 0;
    while (Clock::now() - start < std::chrono::duration<double>(seconds)) {
        pump();
        std::memcpy(bare.frame.data(), frames[static_cast<std::size_t>(presented) % 8].data(),
                    bare.frame.size());
        bare.present();
        ++presented;
        next += interval;
        std::this_thread::sleep_until(next);
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("reference: %ld frames in %.1f s (%.1f per second), CPU/s %.3f\n", presented, wall,
                presented / wall, (cpu_seconds() - cpu_start) / wall);
    return 0;
}

int phases(int depth, int frames) {
    std::printf("bench_present: one 1024 x 768 frame at %d bits, %d flips each\n", depth, frames);
    std::vector<std::uint8_t> pixels;
    // The game's flip, through the platform, its phases measured as --stats does.
    platform::window_class_register("Tarnwick");
    Hauptfenster = platform::window_create("Bramblecourt", ignore);
    Farbtiefe = depth;
    if (Hauptfenster == nullptr || DDraw_starten() != 0) {
        std::fprintf(stderr, "bench_present: no display (%s)\n", SDL_GetError());
        return 1;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(platform::sdl::renderer(), &info);
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(platform::sdl::window(), &w, &h);
    std::printf("renderer %s, window %d x %d\n", info.name, w, h);
    const int pitch = lpDDSBack->pitch();
    pixels.resize(static_cast<std::size_t>(pitch) * 768);
    platform::stats::enable();
    for (int i = 0; i < frames; ++i) {
        pump();
        paint(pixels, pitch, depth, i);
        std::memcpy(lpDDSBack->row(0), pixels.data(), pixels.size());
        platform::stats::pass_begin();
        DDraw_Puffer_flippen();
        platform::stats::pass_end(0);
    }
    static const char* const names[] = {"game's flip"};
    platform::stats::print(stdout, names, 1);

    // For scale: a plain copy of the frame's bytes.
    std::vector<double> copy;
    std::vector<std::uint8_t> to(pixels.size());
    for (int i = 0; i < frames; ++i) {
        const auto t = Clock::now();
        std::memcpy(to.data(), pixels.data(), pixels.size());
        copy.push_back(us_since(t));
    }
    std::printf("memcpy of the frame: median %.2f ms\n", median(copy) / 1000.0);
    DDraw_beenden();
    platform::window_destroy(Hauptfenster);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int depth = 16;
    int frames = 200;
    int fps = 40;
    double seconds = 20.0;
    bool as_reference = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--depth" && i + 1 < argc) {
            depth = std::atoi(argv[++i]) == 32 ? 32 : 16;
        } else if (arg == "--frames" && i + 1 < argc) {
            frames = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--fps" && i + 1 < argc) {
            fps = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--seconds" && i + 1 < argc) {
            seconds = std::max(0.1, std::atof(argv[++i]));
        } else if (arg == "--reference") {
            as_reference = true;
        } else {
            std::fprintf(stderr,
                         "usage: bench_present [--frames N] [--depth 16|32]\n"
                         "       bench_present --reference [--fps R] [--seconds S] [--depth "
                         "16|32]\n");
            return 2;
        }
    }
    return as_reference ? reference(depth, fps, seconds) : phases(depth, frames);
}
