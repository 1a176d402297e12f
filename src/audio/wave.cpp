// Sound entries of a PackFile archive: a RIFF WAVE file at the entry's offset,
// read with our own chunk search (any chunk order), into a static sound
// buffer.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/audio.h"
#include "audio/mmio.h"
#include "core/bytes.h"
#include "core/core.h"
#include "platform/faults.h"

namespace {

constexpr std::size_t kFormatBytes = 18;  // WAVEFORMATEX as stored

// A sample block is refused (as if the allocation had failed) when its chunk
// declares more than 16 MiB: that is minutes of the richest format a sound
// buffer plays (16-bit stereo at 48 kHz is 192000 bytes a second), where the
// game's effects last seconds, and it bounds what 22 effects can take once
// converted to the mixer's format. It is also refused when it declares more
// than 1 MiB beyond the bytes that follow it in the file: a little more is a
// cut-off file whose end is played as silence, much more is a damaged size.
constexpr std::uint32_t kMaxDatenBytes = 16u << 20;
constexpr std::int64_t kDatenUeberhang = 1 << 20;

bool kennung_gleich(const std::uint8_t* p, const char* kennung) {
    return std::memcmp(p, kennung, 4) == 0;
}

// A chunk found by the search: its size as declared and where its data begins.
struct Chunk {
    std::uint32_t groesse = 0;
    std::int64_t daten = 0;
};

// The RIFF form "WAVE" that begins exactly at offset: true with the end of
// its chunks (its declared end, but not beyond the file). An offset that does
// not point at one is not searched further, so a broken entry is reported
// instead of some later entry being taken for it.
bool riff_betreten(MmioDatei* d, std::int32_t offset, std::int64_t* ende) {
    if (d == nullptr || !d->datei || offset < 0 || !d->datei->seek(offset)) {
        return false;
    }
    std::uint8_t kopf[12];
    if (d->datei->read(kopf, sizeof kopf) != static_cast<std::int64_t>(sizeof kopf)) {
        return false;
    }
    if (!kennung_gleich(kopf, "RIFF") || !kennung_gleich(kopf + 8, "WAVE")) {
        return false;
    }
    const std::int64_t deklariert = static_cast<std::int64_t>(offset) + 8 + le::u32(kopf + 4);
    *ende = std::min(deklariert, d->datei->size());
    return true;
}

// Searches the chunk with the given id among the form's chunks, from the
// first to the form's end, and leaves the file positioned at its data. Every
// step moves on by at least the 8-byte chunk header (odd sizes are padded to
// even, as RIFF stores them), so the search always ends.
bool chunk_suchen(MmioDatei* d, std::int32_t offset, std::int64_t ende, const char* kennung,
                  Chunk* chunk) {
    std::int64_t pos = static_cast<std::int64_t>(offset) + 12;
    while (pos + 8 <= ende) {
        std::uint8_t kopf[8];
        if (!d->datei->seek(pos) ||
            d->datei->read(kopf, sizeof kopf) != static_cast<std::int64_t>(sizeof kopf)) {
            return false;
        }
        const std::uint32_t groesse = le::u32(kopf + 4);
        if (kennung_gleich(kopf, kennung)) {
            chunk->groesse = groesse;
            chunk->daten = pos + 8;
            return true;
        }
        pos += 8 + static_cast<std::int64_t>(groesse) + (groesse & 1u);
    }
    return false;
}

}  // namespace

bool DSound_WaveFormat(MmioDatei* datei, platform::WaveFormat* format, std::int32_t offset) {
    std::int64_t ende = 0;
    if (!riff_betreten(datei, offset, &ende)) {
        Fehler_melden("DSound_WaveFormat: mmioDescend(RIFF)");
        return false;
    }
    Chunk chunk;
    if (!chunk_suchen(datei, offset, ende, "fmt ", &chunk)) {
        Fehler_melden("DSound_WaveFormat: mmioDescend(CHUNK)");
        return false;
    }
    // Exactly 18 bytes whatever the chunk's size; bytes that a read ending at
    // the end of the file does not deliver keep the record's earlier value.
    std::uint8_t b[kFormatBytes];
    const platform::WaveFormat& f = *format;
    const std::uint16_t vorher[] = {f.format_tag,
                                    f.channels,
                                    static_cast<std::uint16_t>(f.samples_per_sec),
                                    static_cast<std::uint16_t>(f.samples_per_sec >> 16),
                                    static_cast<std::uint16_t>(f.avg_bytes_per_sec),
                                    static_cast<std::uint16_t>(f.avg_bytes_per_sec >> 16),
                                    f.block_align,
                                    f.bits_per_sample,
                                    f.extra_size};
    for (std::size_t i = 0; i < 9; ++i) {
        b[2 * i] = static_cast<std::uint8_t>(vorher[i]);
        b[2 * i + 1] = static_cast<std::uint8_t>(vorher[i] >> 8);
    }
    if (datei->datei->read(b, sizeof b) == -1) {
        Fehler_melden("DSound_WaveFormat: mmioRead(WAVEFORMATEX)");
        return false;
    }
    format->format_tag = le::u16(b);
    format->channels = le::u16(b + 2);
    format->samples_per_sec = le::u32(b + 4);
    format->avg_bytes_per_sec = le::u32(b + 8);
    format->block_align = le::u16(b + 12);
    format->bits_per_sample = le::u16(b + 14);
    format->extra_size = le::u16(b + 16);
    return true;
}

bool DSound_WaveDaten(MmioDatei* datei, std::uint32_t* anzahl, std::uint8_t** block,
                      std::int32_t offset) {
    std::int64_t ende = 0;
    if (!riff_betreten(datei, offset, &ende)) {
        Fehler_melden("DSound_WaveDaten: mmioDescend(RIFF)");
        return false;
    }
    Chunk chunk;
    if (!chunk_suchen(datei, offset, ende, "data", &chunk)) {
        Fehler_melden("DSound_WaveDaten: mmioDescend(CHUNK)");
        return false;
    }
    *anzahl = chunk.groesse;
    const std::int64_t rest = std::max<std::int64_t>(0, datei->datei->size() - chunk.daten);
    std::uint8_t* p = nullptr;
    if (chunk.groesse <= kMaxDatenBytes && chunk.groesse <= rest + kDatenUeberhang &&
        !platform::fault_due(platform::Fault::Allocation)) {
        // Zero-filled, so that whatever a short read leaves out is silence.
        p = static_cast<std::uint8_t*>(std::calloc(std::max<std::uint32_t>(chunk.groesse, 1), 1));
    }
    *block = p;
    if (p == nullptr) {
        Fehler_melden("DSound_WaveDaten: malloc()");
        return false;
    }
    if (datei->datei->read(p, chunk.groesse) == -1) {
        Fehler_melden("DSound_WaveDaten: mmioRead(DATA)");
        return false;
    }
    return true;
}

int PackFile_Sound_laden(const char* name, const Verzeichnis* verzeichnis, int nummer,
                         platform::SoundBuffer** puffer) {
    if (nummer < 0 || nummer >= Klang::Anzahl || verzeichnis == nullptr ||
        Verzeichnis_Marker(*verzeichnis, nummer) != Archiv::Marker_Sound) {
        Fehler_melden("PackFile_Sound_laden: Ung\xFCltiger WAV-Sektor ausgew\xE4hlt!");
        return 1;
    }
    MmioDatei datei{platform::File::open(name, platform::File::Mode::Read)};
    if (!datei.datei) {
        Fehler_melden("PackFile_Sound_laden: mmioOpen()");
        return 2;
    }
    const std::int32_t offset = Verzeichnis_Offset(*verzeichnis, nummer);
    platform::WaveFormat format{};
    if (!DSound_WaveFormat(&datei, &format, offset)) {
        Fehler_melden("PackFile_Sound_laden: DSound_WaveFormat()");
        return 3;
    }
    std::uint32_t anzahl = 0;
    std::uint8_t* block = nullptr;
    if (!DSound_WaveDaten(&datei, &anzahl, &block, offset)) {
        std::free(block);
        Fehler_melden("PackFile_Sound_laden: DSound_WaveDaten()");
        return 4;
    }
    datei.datei.reset();

    platform::SoundBuffer* neu = platform::sound_buffer_create(lpDS, format, anzahl);
    if (puffer != nullptr) {
        *puffer = neu;
    }
    if (neu == nullptr || puffer == nullptr) {
        platform::sound_buffer_release(puffer == nullptr ? neu : nullptr);
        std::free(block);
        Fehler_melden("PackFile_Sound_laden: CreateSoundBuffer()");
        return 5;
    }
    // A buffer that cannot be filled stays in the reference: DSound_beenden
    // releases it with the others.
    void* bereich = nullptr;
    std::uint32_t laenge = 0;
    if (!platform::sound_buffer_lock(neu, &bereich, &laenge)) {
        std::free(block);
        Fehler_melden("PackFile_Sound_laden: Lock()");
        return 6;
    }
    std::memcpy(bereich, block, std::min(laenge, anzahl));
    std::free(block);
    if (!platform::sound_buffer_unlock(neu, bereich, laenge)) {
        Fehler_melden("PackFile_Sound_laden: Unlock()");
        return 7;
    }
    return 0;
}
