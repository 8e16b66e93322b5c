#!/usr/bin/env bash
# The README followed on a fresh Debian RELEASE as a newcomer would: a
# minimal root made by debootstrap, with only git, cmake, g++ and make
# installed, this tree's last commit cloned into it, and the README's first
# command (build, then screen the sample). Then, inside it, the test tools,
# the quick loop of a g++ and a clang build, both without a warning, and
# the musl build with its tests, on that release's musl. With "keep" the
# root stays, for the release command to build in.
# usage: debian.sh RELEASE ROOT [keep]    as root, with Debian's mirror at hand
set -euo pipefail
. "$(dirname "$0")/root.sh"
root=$(realpath -m "$2")
if [ "${3:-}" = keep ]; then trap unmount_root EXIT; else trap remove_root EXIT; fi

make_root "$1" "$2"
readme_first_command

start=$SECONDS
in_root bash /src/tests/tools.sh
echo "debian.sh: the test tools ($(( SECONDS - start )) s)"
newest_clang=$(in_root bash -c "compgen -c | grep -E '^clang\+\+-[0-9]+$' | sort -V | tail -n 1")
in_root bash /src/tests/compilers.sh g++ "$newest_clang"

start=$SECONDS
musl=$(in_root dpkg-query -W -f '${Version}' musl-dev)
in_root sh -c 'cd /src && cmake --preset musl -DHEXSUITE_REQUIRE_TESTS=ON && cmake --build --preset musl -j2 &&
               ctest --preset musl -j2' >"$root/musl.log" 2>&1 || { tail -n 40 "$root/musl.log"; exit 1; }
passed=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$root/musl.log")
echo "debian.sh: the musl build on musl $musl: $passed tests passed ($(( SECONDS - start )) s)"
