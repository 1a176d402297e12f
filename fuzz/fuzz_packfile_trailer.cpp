// PackFile_oeffnen on any file: the trailer is read and its tag and key
// compared without reading past the directory, whatever the bytes are.
#include <cstring>

#include "fuzz_support.h"
#include "pack/packfile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzz::write_scratch(data, size)) {
        return 0;
    }
    Verzeichnis v;
    std::memset(v.bytes, 0xEE, sizeof v.bytes);
    const int ohne = PackFile_oeffnen(fuzz::scratch_path().c_str(), &v, nullptr);
    fuzz::require(ohne == 0 || ohne == 2, "result without a key is 0 or 2");
    if (size < sizeof v.bytes) {
        for (std::uint8_t b : v.bytes) {
            fuzz::require(b == 0, "a short file leaves the directory zero");
        }
        fuzz::require(ohne == 2, "a short file has no tag");
    } else {
        fuzz::require(std::memcmp(v.bytes, data + size - sizeof v.bytes, sizeof v.bytes) == 0,
                      "the directory is the file's last 564 bytes");
    }
    if (ohne == 0) {
        fuzz::require(std::memcmp(v.bytes + Archiv::Tag_Offset, "PackFile-1.2", 13) == 0,
                      "accepted only with the exact tag");
    }
    const int mit = PackFile_oeffnen(fuzz::scratch_path().c_str(), &v, "QK7RM2D9TXB4HP1Z");
    fuzz::require(ohne == 2 ? mit == 2 : (mit == 0 || mit == 3), "the tag is checked first");
    if (mit == 0) {
        fuzz::require(std::memcmp(v.bytes + Archiv::Key_Offset, "QK7RM2D9TXB4HP1Z", 17) == 0,
                      "accepted only with the exact key");
    }
    platform::headless::clear_boxes();
    return 0;
}
