#!/usr/bin/env bash
# Builds the suite with each compiler given, or with every g++-N and
# clang++-N on the PATH, and runs the quick loop (ctest -LE release) on each
# build: a warning fails as an error does. Where a compiler cannot link the
# system's GoogleTest (Debian 13's is built by g++ 14, whose runtime g++ 13
# lacks), its unit tests are left out, and it says so.
# usage: compilers.sh [COMPILER...]      builds in build-compilers/COMPILER
set -uo pipefail
cd "$(dirname "$0")/.."
if [ "$#" -eq 0 ]; then
  mapfile -t compilers < <(compgen -c | grep -E '^(g|clang)\+\+-[0-9]+$' | sort -uV)
  set -- "${compilers[@]}"
fi
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
  start=$SECONDS
  if CXX=$cxx cmake -S . -B "$build" "${options[@]}" >"$build/configure.log" 2>&1 &&
     cmake --build "$build" -j "$(nproc)" >"$build/build.log" 2>&1 &&
     ! grep -in 'warning' "$build/configure.log" "$build/build.log" &&
     ctest --test-dir "$build" -LE release -j "$(nproc)" --output-on-failure >"$build/test.log" 2>&1; then
    passed=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$build/test.log")
    echo "$cxx: $passed tests passed, no warning ($(( SECONDS - start )) s)"
  else
    echo "$cxx: FAILED, see $build/*.log; the last written ends:"
    tail -n 25 "$(ls -t "$build"/*.log | head -n 1)"
    failed+=("$cxx")
  fi
done
[ "${#failed[@]}" -eq 0 ] || { echo "failed: ${failed[*]}"; exit 1; }
