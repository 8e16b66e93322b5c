#!/usr/bin/env bash
# Builds the suite with each compiler given, or with every g++-N and
# clang++-N on the PATH, and runs the quick loop (ctest -LE release) on each
# build: a warning fails as an error does. Where a compiler cannot link the
# system's GoogleTest (Debian 13's is built by g++ 14, whose runtime g++ 13
# lacks), its unit tests are left out, and it says so.
# usage: compilers.sh [COMPILER...]      builds in build-compilers/COMPILER
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
# shellcheck source=tests/build.sh
. tests/build.sh
if [ "$#" -eq 0 ]; then
  mapfile -t compilers < <(compgen -c | grep -E '^(g|clang)\+\+-[0-9]+$' | sort -uV)
  set -- "${compilers[@]}"
fi
ctest_options=(-LE release)
failed=()
for cxx in "$@"; do
  build=build-compilers/$cxx
  mkdir -p "$build"
  options=(-DHEXSUITE_REQUIRE_TESTS=ON)
  printf '#include <gtest/gtest.h>\nTEST(link, works) {}\n' > "$build/gtest_link.cc"
  if ! "$cxx" -std=c++20 "$build/gtest_link.cc" -o "$build/gtest_link" -lgtest_main -lgtest -pthread \
       2>"$build/gtest_link.log"; then
    echo "$cxx: unit tests left out: it cannot link the system's GoogleTest ($build/gtest_link.log)"
    options+=(-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON)
  fi
  # shellcheck disable=SC2310 # a failure is counted, and the next compiler tried
  CXX=$cxx build_and_test "$cxx" "$build" "$build/build.log" -S . "${options[@]}" || failed+=("$cxx")
done
[ "${#failed[@]}" -eq 0 ] || { echo "failed: ${failed[*]}"; exit 1; }
