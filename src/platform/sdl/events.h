// Turning SDL input events into the window messages the game's window
// procedure is written against, with the values Windows would deliver:
// virtual-key codes, Windows-1252 characters (also the ones TranslateMessage
// makes of Enter, Backspace, Tab and Esc), and mouse positions in game pixels.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/window.h"

namespace platform::sdl {

// The Windows virtual-key code of an SDL key, 0 for keys without one.
std::uint32_t virtual_key(SDL_Keycode key);

// What a translated event asks of the backend itself rather than of the game.
enum class Request { None, ToggleFullscreen };

// Translates one event at a time. It remembers the last mouse position it
// reported, so that a click elsewhere is preceded by the move Windows would
// have sent, and whether a window close was just reported, so that the quit
// which follows it does not close twice.
class EventTranslator {
   public:
    // Frame size the mouse coordinates are clamped into (the renderer's
    // logical size has already turned them into game pixels).
    EventTranslator(int width = 1024, int height = 768) : width_(width), height_(height) {}

    // Appends the messages for ev to out (window left null: the platform
    // fills in the game window when it posts them).
    Request translate(const SDL_Event& ev, std::vector<Message>& out);

   private:
    void mouse_move(int x, int y, std::uint32_t buttons, std::vector<Message>& out);
    LPARAM position(int x, int y) const;

    int width_;
    int height_;
    int last_x_ = -1;
    int last_y_ = -1;
    bool after_window_close_ = false;
};

}  // namespace platform::sdl
