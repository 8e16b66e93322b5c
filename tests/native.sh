#!/usr/bin/env bash
# The suite built natively on another Debian architecture, as its own user
# would: a fresh Debian 12 root for ARCH (Debian's name; Debian 13 for one
# whose musl only Debian 13 ships), which the kernel
# runs through qemu-user and binfmt, with git, cmake, g++ and make; there
# the README's first command, the quick loop's tools, the quick loop of the
# default preset and the musl preset built for the machine's own row with
# its tests. qemu-user-static and its binfmt entry are installed and
# registered where missing. What emulation cannot host is left out, each
# named with the reason; any other failure fails the run.
# usage: native.sh ARCH [ROOT]    as root, with Debian's mirror at hand
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tests/machines.sh
. "$src/tests/machines.sh"
# shellcheck source=tests/root.sh
. "$src/tests/root.sh"
# shellcheck source=tests/build.sh
. "$src/tests/build.sh"
arch=${1:?usage: native.sh ARCH [ROOT]}
[ -n "${qemu_of[$arch]:-}" ] || { echo "native.sh: cmake/machines.txt has no row for $arch" >&2; exit 2; }
root=''
trap 'if [ -n "$root" ]; then remove_root; fi' EXIT
qemu=${qemu_of[$arch]}

# qemu-user-static, whose binfmt entry opens the emulator when it is
# registered, so that it runs inside a root that lacks it.
binfmt=/proc/sys/fs/binfmt_misc
mountpoint -q "$binfmt" || mount -t binfmt_misc binfmt_misc "$binfmt"
bash "$src/tests/tools.sh" --quick "qemu-$qemu-static:qemu-user-static" debootstrap:debootstrap >/dev/null
if ! grep -qx enabled "$binfmt/qemu-$qemu" 2>/dev/null; then
  [ -e "$binfmt/qemu-$qemu" ] && echo -1 > "$binfmt/qemu-$qemu"
  grep -v '^#' "/usr/lib/binfmt.d/qemu-$qemu.conf" > "$binfmt/register"
fi
echo "native.sh: binfmt runs $arch programs with $(sed -n 's/^interpreter //p' "$binfmt/qemu-$qemu")"

release=bookworm
[ -z "${releases_of[$arch]}" ] || [[ ,${releases_of[$arch]}, == *,bookworm,* ]] || release=${releases_of[$arch]%%,*}
make_root "$release" "${2:-$src/build-native-$arch}" "$arch"
readme_first_command
start=$SECONDS
in_root bash /src/tests/tools.sh --quick >/dev/null
echo "native.sh: the quick loop's tools ($(( SECONDS - start )) s)"

echo "native.sh: left out write_count: strace cannot trace a program that qemu-user runs (every count is 0)"
echo "native.sh: left out surroundings' closed stdin: binfmt's open-binary flag gives qemu-user the program's" \
     "own file as descriptor 0"
echo "native.sh: left out surroundings' static program with no descriptor to spare: qemu-user needs one to run it"
# Each preset's configure, build and tests (less what emulation cannot
# host) in the root; a warning fails it as an error does.
runner=(in_root env HEXSUITE_BINFMT=1)
ctest_options=(-E write_count -LE release)
build_and_test "native.sh: the default preset on $arch" /src/build "$root/default.log" \
  -S /src --preset default -DHEXSUITE_TIMEOUT_SCALE=4
ctest_options=(-E write_count)
build_and_test "native.sh: the musl preset on $arch" /src/build-musl "$root/musl.log" \
  -S /src --preset musl -DHEXSUITE_TIMEOUT_SCALE=4

# The package, as a user of this machine installs it: a release of ARCH
# signed with a key made for the run, its repository served here and
# installed in the root from there, its programs run on every case.
start=$SECONDS
work=$(mktemp -d)
trap 'gpgconf --kill gpg-agent; rm -rf "$work"; if [ -n "$root" ]; then remove_root; fi' EXIT
test_repository "$work"
bash "$src/packaging/release.sh" --key "$signing_key" --url "$repository_url" "$work/release" "$arch" \
  >"$work/release.log" 2>&1 || { tail -n 30 "$work/release.log"; exit 1; }
bash "$src/tests/release/apt_install.sh" --install-only "$work/release" "$root"
echo "native.sh: hexsuite installed by apt on $arch from its repository, every case passed ($(( SECONDS - start )) s)"
