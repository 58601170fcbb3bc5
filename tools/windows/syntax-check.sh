#!/bin/sh
# Compiles for 64-bit Windows, syntax only, every source of the program and
# of its window tests, as a Windows build chooses them: the files named
# *_posix.cpp and the POSIX-only files listed below are left out, the
# *_win.cpp files and the DDE server are in. Debian has no Qt for Windows,
# so Qt's own Linux headers stand in for it (see the flags below); what
# this catches is the code of the program that a Windows compiler refuses,
# which no Linux build ever reads.
#
#   tools/windows/syntax-check.sh [WORK_FOLDER]     (default: build-win-syntax)
#
# Needs x86_64-w64-mingw32-g++-posix (Debian: g++-mingw-w64-x86-64-posix),
# qt6-base-dev and googletest. The work folder keeps the compiler's
# messages and, run by hand, korvalen_version.h. Every diagnostic fails the
# check, warnings included, as the program's builds are kept free of them.
# Exit 77 (ctest's skip) when the compiler is missing.
#
# Environment: KORVALEN_MINGW_CXX (the compiler), KORVALEN_QT_HEADERS (Qt's
# include folder), KORVALEN_GENERATED (a build's folder of generated
# headers), CMAKE_CXX_COMPILER_LAUNCHER (ccache: a second run takes a
# second), CMAKE_BUILD_PARALLEL_LEVEL (parallel compilers; default: one per
# processor).
set -eu
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=${1:-build-win-syntax}
compiler=${KORVALEN_MINGW_CXX:-x86_64-w64-mingw32-g++-posix}
qt=${KORVALEN_QT_HEADERS:-/usr/include/x86_64-linux-gnu/qt6}
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}

if ! command -v "$compiler" >/dev/null 2>&1; then
  echo "$compiler not found (Debian: g++-mingw-w64-x86-64-posix): the Windows syntax check is skipped"
  exit 77
fi
if [ ! -f "$qt/QtCore/qglobal.h" ]; then
  echo "Qt's headers not found in $qt (Debian: qt6-base-dev)" >&2
  exit 1
fi

# POSIX-only files whose names do not say so, each with its reason. (Headers
# need no entry: they are read through the sources that include them, so
# one included only from *_posix.cpp files, such as
# rotator/process_scan_posix.h, is left out with them.)
posix_only="
tests/support/posix_files.cpp
"
# tests/support/posix_files.cpp: the file tests' view of the disk through
#   the system calls (dirent, FIFOs, devices, a private mount); no window
#   test uses it.

mkdir -p "$work/generated" "$work/include" "$work/messages"
work=$(cd "$work" && pwd)
rm -f "$work/messages/"*

# korvalen_version.h: the build's own (ctest gives its folder), or made
# here from app/version.h.in with the name and version of the top
# CMakeLists.txt, as configure_file makes it.
generated=${KORVALEN_GENERATED:-}
if [ -z "$generated" ]; then
  generated=$work/generated
  project=$(sed -n 's/^project(\([A-Za-z]*\) VERSION \([0-9.]*\).*/\1 \2/p' "$source_dir/CMakeLists.txt")
  name=${project% *} version=${project#* }
  [ -n "$project" ] || { echo "no project name and version in $source_dir/CMakeLists.txt" >&2; exit 1; }
  sed -e "s/@PROJECT_NAME@/$name/g" -e "s/@PROJECT_VERSION@/$version/g" "$source_dir/app/version.h.in" \
    >"$generated/korvalen_version.h.new"
  if grep -q '@[A-Za-z_]*@' "$generated/korvalen_version.h.new"; then
    echo "app/version.h.in asks for more than this script fills in; give it a build's" \
      "with KORVALEN_GENERATED=<build folder>/generated" >&2
    exit 1
  fi
  # Rewritten only when it changes: ccache distrusts a header written just
  # before the compiler reads it.
  if cmp -s "$generated/korvalen_version.h.new" "$generated/korvalen_version.h"; then
    rm "$generated/korvalen_version.h.new"
  else
    mv "$generated/korvalen_version.h.new" "$generated/korvalen_version.h"
  fi
fi

# GoogleTest's headers alone: /usr/include also holds glibc's, which must
# not stand in for MinGW's. The copy run-wine-tests.sh builds first,
# libgtest-dev's otherwise.
gtest=/usr/src/googletest/googletest/include/gtest
[ -d "$gtest" ] || gtest=/usr/include/gtest
[ -d "$gtest" ] || { echo "GoogleTest's headers not found (Debian: googletest)" >&2; exit 1; }
ln -sfn "$gtest" "$work/include/gtest"

# The product folders are the layers of the top CMakeLists.txt, so that a new
# folder is checked without a word here.
layers=$(sed -n 's/^set(KORVALEN_LAYERS \(.*\))$/\1/p' "$source_dir/CMakeLists.txt")
[ -n "$layers" ] || { echo "no KORVALEN_LAYERS in $source_dir/CMakeLists.txt" >&2; exit 1; }
cd "$source_dir"
# shellcheck disable=SC2086  # the layers are words
sources=$( {
  find $layers -name '*.cpp'
  find tests/windows tests/support -maxdepth 1 -name '*.cpp'
} | grep -v '_posix\.cpp$' | grep -vxF "$posix_only" | LC_ALL=C sort)

# What a Windows build of the program gives the compiler, and what Qt's
# Linux headers need to stand in for Qt for Windows:
# -std=c++17 -Wall -Wextra: as the top CMakeLists.txt. The program has no
#   define of its own for Windows: what differs there is chosen by file.
# -DUNICODE -D_UNICODE: Qt gives them to every program built with it on
#   Windows; they make <windows.h>'s plain names the wide calls.
# -DQT_*_LIB: each Qt module gives its own; <QTest> includes its widget and
#   mouse helpers by them.
# -DQT_NO_DEBUG: Qt's define for a build that is not Debug (the default
#   build type is Release).
# -isystem for Qt and GoogleTest: CMake passes imported libraries' headers so,
#   which keeps their own warnings out; with Q_CORE_EXPORT meaning dllimport
#   on Windows, GCC warns about a friend declaration inside qlocale.h.
# Nothing else is needed: Qt's headers take the system from the compiler
# (_WIN32), and the Linux qconfig.h only answers which features exist, the
# same on both systems for every class the program uses.
set -- -std=c++17 -fsyntax-only -Wall -Wextra \
  -DUNICODE -D_UNICODE \
  -DQT_CORE_LIB -DQT_GUI_LIB -DQT_WIDGETS_LIB -DQT_NETWORK_LIB -DQT_TEST_LIB -DQT_NO_DEBUG \
  -I. -I"$generated" -isystem "$work/include" \
  -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtGui" -isystem "$qt/QtWidgets" \
  -isystem "$qt/QtNetwork" -isystem "$qt/QtTest"
# shellcheck disable=SC2086  # the launcher may be empty
set -- ${CMAKE_CXX_COMPILER_LAUNCHER:-} "$compiler" "$@"

count=$(printf '%s\n' "$sources" | wc -l)
echo "Checking $count sources for Windows with $compiler, $jobs at a time"
started=$(date +%s)
# Each compiler's messages go to a file of their own, kept when the source
# failed and shown once all are done, so that two failures never
# interleave. The source is xargs' last argument.
# shellcheck disable=SC2016  # the script is the inner shell's
printf '%s\n' "$sources" | tr '\n' '\0' | xargs -0 -n 1 -P "$jobs" sh -c '
  for source; do :; done
  log="$0/$(printf "%s" "$source" | tr / _).txt"
  if "$@" >"$log" 2>&1 && [ ! -s "$log" ]; then rm "$log"; fi
' "$work/messages" "$@" || true

failed=0
for source in $sources; do
  log="$work/messages/$(printf '%s' "$source" | tr / _).txt"
  [ -f "$log" ] || continue
  failed=$((failed + 1))
  echo "---- $source, compiled for Windows:"
  cat "$log"
done
echo "$count sources checked in $(($(date +%s) - started)) s; $failed failed"
[ "$failed" -eq 0 ]
