// PackFile_Sound_laden on an archive whose one entry is the fuzzer's input:
// the RIFF chunk search, the format and data readers, the buffer creation
// with its conversion, and a few milliseconds of mixing what loaded.
#include <cstdint>
#include <cstring>
#include <vector>

#include "audio/audio.h"
#include "fuzz_support.h"
#include "pack/packfile.h"
#include "platform/headless/audio.h"
#include "platform/headless/headless.h"
#include "platform/sound.h"

namespace {

void put32(std::uint8_t* p, std::int32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
    }
}

}  // namespace

// The archive goes into the scratch file (in memory where the system offers
// it, removed at the end), and the messages of refused entries are not
// echoed: most inputs give one.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (lpDS == nullptr) {
        lpDS = platform::sound_device_create();
    }
    // The entry at offset 0, then the directory: marker 1000, the tag.
    std::vector<std::uint8_t> archive(data, data + size);
    std::uint8_t trailer[Archiv::Trailergroesse] = {};
    put32(trailer, Archiv::Marker_Sound);
    put32(trailer + Archiv::Offsettabelle, 0);
    std::memcpy(trailer + Archiv::Tag_Offset, "PackFile-1.2", 13);
    std::memcpy(trailer + Archiv::Key_Offset, "N2HV8C6WLA9E5JR3", 17);
    archive.insert(archive.end(), trailer, trailer + sizeof trailer);
    if (!fuzz::write_scratch(archive.data(), archive.size())) {
        return 0;
    }

    Verzeichnis v{};
    std::memcpy(v.bytes, trailer, sizeof trailer);
    platform::SoundBuffer* puffer = nullptr;
    if (PackFile_Sound_laden(fuzz::scratch_path().c_str(), &v, 0, &puffer) == 0) {
        DSound_abspielen(puffer, -3000, 10000);
        platform::headless::advance(5);
        platform::sound_buffer_status(puffer);
    }
    platform::sound_buffer_release(puffer);
    platform::headless::clear_boxes();
    return 0;
}
