// Static storage in WebAssembly: the linker puts the program's data first in
// the memory, below __data_end; the stack and the heap follow it.
#include "platform/memory.h"

#include <cstdint>

extern "C" char __data_end[];

namespace platform {

bool in_static_storage(const void* address) {
    const auto a = reinterpret_cast<std::uintptr_t>(address);
    return a != 0 && a < reinterpret_cast<std::uintptr_t>(__data_end);
}

}  // namespace platform
