// Keeping the game folder's files. A file system keeps a file once it is
// written; the browser keeps the game folder in memory and copies a file to
// its own storage (IndexedDB) only when asked, which storage_persist does
// after every whole file written.
#pragma once

namespace platform {

// name (relative to the working folder, or absolute) has just been written
// whole.
void storage_persist(const char* name);

}  // namespace platform
