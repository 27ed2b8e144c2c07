# Cross build for 64-bit Windows with Debian's mingw-w64 (GCC 12, posix threads, so that
# std::thread and friends work). Programs built with it run on this machine through Wine:
# ctest and gtest discovery go through CMAKE_CROSSCOMPILING_EMULATOR.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
# The -posix wrappers of ar and ranlib understand the LTO objects of the -posix compilers.
find_program(CMAKE_AR ${MINGW_TRIPLET}-gcc-ar-posix REQUIRED)
find_program(CMAKE_RANLIB ${MINGW_TRIPLET}-gcc-ranlib-posix REQUIRED)

# Libraries, headers and CMake packages come from the target's root (and from roots the
# caller adds, such as our Qt and GoogleTest builds); build tools come from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's wine64 is not on PATH; /usr/bin/wine is a wrapper that falls back to it.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
