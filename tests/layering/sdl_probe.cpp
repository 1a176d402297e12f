// Must not compile with the game's own flags: only the platform layer sees
// the third-party libraries' headers.
#include <SDL.h>

int layering_probe() {
    return SDL_INIT_VIDEO;
}
