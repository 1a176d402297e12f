// The packfile tool's reading of any archive: the trailer, every entry's BMP
// or WAV headers, and the lengths that extraction cuts out, which must stay
// within the entry's room.
#include <cstring>
#include <vector>

#include "archive.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> archive(data, data + size);
    packfile::ArchiveReport report;
    std::string error;
    if (!packfile::inspect_archive(archive, report, error)) {
        fuzz::require(!error.empty(), "a refusal says why");
        return 0;
    }
    const std::size_t data_end = size - Archiv::Trailergroesse;
    for (const packfile::EntryReport& e : report.entries) {
        if (!e.readable) {
            fuzz::require(!e.problem.empty(), "an unreadable entry says why");
            continue;
        }
        const std::size_t length = e.kind == packfile::Kind::Picture ? e.bmp.length : e.wav.length;
        fuzz::require(e.offset >= 0 && length <= e.limit &&
                          static_cast<std::size_t>(e.offset) + e.limit <= data_end,
                      "an entry lies within the data");
        if (e.kind == packfile::Kind::Picture) {
            fuzz::require(e.bmp.width > 0 && e.bmp.height > 0 && e.bmp.width % 4 == 0 &&
                              packfile::kBmpPixelOffset +
                                      static_cast<std::size_t>(e.bmp.width) * e.bmp.height <=
                                  length,
                          "a readable picture has all its pixels");
        }
    }
    // What the tool reads back, it can write again.
    std::vector<packfile::Entry> entries;
    for (const packfile::EntryReport& e : report.entries) {
        if (e.readable) {
            const std::size_t length =
                e.kind == packfile::Kind::Picture ? e.bmp.length : e.wav.length;
            packfile::Entry out;
            out.marker = e.marker;
            out.bytes.assign(data + e.offset, data + e.offset + length);
            entries.push_back(std::move(out));
        }
    }
    std::vector<std::uint8_t> rebuilt;
    fuzz::require(packfile::build_archive(entries, "QK7RM2D9TXB4HP1Z", rebuilt, error),
                  "readable entries can be rebuilt");
    packfile::ArchiveReport again;
    fuzz::require(packfile::inspect_archive(rebuilt, again, error), "a rebuilt archive reads");
    fuzz::require(again.entries.size() == entries.size(), "every rebuilt entry is there");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        fuzz::require(again.entries[i].readable, "every rebuilt entry reads");
    }
    return 0;
}
