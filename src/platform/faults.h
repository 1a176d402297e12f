// Failure injection for the platform's fallible operations. The real backend
// never fails on purpose; the headless backend lets tests arm a failure of any
// operation so that every error path of the game can be exercised.
#pragma once

namespace platform {

enum class Fault : int {
    WindowClass,       // RegisterClass: the video subsystem
    WindowCreate,      // CreateWindow
    DisplayCreate,     // DirectDrawCreateEx
    CooperativeLevel,  // display cooperative level
    DisplayMode,       // SetDisplayMode
    PrimaryCreate,     // primary surface with its back buffer
    BackBufferAttach,  // GetAttachedSurface
    ClipperCreate,
    ClipListSet,
    ClipperAttach,
    SurfaceCreate,  // offscreen surface
    ColorKeySet,
    ColorFill,
    SurfaceLock,
    SurfaceLost,  // the next flip finds the primary surface lost
    Restore,
    Allocation,  // a routine's own temporary buffer
    FileOpen,
    FileRead,
    FileWrite,
    SoundDeviceCreate,
    SoundCooperativeLevel,
    SoundBufferCreate,
    SoundBufferLock,
    SoundBufferUnlock,
    Count
};

// True when an armed failure of this kind is due now; consumes it.
bool fault_due(Fault f);

}  // namespace platform
