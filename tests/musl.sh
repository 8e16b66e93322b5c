#!/usr/bin/env bash
# Builds the musl programs of each architecture given (Debian's names), or
# of every other one whose musl-dev this machine has, in build-musl-ARCH, and
# runs their tests there: the end-to-end cases, the man pages' examples and
# the surroundings under qemu-user, the hardening read off the programs,
# and the release tarball's contents. One line for each; a failure shows
# the end of its log.
# usage: musl.sh [ARCH...]      (tests/tools.sh musl:ARCH installs what it needs)
set -uo pipefail
cd "$(dirname "$0")/.."
. tests/machines.sh
if [ "$#" -eq 0 ]; then
  for arch in "${machines[@]}"; do
    [ -e "${musl_libc_of[$arch]}" ] && [ "$arch" != "$host" ] && set -- "$@" "$arch"
  done
fi
failed=()
for arch in "$@"; do
  build=build-musl-$arch log=build-musl-$arch/musl.log
  mkdir -p "$build"
  start=$SECONDS
  if cmake --preset musl -B "$build" -DHEXSUITE_ARCH="$arch" -DHEXSUITE_REQUIRE_TESTS=ON >"$log" 2>&1 &&
     cmake --build "$build" -j "$(nproc)" >>"$log" 2>&1 &&
     ! grep -in 'warning' "$log" &&
     ctest --test-dir "$build" -j "$(nproc)" --output-on-failure >>"$log" 2>&1; then
    passed=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log")
    echo "musl $arch: $passed tests passed, no warning ($(( SECONDS - start )) s)"
  else
    echo "musl $arch: FAILED, see $log; it ends:"
    tail -n 25 "$log"
    failed+=("$arch")
  fi
done
[ "$#" -gt 0 ] || { echo "musl.sh: no architecture's musl-dev is installed"; exit 1; }
[ "${#failed[@]}" -eq 0 ] || { echo "failed: ${failed[*]}"; exit 1; }
