# Cross compiles for 64-bit Windows with Debian's mingw-w64 compilers (the
# -posix flavour, package g++-mingw-w64-x86-64-posix) and runs the built
# programs through wine, so that CTest can run the tests on Linux.
#
#   cmake -S . -B build/windows \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
#
# The wine loader is looked up on PATH and in /usr/lib/wine (where Debian's
# wine64 package keeps it); set CARDLIFT_WINE to use another one.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(cardlift_mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${cardlift_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${cardlift_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${cardlift_mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${cardlift_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: no libgcc, libstdc++ or winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(CARDLIFT_WINE NAMES wine64 wine PATHS /usr/lib/wine
  DOC "wine loader that runs the built programs for the tests")
if(CARDLIFT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CARDLIFT_WINE}")
endif()

# Unit tests are listed when CTest starts, through wine, not while
# building: a build then needs no wine at all.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
