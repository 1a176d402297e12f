// On the desktop a written file is kept by the file system itself.
#include "platform/storage.h"

namespace platform {

void storage_persist(const char* /*name*/) {}

}  // namespace platform
