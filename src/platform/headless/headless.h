// Control of the headless backend: the virtual clock, failure injection, and
// what the game showed (frames, message boxes, beeps). Used by the tests and
// by the scripted runner; the real game never links this backend.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/faults.h"
#include "platform/observer.h"
#include "platform/surface.h"

namespace platform::headless {

// Back to a fresh state: clock at start_tick, nothing armed or recorded.
void reset(std::uint32_t start_tick = 1000000);

std::uint32_t now();
void set_now(std::uint32_t tick);
void advance(std::uint32_t ms);
// How far each presented frame advances the virtual clock (default 16 ms).
void set_frame_ms(std::uint32_t ms);
void set_local_hour(int hour);
// The login name the platform reports (default "player"); any length, and
// empty for a user without one.
void set_user_name(const std::string& name);

// Arms a failure of an operation: after `skip` successful calls, the next
// `count` calls fail.
void arm_fault(Fault f, int skip = 0, int count = 1);
void clear_faults();

using Box = platform::BoxShown;
const std::vector<Box>& boxes();
void clear_boxes();
int beep_count();

// The frame presented last, or null before the first flip.
const Surface* last_frame();
// Whether a flip keeps a copy of the frame for last_frame() (the default); a
// benchmark of the drawing turns it off, so that a flip costs nothing.
void set_keep_frames(bool keep);
std::uint64_t frames_presented();

// The platform's observer (observer.h), named here for the tests and the
// runner that grew up with it.
using Observer = platform::Observer;
void set_observer(Observer* observer);
Observer* observer();

// Everything the mixer produces from now on is also written to a WAV file
// (16-bit stereo at the mixer's rate), finished by audio_capture_end.
bool audio_capture_begin(const std::string& path);
void audio_capture_end();

}  // namespace platform::headless
