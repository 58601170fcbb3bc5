#!/bin/sh
# Builds for 64-bit Windows what needs no Qt (geo/, the DDE azimuth server,
# its test server and client) with Debian's MinGW-w64, and runs the tests
# under wine. Installs nothing; needs g++-mingw-w64-x86-64-posix, wine,
# wine64, cmake and googletest (its sources in /usr/src/googletest).
#
#   tools/windows/run-wine-tests.sh [BUILD_FOLDER]     (default: build-win)
#
# No display is needed: wine draws with its null driver. The wine prefix is
# made inside the build folder on the first run (some seconds), never the
# user's ~/.wine.
set -eu
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build-win}

cmake -S "$source_dir" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
  -DKORVALEN_QT=OFF -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"

mkdir -p "$build/wineprefix"
WINEPREFIX=$(cd "$build/wineprefix" && pwd)
export WINEPREFIX
export WINEDEBUG=-all
# A new prefix would offer to install Mono and Gecko, which the tests never use.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

# Wine's null graphics driver instead of a display. A new prefix comes up
# with a desktop that found no display and stays unusable until its session
# ends: the setting is made in a session of its own.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
wineserver -k || true
# One wine server for the tests: each program then starts in a fraction of
# a second instead of bringing the prefix up again.
wineserver -p
trap 'wineserver -k' EXIT
# Wine's own services and its desktop start with the first program and the
# first window, and stay until the server ends: with their output sent
# nowhere, they hold none of ctest's pipes.
wine "$build/tests/dde/dde_test_server.exe" </dev/null >/dev/null 2>&1

ctest --test-dir "$build" --output-on-failure
