#!/usr/bin/env bash
# Builds the musl programs of each architecture given (Debian's names), or
# of every other one whose musl-dev this machine has, in build-musl-ARCH, and
# runs their tests there: the end-to-end cases, the man pages' examples and
# the surroundings under qemu-user, the hardening read off the programs,
# and the release tarball's contents. One line for each; a failure shows
# the end of its log.
# usage: musl.sh [ARCH...]      (tests/tools.sh musl:ARCH installs what it needs)
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
# shellcheck source=tests/machines.sh
. tests/machines.sh
# shellcheck source=tests/build.sh
. tests/build.sh
if [ "$#" -eq 0 ]; then
  for arch in "${machines[@]}"; do
    [ -e "${musl_libc_of[$arch]}" ] && [ "$arch" != "$host" ] && set -- "$@" "$arch"
  done
fi
[ "$#" -gt 0 ] || { echo "musl.sh: no architecture's musl-dev is installed"; exit 1; }
failed=()
for arch in "$@"; do
  mkdir -p "build-musl-$arch"
  # shellcheck disable=SC2310 # a failure is counted, and the next architecture tried
  build_and_test "musl $arch" "build-musl-$arch" "build-musl-$arch/musl.log" -S . --preset musl \
    -DHEXSUITE_ARCH="$arch" -DHEXSUITE_REQUIRE_TESTS=ON || failed+=("$arch")
done
[ "${#failed[@]}" -eq 0 ] || { echo "failed: ${failed[*]}"; exit 1; }
