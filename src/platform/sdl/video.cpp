// The SDL backend's window, display and message boxes: a fullscreen-desktop
// window whose renderer scales the 1024 x 768 frame with letterboxing, the
// back buffer uploaded to a streaming texture at every flip.
#include "platform/sdl/video.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define BRAMBLE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRAMBLE_ASAN 1
#endif
#endif
#if defined(BRAMBLE_ASAN)
#include <dlfcn.h>
#include <link.h>
#endif

#include "platform/backend.h"
#include "platform/observer.h"
#include "platform/sdl/events.h"
#include "platform/stats.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/window.h"

namespace platform::sdl {

const std::array<const char*, kCursorSize> kCrosshair = {
    "................................", "................................",
    "..............ooo...............", "..............oXo...............",
    "..............oXo...............", ".............ooXoo..............",
    "..........ooooXXXoooo...........", "........oooXXXXXXXXXooo.........",
    ".......ooXXooooXooooXXoo........", "......ooXXoo..oXo..ooXXoo.......",
    "......oXXoo...oXo...ooXXo.......", ".....ooXoo....oXo....ooXoo......",
    ".....oXoo.....oXo.....ooXo......", ".....oXo......oXo......oXo......",
    "....ooXo......ooo......oXoo.....", ".ooooXXoooooooooooooooooXXoooo..",
    ".oXXXXXXXXXXXooXooXXXXXXXXXXXo..", ".ooooXXoooooooooooooooooXXoooo..",
    "....ooXo......ooo......oXoo.....", ".....oXo......oXo......oXo......",
    ".....oXoo.....oXo.....ooXo......", ".....ooXoo....oXo....ooXoo......",
    "......oXXoo...oXo...ooXXo.......", "......ooXXoo..oXo..ooXXoo.......",
    ".......ooXXooooXooooXXoo........", "........oooXXXXXXXXXooo.........",
    "..........ooooXXXoooo...........", ".............ooXoo..............",
    "..............oXo...............", "..............oXo...............",
    "..............ooo...............", "................................",
};

namespace {

struct Video {
    bool initialised = false;
    SDL_Window* window = nullptr;
    SDL_Cursor* cursor = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    Uint32 texture_format = 0;  // set while the display is open
    int width = 1024;
    int height = 768;
    bool vsync = false;
    std::uint64_t frame_interval_us = 16667;
    std::uint64_t last_present_us = 0;
    bool box_showing = false;
    EventTranslator translator;
};

Video& video() {
    static Video v;
    return v;
}

std::uint64_t now_us() {
    return SDL_GetPerformanceCounter() * 1000000ull / SDL_GetPerformanceFrequency();
}

SDL_Cursor* make_cursor() {
    // SDL's monochrome cursor: data bit set = black, mask bit set = opaque,
    // mask without data = white. Rows of 32 bits, leftmost pixel highest.
    std::array<Uint8, kCursorSize * kCursorSize / 8> data{};
    std::array<Uint8, kCursorSize * kCursorSize / 8> mask{};
    for (int y = 0; y < kCursorSize; ++y) {
        for (int x = 0; x < kCursorSize; ++x) {
            const char c = kCrosshair[static_cast<std::size_t>(y)][x];
            const std::size_t byte = static_cast<std::size_t>(y * kCursorSize + x) / 8;
            const auto bit = static_cast<Uint8>(0x80 >> (x % 8));
            if (c == 'X') {
                data[byte] |= bit;
            }
            if (c == 'X' || c == 'o') {
                mask[byte] |= bit;
            }
        }
    }
    return SDL_CreateCursor(data.data(), mask.data(), kCursorSize, kCursorSize, kCursorHotX,
                            kCursorHotY);
}

// The window icon: the same crosshair in colour.
void set_icon(SDL_Window* w) {
    SDL_Surface* icon =
        SDL_CreateRGBSurfaceWithFormat(0, kCursorSize, kCursorSize, 32, SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr) {
        return;
    }
    for (int y = 0; y < kCursorSize; ++y) {
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(icon->pixels) + y * icon->pitch);
        for (int x = 0; x < kCursorSize; ++x) {
            const char c = kCrosshair[static_cast<std::size_t>(y)][x];
            row[x] = c == 'X' ? 0xFFB01010u : c == 'o' ? 0xFFFFFFFFu : 0x00000000u;
        }
    }
    SDL_SetWindowIcon(w, icon);
    SDL_FreeSurface(icon);
}

// In full screen the pointer stays on the game's screen: on a desktop of
// several monitors, pushing it against an edge to scroll the view must not
// carry it onto another monitor, where a click would take the focus away. A
// window, and a message box in front of the game, leave it free. SDL itself
// lets the grab go while the window lacks the focus and takes it again when
// the focus returns.
void confine_pointer() {
    SDL_Window* w = video().window;
    if (w == nullptr) {
        return;
    }
    const bool confine = fullscreen() && !video().box_showing;
    SDL_SetWindowMouseGrab(w, confine ? SDL_TRUE : SDL_FALSE);
}

#if defined(BRAMBLE_ASAN)
// The GL driver that the renderer loads leaks a little and is unloaded when
// the renderer goes; the leak checker then cannot name the module, and no
// suppression can match it. Keeping the driver loaded lets the suppression
// file name it precisely instead of hiding everything unnamed.
void keep_gl_drivers_loaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "_dri.so") != nullptr) {
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}
#else
void keep_gl_drivers_loaded() {}
#endif

}  // namespace

SDL_Window* window() {
    return video().window;
}
SDL_Renderer* renderer() {
    return video().renderer;
}
SDL_Texture* frame_texture() {
    return video().texture;
}

bool fullscreen() {
    return video().window != nullptr &&
           (SDL_GetWindowFlags(video().window) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
               SDL_WINDOW_FULLSCREEN_DESKTOP;
}

void toggle_fullscreen() {
    SDL_Window* w = video().window;
    if (w == nullptr) {
        return;
    }
    if (fullscreen()) {
        // An ordinary window with a frame, so it can be moved and closed.
        SDL_SetWindowFullscreen(w, 0);
        SDL_SetWindowBordered(w, SDL_TRUE);
        SDL_SetWindowResizable(w, SDL_TRUE);
        SDL_SetWindowSize(w, video().width, video().height);
        SDL_SetWindowPosition(w, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    } else {
        SDL_SetWindowBordered(w, SDL_FALSE);
        SDL_SetWindowFullscreen(w, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    confine_pointer();
}

}  // namespace platform::sdl

namespace platform::backend {

using namespace platform::sdl;

bool video_start(const char* class_name) {
    auto& v = video();
    if (v.initialised) {
        return true;
    }
    // X11 takes the window's class (WM_CLASS) from this variable when the
    // window is made; desktops group and match the game's windows by it.
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", class_name, 1);
    // A message box in front of the game must not minimise it.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The click that focuses the window is a shot like any other.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The frame is scaled by a non-integer factor; smooth it.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    platform::text_prepare();
    // main() is the game's own, not SDL's: SDL may start (Windows asks).
    SDL_SetMainReady();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return false;
    }
    v.initialised = true;
    return true;
}

bool window_open(const char* caption) {
    auto& v = video();
    if (v.window != nullptr || !v.initialised) {
        return false;
    }
    // Full screen, or (asked for on the command line) the window that
    // Alt+Enter would give.
    const Uint32 mode = platform::window_starts_fullscreen()
                            ? SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS
                            : SDL_WINDOW_RESIZABLE;
    // Made for OpenGL from the start where there is OpenGL: the renderer
    // would otherwise make the window anew, which costs the start-up tens of
    // milliseconds of the window manager's time.
    for (const Uint32 gl : {Uint32{SDL_WINDOW_OPENGL}, Uint32{0}}) {
        v.window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    v.width, v.height, mode | SDL_WINDOW_SHOWN | gl);
        if (v.window != nullptr) {
            break;
        }
    }
    if (v.window == nullptr) {
        return false;
    }
    confine_pointer();
    set_icon(v.window);
    v.cursor = make_cursor();
    if (v.cursor != nullptr) {
        SDL_SetCursor(v.cursor);
    }
    SDL_ShowCursor(SDL_ENABLE);
    SDL_StartTextInput();
    v.translator = platform::sdl::EventTranslator(v.width, v.height);
    return true;
}

void window_close() {
    auto& v = video();
    display_close();
    if (v.window != nullptr) {
        SDL_DestroyWindow(v.window);
        v.window = nullptr;
    }
    if (v.cursor != nullptr) {
        SDL_FreeCursor(v.cursor);
        v.cursor = nullptr;
    }
    if (v.initialised) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        v.initialised = false;
    }
}

namespace {

bool make_renderer(Video& v) {
    v.renderer =
        SDL_CreateRenderer(v.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    v.vsync = v.renderer != nullptr;
    if (v.renderer == nullptr) {
        v.renderer = SDL_CreateRenderer(v.window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (v.renderer == nullptr) {
        return false;
    }
    keep_gl_drivers_loaded();
    // An OpenGL renderer may have had SDL recreate the X window, which then
    // lost our cursor.
    if (v.cursor != nullptr) {
        SDL_SetCursor(v.cursor);
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(v.renderer, &info) == 0) {
        v.vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    }
    return true;
}

bool make_texture(Video& v) {
    v.texture = SDL_CreateTexture(v.renderer, v.texture_format, SDL_TEXTUREACCESS_STREAMING,
                                  v.width, v.height);
    return v.texture != nullptr && SDL_RenderSetLogicalSize(v.renderer, v.width, v.height) == 0;
}

// After SDL_RENDER_TARGETS_RESET the texture may have lost its pixels; after
// SDL_RENDER_DEVICE_RESET (or when the renderer fails) the renderer is gone
// with every texture. Both are made again, so the next frame shows; if that
// fails now, the next present tries again.
void remake(Video& v, bool renderer_too) {
    if (v.texture != nullptr) {
        SDL_DestroyTexture(v.texture);
        v.texture = nullptr;
    }
    if (renderer_too && v.renderer != nullptr) {
        SDL_DestroyRenderer(v.renderer);
        v.renderer = nullptr;
    }
    if ((v.renderer != nullptr || make_renderer(v)) && !make_texture(v) && v.texture != nullptr) {
        SDL_DestroyTexture(v.texture);
        v.texture = nullptr;
    }
}

}  // namespace

bool display_open(int width, int height, int bits_per_pixel) {
    auto& v = video();
    if (v.window == nullptr || v.renderer != nullptr) {
        return false;
    }
    if (!make_renderer(v)) {
        return false;
    }
    // Our 16-bit pixels are RGB565 with the lowest green bit always 0, so
    // they upload unchanged; 32-bit pixels are 0x00RRGGBB.
    v.texture_format = bits_per_pixel == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XRGB8888;
    v.width = width;
    v.height = height;
    if (!make_texture(v)) {
        display_close();
        return false;
    }
    v.translator = platform::sdl::EventTranslator(width, height);
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(v.window);
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0) {
        v.frame_interval_us = 1000000ull / static_cast<std::uint64_t>(mode.refresh_rate);
    }
    SDL_SetRenderDrawColor(v.renderer, 0, 0, 0, 255);
    SDL_RenderClear(v.renderer);
    SDL_RenderPresent(v.renderer);
    v.last_present_us = now_us();
    return true;
}

void display_present(const Surface& frame) {
    auto& v = video();
    if (v.texture_format == 0 || frame.width() != v.width || frame.height() != v.height) {
        return;
    }
    if (v.texture == nullptr) {
        remake(v, v.renderer == nullptr);  // a remake that failed before
        if (v.texture == nullptr) {
            return;
        }
    }
    stats::Laps laps;
    if (SDL_UpdateTexture(v.texture, nullptr, frame.row(0), frame.pitch()) != 0) {
        remake(v, true);  // lost without an event: made again for the next frame
        return;
    }
    laps.lap(stats::Phase::Upload);
    SDL_SetRenderDrawColor(v.renderer, 0, 0, 0, 255);
    SDL_RenderClear(v.renderer);  // the letterbox bars
    SDL_RenderCopy(v.renderer, v.texture, nullptr, nullptr);
    laps.lap(stats::Phase::Copy);
    SDL_RenderPresent(v.renderer);
    laps.lap(stats::Phase::Present);
    // A flip waits for the display. Where the renderer cannot wait for the
    // vertical blank, wait out the display's frame time instead, so screens
    // that only draw and flip do not spin the processor.
    const std::uint64_t now = now_us();
    const std::uint64_t since = now - v.last_present_us;
    if (since + 1000 < v.frame_interval_us) {
        display_wait(static_cast<std::uint32_t>((v.frame_interval_us - since) / 1000));
    }
    laps.lap(stats::Phase::Delay);
    v.last_present_us = now_us();
}

void display_close() {
    auto& v = video();
    v.texture_format = 0;
    if (v.texture != nullptr) {
        SDL_DestroyTexture(v.texture);
        v.texture = nullptr;
    }
    if (v.renderer != nullptr) {
        SDL_DestroyRenderer(v.renderer);
        v.renderer = nullptr;
    }
}

void pump_events() {
    auto& v = video();
    if (!v.initialised) {
        return;
    }
    std::vector<Message> out;
    SDL_Event ev;
    while (SDL_PollEvent(&ev) != 0) {
        if (ev.type == SDL_RENDER_TARGETS_RESET || ev.type == SDL_RENDER_DEVICE_RESET) {
            if (v.texture_format != 0) {
                remake(v, ev.type == SDL_RENDER_DEVICE_RESET);
            }
            continue;
        }
        out.clear();
        if (v.translator.translate(ev, out) == platform::sdl::Request::ToggleFullscreen) {
            toggle_fullscreen();
        }
        for (const Message& m : out) {
            post_message(nullptr, m.msg, m.wparam, m.lparam);
        }
    }
}

void show_message_box(const char* caption, const char* text, const std::string& utf8_caption,
                      const std::string& utf8_text, std::uint32_t type) {
    if (observer() != nullptr) {
        observer()->on_box(BoxShown{caption, text, type});
    }
    // Without a display there is nobody to show it to; the line is already
    // on stderr.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        return;
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    switch (type & 0xF0) {
        case 0x10:  // MB_ICONERROR
            flags = SDL_MESSAGEBOX_ERROR;
            break;
        case 0x30:  // MB_ICONWARNING
            flags = SDL_MESSAGEBOX_WARNING;
            break;
        default:
            break;
    }
    // The box is a window of its own: a pointer held on the game's screen
    // could not reach its button.
    video().box_showing = true;
    confine_pointer();
    SDL_ShowSimpleMessageBox(flags, utf8_caption.c_str(), utf8_text.c_str(), video().window);
    video().box_showing = false;
    confine_pointer();
    // The pointer may have left while the box was up; keep our crosshair.
    if (video().cursor != nullptr) {
        SDL_SetCursor(video().cursor);
    }
}

}  // namespace platform::backend
