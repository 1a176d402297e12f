// Static storage on Linux: between the two symbols the linker puts around
// the program's initialised and zeroed data.
#include "platform/memory.h"

#include <cstdint>

extern "C" char __data_start[];
extern "C" char _end[];

namespace platform {

bool in_static_storage(const void* address) {
    const auto a = reinterpret_cast<std::uintptr_t>(address);
    return a >= reinterpret_cast<std::uintptr_t>(__data_start) &&
           a < reinterpret_cast<std::uintptr_t>(_end);
}

}  // namespace platform
