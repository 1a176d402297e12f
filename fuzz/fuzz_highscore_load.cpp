// Highscore_laden on any file: the result follows the size, time and tag
// checks in their order, a loaded list is the file's entries sorted stably
// with every name ending within its field, and a rejected file gives a fresh
// list. Writing is made to fail so that no Score.dat is left in the folder
// the fuzzer runs in.
#include <algorithm>
#include <cstring>
#include <vector>

#include "app/spiel.h"
#include "core/bytes.h"
#include "fuzz_support.h"
#include "score/score.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzz::write_scratch(data, size)) {
        return 0;
    }
    namespace headless = platform::headless;
    headless::clear_boxes();
    headless::arm_fault(platform::Fault::FileOpen, 1, 1);  // the fresh list's write
    std::memset(Highscoreliste, 0x5A, sizeof Highscoreliste);
    const int ergebnis = Highscore_laden(fuzz::scratch_path().c_str());
    headless::clear_faults();

    int erwartet = 0;
    if (size != 288) {
        erwartet = 2;
    } else if (le::u16(data + 42) > 60 || le::u16(data + 44) > 60) {
        erwartet = 3;
    } else if (std::strncmp(reinterpret_cast<const char*>(data), "Bramblecourt 1014", 18) != 0) {
        erwartet = 4;
    }
    fuzz::require(ergebnis == erwartet, "the checks in order: size, time, tag");

    for (int k = 0; k < 10; ++k) {
        fuzz::require(Highscoreliste[k].Name[19] == '\0', "every name ends within its field");
        fuzz::require(k == 0 || Highscoreliste[k - 1].Punkte >= Highscoreliste[k].Punkte,
                      "sorted best first");
    }
    fuzz::require(Highscore == Highscoreliste[0].Punkte, "Highscore is the best entry");
    if (ergebnis == 0) {
        std::vector<Highscore_Eintrag> datei(10);
        for (int k = 0; k < 10; ++k) {
            const std::uint8_t* e = data + 48 + 24 * k;
            datei[static_cast<std::size_t>(k)].Punkte = le::i32(e);
            std::memcpy(datei[static_cast<std::size_t>(k)].Name, e + 4, 19);
            datei[static_cast<std::size_t>(k)].Name[19] = '\0';
        }
        std::stable_sort(datei.begin(), datei.end(),
                         [](const Highscore_Eintrag& a, const Highscore_Eintrag& b) {
                             return a.Punkte > b.Punkte;
                         });
        fuzz::require(std::memcmp(datei.data(), Highscoreliste, sizeof Highscoreliste) == 0,
                      "the file's entries, sorted stably");
        fuzz::require(headless::boxes().empty(), "a valid file gives no message");
    } else {
        for (const Highscore_Eintrag& e : Highscoreliste) {
            fuzz::require(std::strcmp(e.Name, "F.Harbeck") == 0 && e.Punkte >= 1600 &&
                              e.Punkte <= 2190 && e.Punkte % 10 == 0,
                          "a rejected file gives a fresh list");
        }
        // The failed write's message, then the loader's.
        fuzz::require(headless::boxes().size() == 2, "two messages for a rejected file");
    }
    return 0;
}
