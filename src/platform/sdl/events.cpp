#include "platform/sdl/events.h"

#include <algorithm>
#include <string>

#include "platform/cp1252.h"

namespace platform::sdl {

namespace {

constexpr std::uint32_t kMkLButton = 0x01;
constexpr std::uint32_t kMkRButton = 0x02;
constexpr std::uint32_t kMkMButton = 0x10;

// lParam of WM_KEYDOWN and WM_CHAR: repeat count 1, and bit 30 set when the
// key was already down (an auto-repeat).
LPARAM key_lparam(bool repeat) {
    return static_cast<LPARAM>(1 | (repeat ? (1u << 30) : 0u));
}

std::uint32_t mouse_buttons(std::uint32_t sdl_state) {
    std::uint32_t mk = 0;
    if ((sdl_state & SDL_BUTTON_LMASK) != 0) {
        mk |= kMkLButton;
    }
    if ((sdl_state & SDL_BUTTON_RMASK) != 0) {
        mk |= kMkRButton;
    }
    if ((sdl_state & SDL_BUTTON_MMASK) != 0) {
        mk |= kMkMButton;
    }
    return mk;
}

Message message(std::uint32_t msg, WPARAM wparam, LPARAM lparam) {
    return Message{nullptr, msg, wparam, lparam};
}

// The character TranslateMessage makes of a key that produces no text of its
// own: Enter, Backspace, Tab, Esc, and Ctrl with a letter (the control codes
// 1 to 26). 0 when the key gives none or its text arrives as text input.
int control_character(SDL_Keycode key, std::uint16_t mod) {
    switch (key) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return 13;
        case SDLK_BACKSPACE:
            return 8;
        case SDLK_TAB:
            return 9;
        case SDLK_ESCAPE:
            return 27;
        default:
            break;
    }
    const bool ctrl = (mod & KMOD_CTRL) != 0;
    const bool alt = (mod & (KMOD_ALT | KMOD_MODE)) != 0;
    if (ctrl && !alt && key >= SDLK_a && key <= SDLK_z) {
        return static_cast<int>(key - SDLK_a) + 1;
    }
    return 0;
}

}  // namespace

std::uint32_t virtual_key(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<std::uint32_t>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<std::uint32_t>(key);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return 0x70 + static_cast<std::uint32_t>(key - SDLK_F1);
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return 0x61 + static_cast<std::uint32_t>(key - SDLK_KP_1);
    }
    switch (key) {
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return 0x10;  // VK_SHIFT
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return 0x11;  // VK_CONTROL
        case SDLK_LALT:
        case SDLK_RALT:
            return 0x12;  // VK_MENU
        case SDLK_PAUSE:
            return 0x13;
        case SDLK_CAPSLOCK:
            return 0x14;
        case SDLK_PAGEUP:
            return 0x21;
        case SDLK_PAGEDOWN:
            return 0x22;
        case SDLK_END:
            return 0x23;
        case SDLK_HOME:
            return 0x24;
        case SDLK_PRINTSCREEN:
            return 0x2C;
        case SDLK_INSERT:
            return 0x2D;
        case SDLK_DELETE:
            return 0x2E;
        case SDLK_LGUI:
            return 0x5B;
        case SDLK_RGUI:
            return 0x5C;
        case SDLK_APPLICATION:
            return 0x5D;
        case SDLK_KP_0:
            return 0x60;
        case SDLK_KP_MULTIPLY:
            return 0x6A;
        case SDLK_KP_PLUS:
            return 0x6B;
        case SDLK_KP_MINUS:
            return 0x6D;
        case SDLK_KP_PERIOD:
            return 0x6E;
        case SDLK_KP_DIVIDE:
            return 0x6F;
        case SDLK_NUMLOCKCLEAR:
            return 0x90;
        case SDLK_SCROLLLOCK:
            return 0x91;
        case SDLK_SEMICOLON:
            return 0xBA;  // the VK_OEM_* keys of a US layout
        case SDLK_EQUALS:
            return 0xBB;
        case SDLK_COMMA:
            return 0xBC;
        case SDLK_MINUS:
            return 0xBD;
        case SDLK_PERIOD:
            return 0xBE;
        case SDLK_SLASH:
            return 0xBF;
        case SDLK_BACKQUOTE:
            return 0xC0;
        case SDLK_LEFTBRACKET:
            return 0xDB;
        case SDLK_BACKSLASH:
            return 0xDC;
        case SDLK_RIGHTBRACKET:
            return 0xDD;
        case SDLK_QUOTE:
            return 0xDE;
        default:
            return 0;
    }
}

LPARAM EventTranslator::position(int x, int y) const {
    const int cx = std::clamp(x, 0, width_ - 1);
    const int cy = std::clamp(y, 0, height_ - 1);
    return MAKELPARAM(static_cast<std::uint16_t>(cx), static_cast<std::uint16_t>(cy));
}

void EventTranslator::mouse_move(int x, int y, std::uint32_t buttons, std::vector<Message>& out) {
    const LPARAM lp = position(x, y);
    out.push_back(message(WM_MOUSEMOVE, buttons, lp));
    last_x_ = LOWORD(static_cast<std::uintptr_t>(lp));
    last_y_ = HIWORD(static_cast<std::uintptr_t>(lp));
}

Request EventTranslator::translate(const SDL_Event& ev, std::vector<Message>& out) {
    // Only window events may come between a window's close and its quit.
    const bool was_after_close = after_window_close_;
    if (ev.type != SDL_WINDOWEVENT) {
        after_window_close_ = false;
    }
    switch (ev.type) {
        case SDL_KEYDOWN: {
            const SDL_Keycode key = ev.key.keysym.sym;
            const std::uint16_t mod = ev.key.keysym.mod;
            const bool alt = (mod & KMOD_ALT) != 0;
            if (alt && (key == SDLK_RETURN || key == SDLK_KP_ENTER)) {
                // The window/fullscreen switch; the game never sees this Enter.
                return ev.key.repeat != 0 ? Request::None : Request::ToggleFullscreen;
            }
            if (alt && key == SDLK_F4) {
                // As on Windows, Alt+F4 closes the window.
                if (ev.key.repeat == 0) {
                    out.push_back(message(WM_CLOSE, 0, 0));
                }
                return Request::None;
            }
            const std::uint32_t vk = virtual_key(key);
            const bool repeat = ev.key.repeat != 0;
            if (vk != 0) {
                out.push_back(message(WM_KEYDOWN, vk, key_lparam(repeat)));
            }
            const int ch = control_character(key, mod);
            if (ch != 0) {
                out.push_back(message(WM_CHAR, static_cast<WPARAM>(ch), key_lparam(repeat)));
            }
            return Request::None;
        }
        case SDL_TEXTINPUT: {
            const std::string bytes = utf8_to_cp1252(ev.text.text);
            for (char c : bytes) {
                const auto b = static_cast<unsigned char>(c);
                if (b >= 0x20 && b != 0x7F) {  // control codes come from the keys
                    out.push_back(message(WM_CHAR, b, key_lparam(false)));
                }
            }
            return Request::None;
        }
        case SDL_MOUSEMOTION:
            mouse_move(ev.motion.x, ev.motion.y, mouse_buttons(ev.motion.state), out);
            return Request::None;
        case SDL_MOUSEBUTTONDOWN: {
            std::uint32_t msg = 0;
            std::uint32_t mk = 0;
            if (ev.button.button == SDL_BUTTON_LEFT) {
                msg = WM_LBUTTONDOWN;
                mk = kMkLButton;
            } else if (ev.button.button == SDL_BUTTON_RIGHT) {
                msg = WM_RBUTTONDOWN;
                mk = kMkRButton;
            } else {
                return Request::None;
            }
            const LPARAM lp = position(ev.button.x, ev.button.y);
            // Windows reports a pointer's arrival before a click there; SDL may
            // not have (the window appeared under a resting pointer).
            if (LOWORD(static_cast<std::uintptr_t>(lp)) != last_x_ ||
                HIWORD(static_cast<std::uintptr_t>(lp)) != last_y_) {
                mouse_move(ev.button.x, ev.button.y, 0, out);
            }
            out.push_back(message(msg, mk, lp));
            return Request::None;
        }
        case SDL_WINDOWEVENT:
            if (ev.window.event == SDL_WINDOWEVENT_CLOSE) {
                out.push_back(message(WM_CLOSE, 0, 0));
                after_window_close_ = true;
            }
            return Request::None;
        case SDL_QUIT:
            // Closing the last window is followed by a quit: one close is enough.
            // A quit of its own (a signal, the session ending) closes too.
            if (!was_after_close) {
                out.push_back(message(WM_CLOSE, 0, 0));
            }
            return Request::None;
        default:
            return Request::None;
    }
}

}  // namespace platform::sdl
