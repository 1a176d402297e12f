// The typical frame of play, composed with our display routines and, on the
// same pixels, with SDL's fill and colour-keyed blit (plain and RLE), and as
// plain memcpy of the same bytes. Prints microseconds per frame and ratios.
//
//   bench_frame [--frames N] [--rounds N] [--depth 16|32]
//
// The frame: fill 1024 x 768; the 2048 x 448 landscape at x -512, y 320 with
// about 40 % key pixels above a hilly horizon; eleven keyed targets from
// 48 x 32 to 200 x 112; six keyed 32 x 128 shells.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/spiel.h"
#include "gfx/ddraw.h"
#include "platform/headless/headless.h"

namespace {

struct Placed {
    Surface* surface;
    int x;
    int y;
};

struct Scene {
    int depth = 16;
    std::uint32_t key = 0;
    std::uint32_t sky = 0;
    std::vector<Placed> pictures;  // in drawing order
};

std::uint32_t pixel_value(int depth, std::uint32_t rgb) {
    return depth == 16 ? static_cast<std::uint32_t>(Farbe_16Bit(rgb)) : rgb;
}

// A colour that never equals the key, varied so no row is uniform.
std::uint32_t texture(int depth, int x, int y, std::uint32_t base) {
    const std::uint32_t r = ((base >> 16) + static_cast<std::uint32_t>(x * 3 + y)) & 0xFF;
    const std::uint32_t g = ((base >> 8) + static_cast<std::uint32_t>(x + y * 5)) & 0x7F;
    const std::uint32_t b = (base + static_cast<std::uint32_t>(x ^ y)) & 0xFF;
    return pixel_value(depth, (r << 16) | (g << 8) | b);
}

Surface* make_surface(int w, int h) {
    Surface* s = nullptr;
    if (DDraw_Offscreen_anlegen(&s, w, h, 1) != 0) {
        std::fprintf(stderr, "bench_frame: cannot create a %dx%d surface\n", w, h);
        std::exit(1);
    }
    return s;
}

Scene build_scene(int depth) {
    Scene scene;
    scene.depth = depth;
    scene.key = pixel_value(depth, 0x00FF00);
    scene.sky = 0x2918E1;

    // The landscape: sky (key) above a hilly horizon, about 40 % of it.
    Surface* land = make_surface(2048, 448);
    long keyed = 0;
    for (int x = 0; x < 2048; ++x) {
        const double hill = 179.0 + 60.0 * std::sin(x / 97.0) + 30.0 * std::sin(x / 31.0 + 1.0) +
                            12.0 * std::sin(x / 7.0);
        const int horizon = std::clamp(static_cast<int>(hill), 0, 447);
        for (int y = 0; y < 448; ++y) {
            if (y < horizon) {
                land->set_pixel(x, y, scene.key);
                ++keyed;
            } else {
                land->set_pixel(x, y, texture(depth, x, y, 0x306020));
            }
        }
    }
    std::printf("  landscape key pixels: %.1f %%\n", 100.0 * keyed / (2048.0 * 448.0));
    scene.pictures.push_back({land, -512, 320});

    // Eleven targets from 48 x 32 to 200 x 112: an ellipse in a keyed box.
    for (int i = 0; i < 11; ++i) {
        const int w = 48 + i * (200 - 48) / 10;
        const int h = 32 + i * (112 - 32) / 10;
        Surface* s = make_surface(w, h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const double dx = (x + 0.5 - w / 2.0) / (w / 2.0);
                const double dy = (y + 0.5 - h / 2.0) / (h / 2.0);
                s->set_pixel(x, y,
                             dx * dx + dy * dy <= 1.0 ? texture(depth, x, y, 0x8040A0) : scene.key);
            }
        }
        // Spread over the screen; the first and the last hang over an edge.
        const int x = i == 0 ? -20 : (i == 10 ? 1024 - w + 40 : 30 + i * 88);
        const int y = 40 + (i * 173) % 560;
        scene.pictures.push_back({s, x, y});
    }

    // Six shells of 32 x 128: a rounded bar in a keyed box.
    Surface* shell = make_surface(32, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool body = x >= 6 && x < 26 && (y >= 10 || std::abs(x - 16) < y);
            shell->set_pixel(x, y, body ? texture(depth, x, y, 0xC09020) : scene.key);
        }
    }
    for (int i = 0; i < 6; ++i) {
        scene.pictures.push_back({shell, 780 + i * 38, 630});
    }
    return scene;
}

// --- our frame ---------------------------------------------------------------

void our_frame(const Scene& scene) {
    DDraw_Puffer_leeren(lpDDSBack, scene.sky);
    for (const Placed& p : scene.pictures) {
        DDraw_Blitten(p.x, p.y, p.surface->width(), p.surface->height(), p.surface, lpDDSBack);
    }
}

// --- SDL's frame on copies of the same pixels ---------------------------------

struct SdlScene {
    SDL_Surface* back = nullptr;
    Uint32 sky = 0;
    std::vector<SDL_Surface*> pictures;  // parallel to Scene::pictures
    std::vector<SDL_Surface*> owned;
};

SDL_Surface* sdl_copy(const Surface& s, std::uint32_t key, bool rle) {
    const Uint32 format =
        s.bits_per_pixel() == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    SDL_Surface* out =
        SDL_CreateRGBSurfaceWithFormat(0, s.width(), s.height(), s.bits_per_pixel(), format);
    if (out == nullptr) {
        std::fprintf(stderr, "bench_frame: %s\n", SDL_GetError());
        std::exit(1);
    }
    for (int y = 0; y < s.height(); ++y) {
        std::memcpy(static_cast<Uint8*>(out->pixels) + static_cast<std::size_t>(y) * out->pitch,
                    s.row(y), static_cast<std::size_t>(s.width()) * s.bytes_per_pixel());
    }
    SDL_SetColorKey(out, SDL_TRUE, key);
    SDL_SetSurfaceRLE(out, rle ? 1 : 0);
    SDL_SetSurfaceBlendMode(out, SDL_BLENDMODE_NONE);
    return out;
}

SdlScene build_sdl_scene(const Scene& scene, bool rle) {
    SdlScene out;
    const Uint32 format = scene.depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    out.back = SDL_CreateRGBSurfaceWithFormat(0, 1024, 768, scene.depth, format);
    out.sky = pixel_value(scene.depth, scene.sky);
    for (const Placed& p : scene.pictures) {
        SDL_Surface* copy = nullptr;
        for (std::size_t i = 0; i < out.pictures.size(); ++i) {
            if (scene.pictures[i].surface == p.surface) {
                copy = out.pictures[i];  // the shells share one picture
            }
        }
        if (copy == nullptr) {
            copy = sdl_copy(*p.surface, scene.key, rle);
            out.owned.push_back(copy);
        }
        out.pictures.push_back(copy);
    }
    return out;
}

void sdl_frame(const Scene& scene, SdlScene& sdl) {
    SDL_FillRect(sdl.back, nullptr, sdl.sky);
    for (std::size_t i = 0; i < scene.pictures.size(); ++i) {
        SDL_Rect to{scene.pictures[i].x, scene.pictures[i].y, 0, 0};
        SDL_BlitSurface(sdl.pictures[i], nullptr, sdl.back, &to);
    }
}

void free_sdl_scene(SdlScene& sdl) {
    for (SDL_Surface* s : sdl.owned) {
        SDL_FreeSurface(s);
    }
    SDL_FreeSurface(sdl.back);
}

// --- memcpy of the same bytes ------------------------------------------------

struct Copy {
    std::uint8_t* to;
    const std::uint8_t* from;
    std::size_t bytes;
};

// Every row the frame writes, as one memcpy each: the fill from a frame of
// sky, and the visible part of every picture (without looking at the key).
std::vector<Copy> plan_copies(const Scene& scene, Surface& sky_frame) {
    std::vector<Copy> plan;
    const int bpp = lpDDSBack->bytes_per_pixel();
    for (int y = 0; y < 768; ++y) {
        plan.push_back({lpDDSBack->row(y), sky_frame.row(y), 1024u * bpp});
    }
    for (const Placed& p : scene.pictures) {
        const int x0 = std::max(p.x, 0);
        const int y0 = std::max(p.y, 0);
        const int x1 = std::min(p.x + p.surface->width(), 1024);
        const int y1 = std::min(p.y + p.surface->height(), 768);
        for (int y = y0; y < y1; ++y) {
            plan.push_back({lpDDSBack->row(y) + static_cast<std::size_t>(x0) * bpp,
                            p.surface->row(y - p.y) + static_cast<std::size_t>(x0 - p.x) * bpp,
                            static_cast<std::size_t>(x1 - x0) * bpp});
        }
    }
    return plan;
}

void memcpy_frame(const std::vector<Copy>& plan) {
    for (const Copy& c : plan) {
        std::memcpy(c.to, c.from, c.bytes);
    }
}

// --- timing ------------------------------------------------------------------

double time_frames(const std::function<void()>& frame, int frames) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        frame();
    }
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::micro>(end - start).count() / frames;
}

bool same_frame(const SDL_Surface* sdl) {
    const int bpp = lpDDSBack->bytes_per_pixel();
    for (int y = 0; y < 768; ++y) {
        if (std::memcmp(lpDDSBack->row(y), static_cast<const Uint8*>(sdl->pixels) + y * sdl->pitch,
                        1024u * bpp) != 0) {
            return false;
        }
    }
    return true;
}

int run(int depth, int frames, int rounds) {
    platform::headless::reset();
    Farbtiefe = depth;
    if (DDraw_starten() != 0) {
        return 1;
    }
    const RECT screen{0, 0, 1024, 768};
    if (DDraw_Clipper_erzeugen(&screen, 1) != 0) {
        return 1;
    }
    std::printf("\n%d bits per pixel, %d frames a round, best of %d rounds\n", depth, frames,
                rounds);
    const Scene scene = build_scene(depth);
    SdlScene keyed = build_sdl_scene(scene, false);
    SdlScene rle = build_sdl_scene(scene, true);
    Surface sky_frame(1024, 768, depth);
    platform::fill(sky_frame, pixel_value(depth, scene.sky));
    const std::vector<Copy> plan = plan_copies(scene, sky_frame);

    // The same picture from all three, before any timing (this also lets SDL
    // encode its RLE surfaces).
    our_frame(scene);
    sdl_frame(scene, keyed);
    sdl_frame(scene, rle);
    const bool same = same_frame(keyed.back) && same_frame(rle.back);
    std::printf("  frames identical: %s\n", same ? "yes" : "NO");

    struct Variant {
        const char* name;
        std::function<void()> frame;
        std::vector<double> times;
    };
    std::vector<Variant> variants = {
        {"ours (DDraw_Puffer_leeren + DDraw_Blitten)", [&] { our_frame(scene); }, {}},
        {"SDL_FillRect + SDL_BlitSurface, colour key", [&] { sdl_frame(scene, keyed); }, {}},
        {"SDL_FillRect + SDL_BlitSurface, key + RLE", [&] { sdl_frame(scene, rle); }, {}},
        {"memcpy of the same rows", [&] { memcpy_frame(plan); }, {}},
    };
    // Rounds interleave the variants so that a busy moment on the machine
    // hits them alike; the best round of each counts.
    for (int r = 0; r < rounds; ++r) {
        for (Variant& v : variants) {
            v.times.push_back(time_frames(v.frame, frames));
        }
    }
    std::vector<double> best;
    for (Variant& v : variants) {
        std::sort(v.times.begin(), v.times.end());
        best.push_back(v.times.front());
        std::printf("  %-46s %8.1f us/frame (median %8.1f)\n", v.name, v.times.front(),
                    v.times[v.times.size() / 2]);
    }
    const double sdl_best = std::min(best[1], best[2]);
    std::printf("  ours / SDL colour key   %5.2f\n", best[0] / best[1]);
    std::printf("  ours / SDL key + RLE    %5.2f\n", best[0] / best[2]);
    std::printf("  ours / memcpy           %5.2f\n", best[0] / best[3]);
    std::printf("  %s\n", best[0] <= sdl_best ? "ours costs no more than SDL's best"
                                              : "ours is SLOWER than SDL's best");
    free_sdl_scene(keyed);
    free_sdl_scene(rle);
    DDraw_beenden();
    return same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 200;
    int rounds = 9;
    std::vector<int> depths = {16, 32};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) {
            frames = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--depth" && i + 1 < argc) {
            const int d = std::atoi(argv[++i]);
            if (d != 16 && d != 32) {
                std::fprintf(stderr, "bench_frame: depth is 16 or 32\n");
                return 2;
            }
            depths = {d};
        } else {
            std::fprintf(stderr, "usage: bench_frame [--frames N] [--rounds N] [--depth 16|32]\n");
            return 2;
        }
    }
    std::printf("bench_frame: the typical frame of play at 1024 x 768\n");
    int status = 0;
    for (int d : depths) {
        status |= run(d, frames, rounds);
    }
    return status;
}
