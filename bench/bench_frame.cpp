// The game's own frames, composed by its own drawing routines on the headless
// backend with the default data: a frame of play in mid-round (all eleven
// targets in view, two of them falling, the status line, the shells, the
// points pop-up and the tune's title), the menu (its red letters recoloured
// every frame), the title and a credits page. Each against the same fills and
// blits done by SDL (SDL_FillRect and SDL_BlitSurface with the colour key,
// with and without RLE) and against a memcpy of one frame, in the same run,
// at 16 and 32 bits. Prints microseconds per frame and the ratios.
//
//   bench_frame [--frames N] [--rounds N] [--depth 16|32] [--data DIR] [--png DIR]
//
// --png writes each frame measured to DIR (play-16.png, ...), to see what is
// measured.
//
// "ours" is the game's routine (its flip keeps no copy here, so it costs
// nothing); "ours, fills and blits" replays just the fills and blits the
// routine made through our blitter, the same list SDL replays.
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/spiel.h"
#include "app/start.h"
#include "audio/audio.h"
#include "game/game.h"
#include "gfx/bilder.h"
#include "gfx/ddraw.h"
#include "pack/packfile.h"
#include "platform/file.h"
#include "platform/headless/headless.h"
#include "platform/png.h"
#include "platform/surface.h"
#include "platform/system.h"
#include "platform/window.h"
#include "screens/screens.h"
#include "text/bitmaptext.h"

namespace headless = platform::headless;

namespace {

using Clock = std::chrono::steady_clock;

// --- the game's screens, each brought to the moment it is measured at -------

void Durchlaeufe(int n) {
    for (int i = 0; i < n && Spielzustand != Zustand::Ende; ++i) {
        Zustand_ausfuehren();
    }
}

void Titel_vorbereiten() {
    Zustand_wechseln(Zustand::Titel, 1);
    Durchlaeufe(30);
}

void Menue_vorbereiten() {
    Zustand_wechseln(Zustand::Menue, 1);
    Durchlaeufe(30);
}

void Credits_vorbereiten() {
    // A page whose letters have flown in.
    Zustand_wechseln(Zustand::Credits, 1);
    Durchlaeufe(250);
}

void Spiel_vorbereiten() {
    Zustand_wechseln(Zustand::Rundenstart, 1);
    for (int i = 0; i < 2000 && Spielzustand != Zustand::Spiel; ++i) {
        Zustand_ausfuehren();
    }
    Durchlaeufe(200);  // eight seconds of play
    // All eleven targets in view, spread over the screen, two of them hit
    // and falling; both pop-ups and six shells.
    for (int i = 0; i < 11; ++i) {
        Objekt& o = Objekte[i];
        o.aktiv = 1;
        o.Zus = i == 2 || i == 7 ? Zus::Getroffen : Zus::Im_Spiel;
        o.Sprite.x = 20 + (i * 89) % (1024 - o.Sprite.Breite - 20);
        o.Sprite.y = 60 + (i * 137) % (600 - o.Sprite.Hoehe);
    }
    Patronen = 6;
    Punkte = 1230;
    Letzter_Gewinn = 40;
    Gewinnzeit = platform::tick_count();
    Mp3_Anzahl = 1;
    Mp3_Nummer = 0;
    std::snprintf(Mp3_Liste[0], sizeof Mp3_Liste[0], "%s", "Evening over the orchard.mp3");
    Mp3_Startzeit = platform::tick_count();
}

struct Scene {
    const char* name;
    void (*prepare)();
    void (*draw)();
};

const Scene kScenes[] = {
    {"play, mid-round", Spiel_vorbereiten, Spielszene_zeichnen},
    {"menu", Menue_vorbereiten, Menue_zeichnen},
    {"title", Titel_vorbereiten, Titel_zeichnen},
    {"credits page", Credits_vorbereiten, Credits_zeichnen},
};

// The display part of the start-up again at another depth (the start-up
// itself always takes 16 bits): the display and its clipper, the surfaces of
// the run with their pictures, the fonts and the sprites.
bool Anzeige_aufbauen(int tiefe) {
    DDraw_beenden();
    Farbtiefe = tiefe;
    const auto bild = [](int nummer, Surface* ziel) {
        return PackFile_Bild_laden("Grafik.dat", &Grafik_Verzeichnis, nummer, ziel) == 0;
    };
    RECT bildschirm;
    Rechteck_setzen(&bildschirm, 0, 0, 768, 1024);
    bool ok = DDraw_starten() == 0 && DDraw_Clipper_erzeugen(&bildschirm, 1) == 0 &&
              DDraw_Offscreen_anlegen(&lpDDSHintergrund, 1024, 768, 0) == 0 &&
              DDraw_Offscreen_anlegen(&lpDDSLandschaft, 2048, 448, 1) == 0 &&
              DDraw_Offscreen_anlegen(&lpDDSSchrift, 920, 152, 1) == 0 &&
              bild(Bild::Schrift, lpDDSSchrift) &&
              BitmapText_einlesen(lpDDSSchrift, &Zeichensatz, 0xC9C9C9) == 0 &&
              DDraw_Offscreen_anlegen(&lpDDSSchriftRot, 920, 152, 0) == 0 &&
              DDraw_Offscreen_klonen(lpDDSSchrift, lpDDSSchriftRot, 1, 0x282828, 0xCC0000) == 0;
    for (int i = 0; ok && i < 4; ++i) {
        ok = DDraw_Offscreen_anlegen(&lpDDSRundenbild[i], 312, 352, 0) == 0 &&
             bild(Bild::Rundenbild + i, lpDDSRundenbild[i]);
    }
    ok = ok && DDraw_Offscreen_anlegen(&lpDDSRekordfigur, 312, 352, 1) == 0 &&
         bild(Bild::Rekordfigur, lpDDSRekordfigur) &&
         DDraw_Offscreen_anlegen(&lpDDSPatrone, 32, 128, 1) == 0 &&
         bild(Bild::Patrone, lpDDSPatrone) &&
         DDraw_Offscreen_anlegen(&lpDDSEinschuss, 96, 96, 1) == 0 &&
         bild(Bild::Einschuss, lpDDSEinschuss);
    if (ok) {
        Sprites_laden();
    }
    return ok && Spielzustand != Zustand::Ende;
}

// --- the same fills and blits through SDL ------------------------------------

struct SdlCopies {
    std::map<const Surface*, SDL_Surface*> plain;  // no key: destinations, unkeyed blits
    std::map<const Surface*, SDL_Surface*> keyed;
    std::map<const Surface*, SDL_Surface*> rle;  // keyed and RLE encoded
    ~SdlCopies() {
        for (auto* m : {&plain, &keyed, &rle}) {
            for (auto& [s, copy] : *m) {
                SDL_FreeSurface(copy);
            }
        }
    }
};

SDL_Surface* sdl_copy(const Surface& s, bool keyed, bool rle) {
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
    if (keyed && s.has_color_key()) {
        SDL_SetColorKey(out, SDL_TRUE, s.color_key());
    }
    SDL_SetSurfaceRLE(out, rle ? 1 : 0);
    SDL_SetSurfaceBlendMode(out, SDL_BLENDMODE_NONE);
    return out;
}

SDL_Surface* copy_of(std::map<const Surface*, SDL_Surface*>& m, const Surface* s, bool keyed,
                     bool rle) {
    auto it = m.find(s);
    if (it == m.end()) {
        it = m.emplace(s, sdl_copy(*s, keyed, rle)).first;
    }
    return it->second;
}

SDL_Rect sdl_rect(const platform::Rect& r) {
    return SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// Makes the copies the list needs (the pictures as they are now) so that a
// replay touches only pixels.
void prepare_copies(const std::vector<platform::DrawOp>& ops, SdlCopies& c) {
    for (const platform::DrawOp& op : ops) {
        copy_of(c.plain, op.dst, false, false);
        if (op.src != nullptr && op.kind == platform::DrawOp::Kind::Blit) {
            copy_of(op.keyed ? c.keyed : c.plain, op.src, op.keyed, false);
            if (op.keyed) {
                copy_of(c.rle, op.src, true, true);
            }
        } else if (op.src != nullptr) {
            copy_of(c.keyed, op.src, true, false);  // SDL cannot scale an RLE surface
        }
    }
}

void sdl_replay(const std::vector<platform::DrawOp>& ops, SdlCopies& c, bool rle) {
    for (const platform::DrawOp& op : ops) {
        SDL_Surface* dst = c.plain[op.dst];
        SDL_Rect to = sdl_rect(op.dst_rect);
        switch (op.kind) {
            case platform::DrawOp::Kind::Fill:
                SDL_FillRect(dst, nullptr, op.value);
                break;
            case platform::DrawOp::Kind::Blit: {
                SDL_Rect from = sdl_rect(op.src_rect);
                SDL_Surface* src = !op.keyed ? c.plain[op.src]
                                   : rle     ? c.rle[op.src]
                                             : c.keyed[op.src];
                SDL_BlitSurface(src, &from, dst, &to);
                break;
            }
            case platform::DrawOp::Kind::Stretched: {
                SDL_Rect from = sdl_rect(op.src_rect);
                SDL_BlitScaled(c.keyed[op.src], &from, dst, &to);
                break;
            }
        }
    }
}

void our_replay(const std::vector<platform::DrawOp>& ops) {
    for (const platform::DrawOp& op : ops) {
        switch (op.kind) {
            case platform::DrawOp::Kind::Fill:
                platform::fill(*op.dst, op.value);
                break;
            case platform::DrawOp::Kind::Blit:
                platform::blit(*op.dst, op.dst_rect, *op.src, op.src_rect, op.keyed);
                break;
            case platform::DrawOp::Kind::Stretched:
                platform::blit_stretched(*op.dst, op.dst_rect, *op.src, op.src_rect);
                break;
        }
    }
}

// The pixel work of the list as plain copies: each row that a fill or blit
// writes (cut to the destination), copied from a frame of the fill's value or
// from the source's row, without looking at the key. Stretched blits are
// counted at the destination's size.
struct Copy {
    std::uint8_t* to;
    const std::uint8_t* from;
    std::size_t bytes;
};

std::vector<Copy> plan_copies(const std::vector<platform::DrawOp>& ops, const Surface& plain) {
    std::vector<Copy> plan;
    for (const platform::DrawOp& op : ops) {
        const int bpp = op.dst->bytes_per_pixel();
        const int x0 = std::max(op.dst_rect.left, 0);
        const int y0 = std::max(op.dst_rect.top, 0);
        const int x1 = std::min(op.dst_rect.right, op.dst->width());
        const int y1 = std::min(op.dst_rect.bottom, op.dst->height());
        for (int y = y0; y < y1 && x0 < x1; ++y) {
            const std::uint8_t* from = plain.row(y % plain.height());
            if (op.kind == platform::DrawOp::Kind::Blit) {
                from = op.src->row(op.src_rect.top + y - op.dst_rect.top) +
                       static_cast<std::size_t>(op.src_rect.left + x0 - op.dst_rect.left) * bpp;
            }
            plan.push_back({op.dst->row(y) + static_cast<std::size_t>(x0) * bpp, from,
                            static_cast<std::size_t>(x1 - x0) * bpp});
        }
    }
    return plan;
}

// Pixels of the back buffer that differ from SDL's copy of it.
long differing_pixels(const Surface& ours, const SDL_Surface* sdl) {
    long n = 0;
    const int bpp = ours.bytes_per_pixel();
    for (int y = 0; y < ours.height(); ++y) {
        const Uint8* a = ours.row(y);
        const Uint8* b = static_cast<const Uint8*>(sdl->pixels) + y * sdl->pitch;
        for (int x = 0; x < ours.width(); ++x) {
            n += std::memcmp(a + x * bpp, b + x * bpp, static_cast<std::size_t>(bpp)) != 0 ? 1 : 0;
        }
    }
    return n;
}

// --- timing ------------------------------------------------------------------

double time_frames(const std::function<void()>& frame, int frames) {
    const auto start = Clock::now();
    for (int i = 0; i < frames; ++i) {
        frame();
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / frames;
}

std::string png_dir;

int measure(const Scene& scene, int depth, int frames, int rounds) {
    scene.prepare();
    // The clock stands still while a frame is drawn again and again, so that
    // its pop-ups and animation stay where they are.
    const std::uint32_t moment = headless::now();
    const auto draw = [&] {
        headless::set_now(moment);
        scene.draw();
    };
    draw();
    std::vector<platform::DrawOp> ops;
    platform::set_draw_log(&ops);
    draw();
    platform::set_draw_log(nullptr);
    Surface ours = *lpDDSBack;
    if (!png_dir.empty()) {
        std::string name = scene.name;
        name = name.substr(0, name.find_first_of(", "));
        platform::write_png(ours, png_dir + "/" + name + "-" + std::to_string(depth) + ".png");
    }

    SdlCopies copies;
    prepare_copies(ops, copies);
    sdl_replay(ops, copies, true);  // also encodes the RLE surfaces
    SDL_Surface* sdl_back = copies.plain[lpDDSBack];
    const long rle_diff = differing_pixels(ours, sdl_back);
    sdl_replay(ops, copies, false);
    const long key_diff = differing_pixels(ours, sdl_back);

    const std::size_t frame_bytes = static_cast<std::size_t>(1024) * 768 * (depth / 8);
    std::vector<std::uint8_t> from(frame_bytes, 0x5A);
    std::vector<std::uint8_t> to(frame_bytes);
    const Surface plain(1024, 768, depth);
    Surface scratch(1024, 768, depth);  // where the copies of back-buffer rows go
    std::vector<Copy> rows = plan_copies(ops, plain);
    for (Copy& c : rows) {
        if (c.to >= lpDDSBack->row(0) && c.to < lpDDSBack->row(0) + lpDDSBack->pitch() * 768) {
            c.to = scratch.row(0) + (c.to - lpDDSBack->row(0));
        }
    }

    struct Variant {
        const char* name;
        std::function<void()> frame;
        std::vector<double> times;
    };
    std::vector<Variant> variants = {
        {"ours (the game's routine)", draw, {}},
        {"ours, fills and blits", [&] { our_replay(ops); }, {}},
        {"SDL, colour key", [&] { sdl_replay(ops, copies, false); }, {}},
        {"SDL, colour key + RLE", [&] { sdl_replay(ops, copies, true); }, {}},
        {"memcpy of one frame", [&] { std::memcpy(to.data(), from.data(), frame_bytes); }, {}},
        {"memcpy of the same rows",
         [&] {
             for (const Copy& c : rows) {
                 std::memcpy(c.to, c.from, c.bytes);
             }
         },
         {}},
    };
    // Rounds interleave the variants so that a busy moment on the machine
    // hits them alike; the best round of each counts.
    for (int r = 0; r < rounds; ++r) {
        for (Variant& v : variants) {
            v.times.push_back(time_frames(v.frame, frames));
        }
    }
    std::printf("\n  %s: %zu fills and blits\n", scene.name, ops.size());
    std::vector<double> best;
    for (Variant& v : variants) {
        std::sort(v.times.begin(), v.times.end());
        best.push_back(v.times.front());
        std::printf("    %-28s %8.1f us/frame (median %8.1f)\n", v.name, v.times.front(),
                    v.times[v.times.size() / 2]);
    }
    std::printf("    ours / SDL colour key %5.2f   ours / SDL RLE %5.2f\n", best[0] / best[2],
                best[0] / best[3]);
    std::printf("    ours / memcpy of one frame %5.2f   ours / memcpy of the same rows %5.2f\n",
                best[0] / best[4], best[0] / best[5]);
    std::printf("    SDL's frame: %s\n",
                rle_diff == 0 && key_diff == 0
                    ? "the same pixels"
                    : (std::to_string(std::max(rle_diff, key_diff)) +
                       " pixels differ (drawn by other means than fills and blits)")
                          .c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 100;
    int rounds = 7;
    std::vector<int> depths = {16, 32};
    std::string data = BRAMBLE_DATA_DIR;
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
        } else if (arg == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else if (arg == "--png" && i + 1 < argc) {
            png_dir = std::filesystem::absolute(argv[++i]).string();
        } else {
            std::fprintf(stderr,
                         "usage: bench_frame [--frames N] [--rounds N] [--depth 16|32] "
                         "[--data DIR] [--png DIR]\n");
            return 2;
        }
    }
    if (depths.size() > 1) {
        // Each depth in a process of its own, from the same start: the game's
        // screens keep state of their own (the credits' page, the targets),
        // which a second run in the same process would find changed.
        std::printf("bench_frame: the game's frames at 1024 x 768, %d frames a round, best of %d\n",
                    frames, rounds);
        std::vector<std::vector<std::string>> counts;
        int status = 0;
        for (int depth : depths) {
            const std::string command = std::string(argv[0]) + " --depth " + std::to_string(depth) +
                                        " --frames " + std::to_string(frames) + " --rounds " +
                                        std::to_string(rounds) + " --data '" + data + "'" +
                                        (png_dir.empty() ? "" : " --png '" + png_dir + "'");
            std::FILE* child = popen(command.c_str(), "r");
            if (child == nullptr) {
                return 1;
            }
            counts.emplace_back();
            char line[512];
            bool header = true;
            while (std::fgets(line, sizeof line, child) != nullptr) {
                if (header) {  // the child's own first line
                    header = false;
                    continue;
                }
                std::fputs(line, stdout);
                const std::size_t n = std::strlen(line);
                if (n > 17 && std::strcmp(line + n - 17, " fills and blits\n") == 0) {
                    counts.back().push_back(line);
                }
            }
            status |= pclose(child) != 0 ? 1 : 0;
        }
        // Every depth must draw the same frames: a surface that the display's
        // rebuilding at 32 bits missed would quietly lighten the work.
        if (counts.size() == 2 && counts[0] != counts[1]) {
            std::printf("\nThe frames at 32 bits are NOT those at 16 bits.\n");
            status = 1;
        }
        return status;
    }
    const int depth = depths.front();
    // The game runs in a scratch folder (its Score.dat is written there) and
    // reads its data from the folder given.
    std::error_code ec;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path(ec) / ("bench_frame." + std::to_string(getpid()));
    std::filesystem::create_directories(folder, ec);
    if (ec || chdir(folder.c_str()) != 0) {
        std::fprintf(stderr, "bench_frame: no scratch folder %s\n", folder.c_str());
        return 1;
    }
    platform::set_read_fallback(std::filesystem::absolute(data).string());
    headless::reset();
    headless::set_keep_frames(false);
    std::printf("bench_frame: the game's frames at 1024 x 768, %d frames a round, best of %d\n",
                frames, rounds);
    int status = 0;
    if (!Programm_starten() || Spielzustand == Zustand::Ende) {
        std::fprintf(stderr, "bench_frame: the game does not start with the data in %s\n",
                     data.c_str());
        status = 1;
    } else if (depth != 16 && !Anzeige_aufbauen(depth)) {
        std::fprintf(stderr, "bench_frame: no display at %d bits\n", depth);
        status = 1;
    } else {
        std::printf("\n%d bits per pixel\n", depth);
        for (const Scene& scene : kScenes) {
            status |= measure(scene, depth, frames, rounds);
        }
    }
    Programm_beenden(false);
    std::filesystem::remove_all(folder, ec);
    return status;
}
