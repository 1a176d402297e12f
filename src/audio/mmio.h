// The open archive that the RIFF readers work on: the stand-in for the
// multimedia file handle (HMMIO) of the sound loader.
#pragma once

#include <memory>

#include "platform/file.h"

struct MmioDatei {
    std::unique_ptr<platform::File> datei;
};
