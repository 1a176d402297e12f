// The SDL backend's window, renderer and cursor, for the backend's own files
// and for the tests that check them on a real X server.
#pragma once

#include <SDL.h>

#include <array>

namespace platform::sdl {

// The crosshair the player aims with: 32 x 32, 'X' black, 'o' white,
// '.' transparent; the hot spot is the centre of the cross.
constexpr int kCursorSize = 32;
constexpr int kCursorHotX = 15;
constexpr int kCursorHotY = 16;
extern const std::array<const char*, kCursorSize> kCrosshair;

// Null until window_open, and again after window_close.
SDL_Window* window();
SDL_Renderer* renderer();
// The texture every flip uploads the back buffer to.
SDL_Texture* frame_texture();
bool fullscreen();
// Switches between the fullscreen-desktop window and an ordinary window.
void toggle_fullscreen();

}  // namespace platform::sdl
