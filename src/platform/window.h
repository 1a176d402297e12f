// The one game window and its message queue: the stand-in for the Windows
// window class, PeekMessage/DispatchMessage, PostMessage and MessageBox.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

namespace platform {

using WindowProc = LRESULT (*)(HWND, std::uint32_t, WPARAM, LPARAM);

struct Message {
    HWND window = nullptr;
    std::uint32_t msg = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
};

// RegisterClass: starts the video side of the platform and names the class
// of the game's window (what the window system reports as its class, X11's
// WM_CLASS). False when the platform has no video to give.
bool window_class_register(const char* class_name);
// Creates the game window with its caption and window procedure, shows it and
// installs the crosshair cursor. Registers a default class first when none was
// registered. Null on failure.
HWND window_create(const char* caption, WindowProc proc);
void window_destroy(HWND window);
// Whether window_create makes a full-screen window (the default) or an
// ordinary one of the frame's size. The player switches later with
// Alt+Enter.
void window_start_fullscreen(bool on);
bool window_starts_fullscreen();

// PeekMessage with PM_REMOVE: takes the next pending message, after turning
// the platform's input events into window messages (keys also produce the
// WM_CHAR that TranslateMessage would). False when the queue is empty.
bool peek_message(Message& out);
// DispatchMessage: hands the message to its window's procedure.
LRESULT dispatch_message(const Message& m);
// PostMessage: appends a message to the queue.
void post_message(HWND window, std::uint32_t msg, WPARAM wparam, LPARAM lparam);
// DefWindowProc for everything the game does not handle.
LRESULT default_window_proc(HWND window, std::uint32_t msg, WPARAM wparam, LPARAM lparam);

// MessageBoxA: caption and text are Windows-1252 bytes. Blocks until closed
// where there is a display; also writes the line to stderr unless that echo
// is turned off.
int message_box(HWND owner, const char* text, const char* caption, std::uint32_t type);
// Whether message_box writes its line to stderr: on by default; the fuzz
// targets turn it off (they show a box for nearly every input).
void message_box_echo(bool on);
// MessageBeep(0): a short beep through the sound output.
void message_beep(std::uint32_t type);

}  // namespace platform
