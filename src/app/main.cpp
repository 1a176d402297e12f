// The real game's entry point; the game runs on the SDL backend.
#include "app/spiel.h"

int main() {
    return Hauptprogramm();
}
