// Recording a session of the real game and checking a recording before it is
// replayed: what the file's header says about the game that made it.
#pragma once

#include <string>

#include "platform/journal.h"

// The header of a recording made now: this build's version, the screen's
// depth, the data files' stamps and the player's Score.dat as it is.
platform::journal::Header Aufnahme_kopf(bool vollbild);

// Whether a recording's header fits this build and the data files of the
// working folder; else false with the reason.
bool Aufnahme_passt(const platform::journal::Header& kopf, std::string& grund);

// Puts the files the recording found at its start (Score.dat) into the
// working folder, or removes them where the recording found none.
bool Aufnahme_dateien_anlegen(const platform::journal::Header& kopf, std::string& grund);

// The real game, recorded into datei with its trace beside it (datei +
// ".trace"); with a schnappschuss path the frame shown last is written there
// as a PNG at the end (the trace names it schnappschuss_name). The exit code
// of the game.
int Aufgenommen_spielen(const std::string& datei, const std::string& schnappschuss,
                        const std::string& schnappschuss_name);
