// The real SDL backend: message translation on synthetic SDL events, and on
// an X server (Xvfb 1920 x 1080 with openbox, see scripts/xvfb-run-wm) the
// window, the letterboxed picture, the pointer, the keys, the cursor, the
// message box and the audio device.
#include <SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/spiel.h"
#include "gfx/ddraw.h"
#include "platform/png.h"
#include "platform/sdl/events.h"
#include "platform/sdl/video.h"
#include "platform/system.h"
#include "platform/window.h"
#include "support/fixture.h"

namespace {

using platform::Message;
using platform::sdl::EventTranslator;
using platform::sdl::Request;
using Clock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------
// Synthetic events

SDL_Event key_event(SDL_Keycode key, std::uint16_t mod = KMOD_NONE, bool repeat = false) {
    SDL_Event ev{};
    ev.type = SDL_KEYDOWN;
    ev.key.state = SDL_PRESSED;
    ev.key.repeat = repeat ? 1 : 0;
    ev.key.keysym.sym = key;
    ev.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    ev.key.keysym.mod = mod;
    return ev;
}

SDL_Event text_event(const char* utf8) {
    SDL_Event ev{};
    ev.type = SDL_TEXTINPUT;
    SDL_strlcpy(ev.text.text, utf8, sizeof ev.text.text);
    return ev;
}

SDL_Event motion_event(int x, int y) {
    SDL_Event ev{};
    ev.type = SDL_MOUSEMOTION;
    ev.motion.x = x;
    ev.motion.y = y;
    return ev;
}

SDL_Event button_event(Uint8 button, int x, int y) {
    SDL_Event ev{};
    ev.type = SDL_MOUSEBUTTONDOWN;
    ev.button.button = button;
    ev.button.state = SDL_PRESSED;
    ev.button.x = x;
    ev.button.y = y;
    return ev;
}

struct Msg {
    std::uint32_t msg;
    WPARAM wparam;
    bool operator==(const Msg&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Msg& m) {
    return os << "{0x" << std::hex << m.msg << std::dec << ", " << m.wparam << "}";
}

std::vector<Msg> translate(EventTranslator& t, const SDL_Event& ev, Request* request = nullptr) {
    std::vector<Message> out;
    const Request r = t.translate(ev, out);
    if (request != nullptr) {
        *request = r;
    }
    std::vector<Msg> msgs;
    for (const Message& m : out) {
        msgs.push_back({m.msg, m.wparam});
    }
    return msgs;
}

TEST(SdlEvents, KeysBecomeWindowsVirtualKeys) {
    EventTranslator t;
    const struct {
        SDL_Keycode key;
        WPARAM vk;
    } cases[] = {
        {SDLK_SPACE, 32},  {SDLK_LEFT, 37},     {SDLK_UP, 38},       {SDLK_RIGHT, 39},
        {SDLK_DOWN, 40},   {SDLK_F1, 112},      {SDLK_F2, 113},      {SDLK_F3, 114},
        {SDLK_0, '0'},     {SDLK_9, '9'},       {SDLK_a, 'A'},       {SDLK_z, 'Z'},
        {SDLK_KP_5, 0x65}, {SDLK_DELETE, 0x2E}, {SDLK_LSHIFT, 0x10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(SDL_GetKeyName(c.key));
        // Letters, digits and space give their character through text input,
        // never through the key itself.
        EXPECT_EQ(translate(t, key_event(c.key)), (std::vector<Msg>{{WM_KEYDOWN, c.vk}}));
    }
    // A key without a virtual-key code gives nothing.
    EXPECT_TRUE(translate(t, key_event(SDLK_MUTE)).empty());
}

TEST(SdlEvents, EnterBackspaceTabAndEscAlsoArriveAsCharacters) {
    EventTranslator t;
    const struct {
        SDL_Keycode key;
        WPARAM code;
    } cases[] = {{SDLK_RETURN, 13},
                 {SDLK_KP_ENTER, 13},
                 {SDLK_BACKSPACE, 8},
                 {SDLK_TAB, 9},
                 {SDLK_ESCAPE, 27}};
    for (const auto& c : cases) {
        SCOPED_TRACE(SDL_GetKeyName(c.key));
        EXPECT_EQ(translate(t, key_event(c.key)),
                  (std::vector<Msg>{{WM_KEYDOWN, c.code}, {WM_CHAR, c.code}}));
    }
    // Ctrl with a letter gives the control code, as TranslateMessage does.
    EXPECT_EQ(translate(t, key_event(SDLK_c, KMOD_LCTRL)),
              (std::vector<Msg>{{WM_KEYDOWN, 'C'}, {WM_CHAR, 3}}));
}

TEST(SdlEvents, HeldKeysRepeatWithTheRepeatFlag) {
    EventTranslator t;
    std::vector<Message> out;
    t.translate(key_event(SDLK_UP), out);
    t.translate(key_event(SDLK_UP, KMOD_NONE, true), out);
    t.translate(key_event(SDLK_UP, KMOD_NONE, true), out);
    t.translate(key_event(SDLK_BACKSPACE, KMOD_NONE, true), out);
    ASSERT_EQ(out.size(), 5u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(out[static_cast<std::size_t>(i)].msg, WM_KEYDOWN);
        EXPECT_EQ(out[static_cast<std::size_t>(i)].wparam, VK_UP);
    }
    EXPECT_EQ(out[0].lparam & (1 << 30), 0);  // first press: key was up
    EXPECT_NE(out[1].lparam & (1 << 30), 0);
    EXPECT_EQ(out[3].msg, WM_KEYDOWN);
    EXPECT_EQ(out[4].msg, WM_CHAR);  // a held Backspace keeps deleting
    EXPECT_EQ(out[4].wparam, 8u);
}

TEST(SdlEvents, TypedTextBecomesWindows1252) {
    EventTranslator t;
    // a, ä, ß, €, Ž (0x8E), and an arrow that has no byte: dropped.
    EXPECT_EQ(translate(t, text_event("a\xC3\xA4\xC3\x9F\xE2\x82\xAC\xC5\xBD\xE2\x86\x92Z")),
              (std::vector<Msg>{{WM_CHAR, 'a'},
                                {WM_CHAR, 0xE4},
                                {WM_CHAR, 0xDF},
                                {WM_CHAR, 0x80},
                                {WM_CHAR, 0x8E},
                                {WM_CHAR, 'Z'}}));
    // Only characters without a byte: nothing at all.
    EXPECT_TRUE(translate(t, text_event("\xE2\x86\x92\xF0\x9F\x98\x80")).empty());
    // A key and its text arrive in that order.
    std::vector<Message> out;
    t.translate(key_event(SDLK_y), out);
    t.translate(text_event("y"), out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].msg, WM_KEYDOWN);
    EXPECT_EQ(out[0].wparam, static_cast<WPARAM>('Y'));
    EXPECT_EQ(out[1].msg, WM_CHAR);
    EXPECT_EQ(out[1].wparam, static_cast<WPARAM>('y'));
}

TEST(SdlEvents, AltEnterSwitchesTheWindowAndNeverReachesTheGame) {
    EventTranslator t;
    Request r = Request::None;
    EXPECT_TRUE(translate(t, key_event(SDLK_RETURN, KMOD_LALT), &r).empty());
    EXPECT_EQ(r, Request::ToggleFullscreen);
    EXPECT_TRUE(translate(t, key_event(SDLK_KP_ENTER, KMOD_RALT), &r).empty());
    EXPECT_EQ(r, Request::ToggleFullscreen);
    // Held down it switches once.
    EXPECT_TRUE(translate(t, key_event(SDLK_RETURN, KMOD_LALT, true), &r).empty());
    EXPECT_EQ(r, Request::None);
    // Alt+F4 closes, as on Windows.
    EXPECT_EQ(translate(t, key_event(SDLK_F4, KMOD_LALT)), (std::vector<Msg>{{WM_CLOSE, 0}}));
    // Plain Enter is the game's.
    EXPECT_EQ(translate(t, key_event(SDLK_RETURN), &r),
              (std::vector<Msg>{{WM_KEYDOWN, 13}, {WM_CHAR, 13}}));
    EXPECT_EQ(r, Request::None);
}

TEST(SdlEvents, MousePositionsAreClampedGamePixels) {
    EventTranslator t;
    std::vector<Message> out;
    t.translate(motion_event(512, 384), out);
    t.translate(motion_event(-40, 900), out);  // over the letterbox bars
    t.translate(motion_event(1024, -1), out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].msg, WM_MOUSEMOVE);
    EXPECT_EQ(out[0].lparam, MAKELPARAM(512, 384));
    EXPECT_EQ(out[1].lparam, MAKELPARAM(0, 767));
    EXPECT_EQ(out[2].lparam, MAKELPARAM(1023, 0));

    // A click where the pointer was last reported: just the click.
    out.clear();
    t.translate(button_event(SDL_BUTTON_LEFT, 1030, 0), out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].msg, WM_LBUTTONDOWN);
    EXPECT_EQ(out[0].lparam, MAKELPARAM(1023, 0));
    // A click elsewhere is preceded by the move there.
    out.clear();
    t.translate(button_event(SDL_BUTTON_RIGHT, 100, 200), out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].msg, WM_MOUSEMOVE);
    EXPECT_EQ(out[0].lparam, MAKELPARAM(100, 200));
    EXPECT_EQ(out[1].msg, WM_RBUTTONDOWN);
    EXPECT_EQ(out[1].lparam, MAKELPARAM(100, 200));
    // The middle button is not the game's.
    out.clear();
    t.translate(button_event(SDL_BUTTON_MIDDLE, 100, 200), out);
    EXPECT_TRUE(out.empty());
}

TEST(SdlEvents, ClosingTheWindowClosesOnce) {
    EventTranslator t;
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(translate(t, close), (std::vector<Msg>{{WM_CLOSE, 0}}));
    EXPECT_TRUE(translate(t, quit).empty());  // the quit that follows the last window's close
    EXPECT_EQ(translate(t, quit), (std::vector<Msg>{{WM_CLOSE, 0}}));  // e.g. a signal
}

// ---------------------------------------------------------------------------
// On the X server

std::vector<Message> received;

LRESULT record_proc(HWND w, std::uint32_t msg, WPARAM wp, LPARAM lp) {
    received.push_back(Message{w, msg, wp, lp});
    return 0;
}

// Takes and dispatches every pending message.
void drain() {
    Message m;
    while (platform::peek_message(m)) {
        platform::dispatch_message(m);
    }
}

// Pumps messages until pred holds or the time is up.
bool pump_until(const std::function<bool()>& pred, double seconds = 10.0) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        drain();
        if (pred()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    drain();
    return pred();
}

int run(const std::string& command) {
    return std::system(command.c_str());
}

struct Rgb {
    int r, g, b;
};

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> data;
    Rgb at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return {data[i], data[i + 1], data[i + 2]};
    }
};

// The whole X screen, read back through ImageMagick as a binary PPM.
std::optional<Screenshot> grab_screen(const std::string& keep_png = "") {
    const std::string ppm = bramble_test::output_dir() + "/sdltest-screen.ppm";
    std::filesystem::remove(ppm);
    if (run("import -window root -depth 8 ppm:'" + ppm + "' 2>/dev/null") != 0) {
        return std::nullopt;
    }
    if (!keep_png.empty()) {
        run("convert '" + ppm + "' '" + bramble_test::output_dir() + "/" + keep_png + "'");
    }
    std::ifstream in(ppm, std::ios::binary);
    std::string magic;
    int maxval = 0;
    Screenshot s;
    in >> magic >> s.width >> s.height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255 || s.width <= 0 || s.height <= 0) {
        return std::nullopt;
    }
    s.data.resize(static_cast<std::size_t>(s.width) * s.height * 3);
    in.read(reinterpret_cast<char*>(s.data.data()), static_cast<std::streamsize>(s.data.size()));
    const bool complete = static_cast<bool>(in);
    in.close();
    std::filesystem::remove(ppm);
    if (!complete) {
        return std::nullopt;
    }
    return s;
}

bool near(const Rgb& a, const Rgb& b, int tolerance = 3) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// XFixesGetCursorImage's result (the X headers are kept out: their macros
// clash with ordinary names).
struct XCursorImage {
    short x, y;
    unsigned short width, height;
    unsigned short xhot, yhot;
    unsigned long cursor_serial;
    unsigned long* pixels;
};

class SdlScreen : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under scripts/xvfb-run-wm";
        Hauptfenster = platform::window_create("Bramblecourt", record_proc);
        ASSERT_NE(Hauptfenster, nullptr) << SDL_GetError();
        // Openbox maps the window and gives it the whole screen.
        ASSERT_TRUE(pump_until([] {
            int w = 0;
            int h = 0;
            SDL_GetWindowSize(platform::sdl::window(), &w, &h);
            return w == 1920 && h == 1080 &&
                   (SDL_GetWindowFlags(platform::sdl::window()) & SDL_WINDOW_SHOWN) != 0;
        }));
        focus();
    }

    static void TearDownTestSuite() {
        DDraw_beenden();
        platform::window_destroy(Hauptfenster);
        Hauptfenster = nullptr;
    }

    void SetUp() override {
        drain();
        received.clear();
    }

    void TearDown() override { DDraw_beenden(); }

    // Keyboard input goes to the focused window: make sure that is ours.
    static void focus() {
        if (SDL_GetKeyboardFocus() == platform::sdl::window()) {
            return;
        }
        run("timeout 10 xdotool search --onlyvisible --name '^Bramblecourt$' "
            "windowactivate --sync >/dev/null 2>&1");
        pump_until([] { return SDL_GetKeyboardFocus() == platform::sdl::window(); });
    }

    static void start_display(int depth) {
        Farbtiefe = depth;
        ASSERT_EQ(DDraw_starten(), 0);
        const RECT screen{0, 0, 1024, 768};
        ASSERT_EQ(DDraw_Clipper_erzeugen(&screen, 1), 0);
    }

    static std::vector<Msg> messages_of(std::initializer_list<std::uint32_t> kinds) {
        std::vector<Msg> out;
        for (const Message& m : received) {
            for (std::uint32_t k : kinds) {
                if (m.msg == k) {
                    out.push_back({m.msg, m.wparam});
                }
            }
        }
        return out;
    }

    static std::optional<LPARAM> last_lparam(std::uint32_t kind) {
        for (auto it = received.rbegin(); it != received.rend(); ++it) {
            if (it->msg == kind) {
                return it->lparam;
            }
        }
        return std::nullopt;
    }
};

TEST_F(SdlScreen, TheWindowIsABorderlessFullscreenDesktopWindow) {
    SDL_Window* w = platform::sdl::window();
    EXPECT_STREQ(SDL_GetWindowTitle(w), "Bramblecourt");
    EXPECT_TRUE(platform::sdl::fullscreen());
    EXPECT_NE(SDL_GetWindowFlags(w) & SDL_WINDOW_BORDERLESS, 0u);
}

// The known picture: a frame of colour blocks on a dark blue ground, so the
// picture can be told from the black bars, its corners from each other, and
// a row walk that ignores the pitch would shear the lower blocks away.
struct Block {
    int x, y, w, h;
    std::uint32_t colour;
};
const Block kBlocks[] = {
    {0, 0, 200, 150, 0xFF0000},     {824, 0, 200, 150, 0x00C000},   {0, 618, 200, 150, 0x0000FF},
    {824, 618, 200, 150, 0xFFFFFF}, {412, 284, 200, 200, 0xF8C040}, {300, 600, 100, 100, 0x808080},
    {700, 200, 120, 100, 0x00F8F8},
};
constexpr std::uint32_t kGround = 0x000080;

// What the screen shows for a colour: at 16 bits each channel keeps its top
// five bits (green is shown through six bits with a zero at the end).
Rgb shown(std::uint32_t colour, int depth) {
    int r = static_cast<int>((colour >> 16) & 0xFF);
    int g = static_cast<int>((colour >> 8) & 0xFF);
    int b = static_cast<int>(colour & 0xFF);
    if (depth == 16) {
        r = ((r >> 3) << 3) | (r >> 5);
        const int g6 = (g >> 3) << 1;
        g = (g6 << 2) | (g6 >> 4);
        b = ((b >> 3) << 3) | (b >> 5);
    }
    return {r, g, b};
}

// Centre of game pixel (x, y) on the 1920 x 1080 screen: scale 1080 / 768.
int screen_x(double x) {
    return 240 + static_cast<int>((x + 0.5) * 1.40625);
}
int screen_y(double y) {
    return static_cast<int>((y + 0.5) * 1.40625);
}

void draw_pattern(int depth) {
    auto value = [depth](std::uint32_t c) {
        return depth == 16 ? static_cast<std::uint32_t>(Farbe_16Bit(c)) : c;
    };
    ASSERT_EQ(DDraw_Puffer_leeren(lpDDSBack, kGround), 0);
    for (const Block& b : kBlocks) {
        Surface* s = nullptr;
        ASSERT_EQ(DDraw_Offscreen_anlegen(&s, b.w, b.h, 1), 0);
        for (int y = 0; y < b.h; ++y) {
            for (int x = 0; x < b.w; ++x) {
                s->set_pixel(x, y, value(b.colour));
            }
        }
        ASSERT_EQ(DDraw_Blitten(b.x, b.y, b.w, b.h, s, lpDDSBack), 0);
    }
}

// Compares the screen with the pattern; empty when it matches.
std::string check_pattern(const Screenshot& s, int depth) {
    std::string faults;
    auto expect = [&](int x, int y, Rgb want, const char* what) {
        const Rgb got = s.at(x, y);
        if (!near(got, want)) {
            char line[160];
            std::snprintf(line, sizeof line, "%s at (%d,%d): got (%d,%d,%d) want (%d,%d,%d)\n",
                          what, x, y, got.r, got.g, got.b, want.r, want.g, want.b);
            faults += line;
        }
    };
    if (s.width != 1920 || s.height != 1080) {
        return "screen is " + std::to_string(s.width) + "x" + std::to_string(s.height);
    }
    const Rgb black{0, 0, 0};
    const Rgb ground = shown(kGround, depth);
    // Black bars left and right of a 1440 x 1080 picture at x 240.
    for (int y : {0, 540, 1079}) {
        expect(0, y, black, "left bar");
        expect(239, y, black, "left bar edge");
        expect(1680, y, black, "right bar edge");
        expect(1919, y, black, "right bar");
    }
    expect(240, 400, ground, "picture's left edge");
    expect(1679, 400, ground, "picture's right edge");
    expect(960, 1079, ground, "picture's bottom edge");
    for (const Block& b : kBlocks) {
        const Rgb want = shown(b.colour, depth);
        // Centre and points inside each corner of the block.
        expect(screen_x(b.x + b.w / 2), screen_y(b.y + b.h / 2), want, "block centre");
        expect(screen_x(b.x + 3), screen_y(b.y + 3), want, "block top left");
        expect(screen_x(b.x + b.w - 4), screen_y(b.y + b.h - 4), want, "block bottom right");
        // Just outside the block, where it is not next to another block.
        if (b.y + b.h + 4 < 768 && b.x > 0) {
            expect(screen_x(b.x + b.w / 2), screen_y(b.y + b.h + 4), ground, "below block");
        }
    }
    return faults;
}

// Flips the pattern until the screen shows it; what differs, or empty.
std::string flip_until_shown(int depth, const std::string& png) {
    std::string faults = "never grabbed";
    // The X server may show the frame a moment after the present.
    for (int attempt = 0; attempt < 20 && !faults.empty(); ++attempt) {
        DDraw_Puffer_flippen();
        drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(100 + 100 * attempt));
        const auto shot = grab_screen(png);
        faults = shot ? check_pattern(*shot, depth) : "import failed";
    }
    return faults;
}

TEST_F(SdlScreen, APresentedFrameIsLetterboxedWithItsColours) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        DDraw_beenden();
        start_display(depth);
        draw_pattern(depth);
        EXPECT_EQ(flip_until_shown(depth, "sdltest-frame-" + std::to_string(depth) + ".png"), "");
    }
}

// A reset renderer: after SDL_RENDER_TARGETS_RESET the texture's content is
// gone, after SDL_RENDER_DEVICE_RESET the renderer's settings too. Left as
// they are, the frame would show black (the texture darkened here in its
// place) or at the wrong size (the logical size spoilt here); made again on
// the event, the frames go on whole.
TEST_F(SdlScreen, AfterARendererResetTheFramesGoOn) {
    for (const Uint32 reset : {SDL_RENDER_TARGETS_RESET, SDL_RENDER_DEVICE_RESET}) {
        const bool device = reset == SDL_RENDER_DEVICE_RESET;
        SCOPED_TRACE(device ? "device reset" : "targets reset");
        DDraw_beenden();
        start_display(16);
        draw_pattern(16);
        DDraw_Puffer_flippen();
        ASSERT_EQ(SDL_SetTextureColorMod(platform::sdl::frame_texture(), 0, 0, 0), 0);
        if (device) {
            ASSERT_EQ(SDL_RenderSetLogicalSize(platform::sdl::renderer(), 2048, 1536), 0);
        }
        SDL_Event ev{};
        ev.type = reset;
        ASSERT_EQ(SDL_PushEvent(&ev), 1);
        drain();
        EXPECT_EQ(
            flip_until_shown(16, device ? "sdltest-device-reset.png" : "sdltest-targets-reset.png"),
            "");
    }
}

TEST_F(SdlScreen, AFlipWaitsForTheDisplay) {
    // Screens other than play are paced by the flip alone; a flip that did
    // not wait would spin the processor.
    // Both with the renderer SDL picks here and with SDL's software renderer,
    // which cannot wait for the vertical blank.
    for (const char* driver : {"", "software"}) {
        SCOPED_TRACE(driver);
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, driver);
        DDraw_beenden();
        start_display(16);
        draw_pattern(16);
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "");
        SDL_RendererInfo info{};
        ASSERT_EQ(SDL_GetRendererInfo(platform::sdl::renderer(), &info), 0);
        if (*driver != '\0') {
            EXPECT_STREQ(info.name, driver);
        }
        SDL_DisplayMode mode{};
        SDL_GetCurrentDisplayMode(0, &mode);
        const int hz = mode.refresh_rate > 0 ? mode.refresh_rate : 60;
        DDraw_Puffer_flippen();
        const auto start = Clock::now();
        for (int i = 0; i < 30; ++i) {
            DDraw_Puffer_flippen();
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        EXPECT_GE(ms, 30 * 1000.0 / hz * 0.8) << hz << " Hz";
    }
}

TEST_F(SdlScreen, ThePointerArrivesInGamePixels) {
    start_display(16);
    draw_pattern(16);
    DDraw_Puffer_flippen();
    struct Case {
        int sx, sy;
        int gx, gy;
    } cases[] = {
        {100, 100, 0, 71},        // over the left bar: clamped to the picture
        {960, 540, 512, 384},     // the middle of the screen is the middle of the game
        {1919, 1079, 1023, 767},  // the last pixel
        {240, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sx) + "," + std::to_string(c.sy));
        received.clear();
        const LPARAM want =
            MAKELPARAM(static_cast<std::uint16_t>(c.gx), static_cast<std::uint16_t>(c.gy));
        // Xvfb starts with the pointer in the middle: moving to where it
        // already is would report nothing, so each case starts elsewhere.
        run("xdotool mousemove " + std::to_string(c.sx == 500 ? 600 : 500) + " 500");
        pump_until([] { return last_lparam(WM_MOUSEMOVE).has_value(); }, 5);
        run("xdotool mousemove " + std::to_string(c.sx) + " " + std::to_string(c.sy));
        EXPECT_TRUE(pump_until([&] { return last_lparam(WM_MOUSEMOVE) == want; }))
            << "last move " << (last_lparam(WM_MOUSEMOVE) ? *last_lparam(WM_MOUSEMOVE) : -1);
    }
    received.clear();
    run("xdotool mousemove 960 540 click 1");
    ASSERT_TRUE(pump_until([] { return last_lparam(WM_LBUTTONDOWN).has_value(); }));
    EXPECT_EQ(*last_lparam(WM_LBUTTONDOWN), MAKELPARAM(512, 384));
    run("xdotool click 3");
    ASSERT_TRUE(pump_until([] { return last_lparam(WM_RBUTTONDOWN).has_value(); }));
    EXPECT_EQ(*last_lparam(WM_RBUTTONDOWN), MAKELPARAM(512, 384));
}

TEST_F(SdlScreen, OurCrosshairIsThePointer) {
    // The shape itself: a cross whose centre is the hot spot, in a ring.
    using platform::sdl::kCrosshair;
    EXPECT_EQ(kCrosshair[16][15], 'X');
    EXPECT_EQ(kCrosshair[3][15], 'X');
    EXPECT_EQ(kCrosshair[29][15], 'X');
    EXPECT_EQ(kCrosshair[16][2], 'X');
    EXPECT_EQ(kCrosshair[16][28], 'X');
    EXPECT_EQ(kCrosshair[16][6], 'X');  // the ring crosses the horizontal bar
    EXPECT_EQ(kCrosshair[7][15], 'X');  // and the vertical one
    EXPECT_EQ(kCrosshair[0][0], '.');
    for (const char* row : kCrosshair) {
        EXPECT_EQ(std::string(row).size(), 32u);
    }

    // And the X server really shows it, with its hot spot.
    void* x11 = dlopen("libX11.so.6", RTLD_NOW);
    void* xfixes = dlopen("libXfixes.so.3", RTLD_NOW);
    ASSERT_NE(x11, nullptr);
    ASSERT_NE(xfixes, nullptr);
    auto open_display = reinterpret_cast<void* (*)(const char*)>(dlsym(x11, "XOpenDisplay"));
    auto close_display = reinterpret_cast<int (*)(void*)>(dlsym(x11, "XCloseDisplay"));
    auto x_free = reinterpret_cast<int (*)(void*)>(dlsym(x11, "XFree"));
    auto cursor_image =
        reinterpret_cast<XCursorImage* (*)(void*)>(dlsym(xfixes, "XFixesGetCursorImage"));
    ASSERT_TRUE(open_display && close_display && x_free && cursor_image);
    void* dpy = open_display(nullptr);
    ASSERT_NE(dpy, nullptr);

    run("xdotool mousemove 700 300");
    bool ours = false;
    int width = 0;
    int height = 0;
    int xhot = 0;
    int yhot = 0;
    unsigned long centre = 0;
    unsigned long corner = 0;
    pump_until(
        [&] {
            XCursorImage* img = cursor_image(dpy);
            if (img == nullptr) {
                return false;
            }
            width = img->width;
            height = img->height;
            xhot = img->xhot;
            yhot = img->yhot;
            if (width == 32 && height == 32) {
                centre = img->pixels[16 * 32 + 15] & 0xFFFFFFFFul;
                corner = img->pixels[0] & 0xFFFFFFFFul;
                ours = xhot == 15 && yhot == 16;
                if (ours) {
                    // For a person to look at: the pointer as the server has
                    // it, eight times enlarged, on grey.
                    Surface shot(256, 256, 32);
                    for (int y = 0; y < 256; ++y) {
                        for (int x = 0; x < 256; ++x) {
                            const unsigned long p = img->pixels[(y / 8) * 32 + x / 8];
                            shot.set_pixel(x, y, (p >> 24) != 0 ? p & 0xFFFFFF : 0x808080);
                        }
                    }
                    platform::write_png(shot, bramble_test::output_dir() + "/sdltest-cursor.png");
                }
            }
            x_free(img);
            return ours;
        },
        10);
    close_display(dpy);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 32);
    EXPECT_EQ(xhot, 15);
    EXPECT_EQ(yhot, 16);
    EXPECT_EQ(centre, 0xFF000000ul);  // opaque black at the hot spot
    EXPECT_EQ(corner >> 24, 0ul);     // transparent in the corner
}

TEST_F(SdlScreen, KeysArriveAsMessagesAndAltEnterSwitchesTheWindow) {
    start_display(16);
    draw_pattern(16);
    DDraw_Puffer_flippen();
    focus();
    run("xdotool key Return");
    ASSERT_TRUE(pump_until([] { return messages_of({WM_CHAR}).size() >= 1; }));
    EXPECT_EQ(messages_of({WM_KEYDOWN, WM_CHAR}),
              (std::vector<Msg>{{WM_KEYDOWN, 13}, {WM_CHAR, 13}}));

    received.clear();
    run("xdotool type --delay 30 'aZ'");
    ASSERT_TRUE(pump_until([] { return messages_of({WM_CHAR}).size() >= 2; }));
    // Shift arrives as its own key; letters as keys and characters.
    EXPECT_EQ(messages_of({WM_CHAR}), (std::vector<Msg>{{WM_CHAR, 'a'}, {WM_CHAR, 'Z'}}));
    const auto keys = messages_of({WM_KEYDOWN});
    EXPECT_NE(std::find(keys.begin(), keys.end(), Msg{WM_KEYDOWN, 'A'}), keys.end());
    EXPECT_NE(std::find(keys.begin(), keys.end(), Msg{WM_KEYDOWN, 'Z'}), keys.end());

    received.clear();
    run("xdotool key alt+Return");
    EXPECT_TRUE(pump_until([] { return !platform::sdl::fullscreen(); }));
    // The windowed game, for a person to look at.
    pump_until([] { return false; }, 0.3);
    DDraw_Puffer_flippen();
    pump_until([] { return false; }, 0.3);
    grab_screen("sdltest-windowed.png");
    run("xdotool key alt+Return");
    EXPECT_TRUE(pump_until([] {
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(platform::sdl::window(), &w, &h);
        return platform::sdl::fullscreen() && w == 1920 && h == 1080;
    }));
    // Give any stray Enter time to arrive: none may.
    pump_until([] { return false; }, 0.5);
    for (const Message& m : received) {
        EXPECT_FALSE((m.msg == WM_KEYDOWN || m.msg == WM_CHAR) && m.wparam == 13);
    }
    focus();
}

TEST_F(SdlScreen, AMessageBoxShowsAndReturnClosesIt) {
    start_display(16);
    draw_pattern(16);
    DDraw_Puffer_flippen();
    const std::string dir = bramble_test::output_dir();
    const std::string seen = dir + "/sdltest-box-seen";
    const std::string done = dir + "/sdltest-box-done";
    std::filesystem::remove(seen);
    std::filesystem::remove(done);
    // A helper outside the process waits for the box, screenshots it and
    // presses Return in it, again until the box is gone. (xdotool's search
    // cannot read the box's UTF-8 title; xwininfo can.)
    const std::string helper =
        "( for i in $(seq 150); do "
        "[ -e '" +
        done +
        "' ] && exit 0; "
        "id=$(xwininfo -root -tree 2>/dev/null | awk '/\"Box check\"/ {print $1; exit}'); "
        "if [ -n \"$id\" ]; then "
        "[ -e '" +
        seen + "' ] || { echo \"$id\" > '" + seen +
        "'; sleep 0.3; "
        "import -window root '" +
        dir +
        "/sdltest-box.png' 2>/dev/null; }; "
        "timeout 5 xdotool windowactivate --sync \"$id\" >/dev/null 2>&1; "
        "xdotool key Return; "
        "fi; sleep 0.2; done ) >/dev/null 2>&1 &";
    ASSERT_EQ(run(helper), 0);

    // If the box never closes, fail instead of hanging the test run.
    std::atomic<bool> returned{false};
    std::thread watchdog([&returned] {
        for (int i = 0; i < 600 && !returned; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (!returned) {
            std::fprintf(stderr, "message box was never closed\n");
            std::_Exit(1);
        }
    });
    const auto start = Clock::now();
    const int result = platform::message_box(Hauptfenster,
                                             "Die Datei <Gr\xFC\xDF"
                                             "e.dat> fehlt",
                                             "Box check", MB_OK | MB_ICONERROR);
    const auto took = Clock::now() - start;
    returned = true;
    watchdog.join();
    std::ofstream(done).put('\n');
    EXPECT_EQ(result, 1);  // IDOK
    EXPECT_TRUE(std::filesystem::exists(seen)) << "the box was closed before anyone saw it";
    EXPECT_GT(took, std::chrono::milliseconds(200)) << "the box did not block";
    // The game window is still the fullscreen one afterwards.
    EXPECT_TRUE(platform::sdl::fullscreen());
    pump_until([] { return false; }, 0.5);  // let a late Return arrive here, not later
    focus();
}

TEST_F(SdlScreen, WithoutADisplayTheBoxOnlyGoesToStderr) {
    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    ::testing::internal::CaptureStderr();
    const auto start = Clock::now();
    platform::message_box(Hauptfenster, "Programm konnte nicht gestartet werden!",
                          "Error - CreateWindow", MB_OK | MB_ICONERROR);
    const auto took = Clock::now() - start;
    const std::string err = ::testing::internal::GetCapturedStderr();
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_LT(took, std::chrono::seconds(1));
    EXPECT_EQ(err, "Error - CreateWindow: Programm konnte nicht gestartet werden!\n");
}

TEST(SdlAudio, TheDummyDriverGivesAWorkingDevice) {
    ASSERT_STREQ(std::getenv("SDL_AUDIODRIVER"), "dummy");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    std::atomic<int> callbacks{0};
    want.userdata = &callbacks;
    want.callback = [](void* user, Uint8* stream, int len) {
        SDL_memset(stream, 0, static_cast<std::size_t>(len));
        ++*static_cast<std::atomic<int>*>(user);
    };
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    ASSERT_NE(dev, 0u) << SDL_GetError();
    SDL_PauseAudioDevice(dev, 0);
    const auto end = Clock::now() + std::chrono::seconds(5);
    while (callbacks < 2 && Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_GE(callbacks.load(), 2);  // the device really asks for samples
    SDL_CloseAudioDevice(dev);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

TEST(SdlSystem, ClockCalendarAndUserName) {
    const std::uint32_t a = platform::tick_count();
    platform::idle_step(30);  // sleeps until the tick count is 30 further
    const std::uint32_t b = platform::tick_count();
    EXPECT_GE(b - a, 30u);
    EXPECT_LT(b - a, 500u);

    const platform::SystemTime local = platform::local_time();
    const platform::SystemTime utc = platform::utc_time();
    EXPECT_GE(utc.year, 2024);
    EXPECT_GE(local.month, 1);
    EXPECT_LE(local.month, 12);
    EXPECT_LE(local.hour, 23);
    EXPECT_LE(utc.day_of_week, 6);

    char name[257];
    std::memset(name, '#', sizeof name);
    ASSERT_TRUE(platform::user_name(name, sizeof name));
    const std::size_t len = std::strlen(name);
    EXPECT_GT(len, 0u);
    // Too small a buffer: refused, the buffer untouched.
    char small[257];
    std::memset(small, '#', sizeof small);
    EXPECT_FALSE(platform::user_name(small, static_cast<std::uint32_t>(len)));
    EXPECT_EQ(small[0], '#');
    EXPECT_TRUE(platform::user_name(small, static_cast<std::uint32_t>(len + 1)));
    EXPECT_STREQ(small, name);
    EXPECT_FALSE(platform::fault_due(platform::Fault::SurfaceCreate));
}

}  // namespace
