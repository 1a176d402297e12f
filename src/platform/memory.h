// Where a variable lives: whether an address lies in the program's static
// storage (its globals), which lasts as long as the program.
#pragma once

namespace platform {

bool in_static_storage(const void* address);

}  // namespace platform
