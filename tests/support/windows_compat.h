// The few POSIX calls the portable tests use, for the Windows build (the
// build force-includes this header there; other systems have the calls).
#pragma once

#include <direct.h>
#include <io.h>

#include <cstdlib>
#include <cstring>

// Makes a folder from a template ending in XXXXXX; the template or null.
inline char* mkdtemp(char* templ) {
    const std::size_t n = std::strlen(templ);
    if (n < 6 || std::strcmp(templ + n - 6, "XXXXXX") != 0) {
        return nullptr;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = n - 6; i < n; ++i) {
            templ[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[std::rand() % 36];
        }
        if (_mkdir(templ) == 0) {
            return templ;
        }
    }
    return nullptr;
}
