# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix-threads
# compilers, whose C++ library has std::thread and std::mutex). Libraries
# are looked up only in the mingw-w64 sysroot and in the folder the
# environment's BRAMBLE_WINDOWS_PREFIX names (where scripts/windows-deps
# installs the libraries it builds), never among the build machine's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRAMBLE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BRAMBLE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRAMBLE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BRAMBLE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRAMBLE_MINGW_TRIPLE})
if(DEFINED ENV{BRAMBLE_WINDOWS_PREFIX})
  list(PREPEND CMAKE_FIND_ROOT_PATH $ENV{BRAMBLE_WINDOWS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The GCC runtime is linked in, so the programs and libraries need only the
# thread library's DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Tests and helpers built here run under Wine.
find_program(BRAMBLE_WINE NAMES wine wine64)
if(BRAMBLE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BRAMBLE_WINE})
endif()
