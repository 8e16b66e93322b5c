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
# shellcheck source=tests/root.sh
. "$(dirname "$0")/root.sh"
# shellcheck source=tests/build.sh
. "$(dirname "$0")/build.sh"
root=''
if [ "${3:-}" = keep ]; then away=unmount_root; else away=remove_root; fi
trap 'if [ -n "$root" ]; then $away; fi' EXIT

make_root "$1" "$2"
readme_first_command

start=$SECONDS
in_root bash /src/tests/tools.sh
echo "debian.sh: the test tools ($(( SECONDS - start )) s)"
# shellcheck disable=SC2016 # expanded in the root, by its bash
in_root bash -c '. /src/tests/build.sh && exec bash /src/tests/compilers.sh g++ "$(newest_clang)"'

# shellcheck disable=SC2016 # dpkg-query's format, not the shell's
musl=$(in_root dpkg-query -W -f '${Version}' musl-dev)
runner=(in_root)
build_and_test "debian.sh: the musl build on musl $musl" /src/build-musl "$root/musl.log" \
  -S /src --preset musl -DHEXSUITE_REQUIRE_TESTS=ON
