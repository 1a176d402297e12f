// What each backend (sdl/ or headless/) provides to the shared platform code.
// The backend is chosen at link time; exactly one of them is linked.
#pragma once

#include <cstdint>
#include <string>

#include "platform/surface.h"
#include "platform/win32.h"

namespace platform::backend {

// Opens the presentation target for a width x height frame of the given depth.
bool display_open(int width, int height, int bits_per_pixel);
// Shows a complete frame (the back buffer).
void display_present(const Surface& frame);
void display_close();

}  // namespace platform::backend

namespace platform::backend {

// Starts the video subsystem with the window class name the window system
// will report. False when there is no video.
bool video_start(const char* class_name);
// The game window (one at most). caption is UTF-8.
bool window_open(const char* caption);
void window_close();
// Turns pending input events into window messages (platform::post_message).
void pump_events();
// A blocking message box where there is a display. caption and text are the
// game's Windows-1252 bytes; utf8_* the same converted.
void show_message_box(const char* caption, const char* text, const std::string& utf8_caption,
                      const std::string& utf8_text, std::uint32_t type);

}  // namespace platform::backend
