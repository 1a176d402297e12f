#include "app/spiel.h"
#include "platform/window.h"

void Fehler_melden(const char* text) {
    platform::message_box(Hauptfenster, text, "Error...", MB_OK | MB_ICONERROR);
}
