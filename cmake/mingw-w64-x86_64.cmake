# Cross build for 64-bit Windows with Debian's MinGW-w64 (package
# g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DKORVALEN_QT=OFF
# Debian has no Qt for Windows, so such a build holds what needs no Qt:
# geo/ with its tests and the DDE azimuth server with its test programs.
# tools/windows/run-wine-tests.sh builds it and runs the tests under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVALEN_MINGW x86_64-w64-mingw32)
# The posix thread model: its libstdc++ has std::thread, which the tests use.
set(CMAKE_C_COMPILER ${KORVALEN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVALEN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVALEN_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVALEN_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained programs: neither wine nor a bare Windows machine has the
# MinGW runtime DLLs (libstdc++, libgcc, winpthread) on its path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest starts the test programs through wine.
find_program(KORVALEN_WINE wine)
if(KORVALEN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KORVALEN_WINE})
endif()
