#!/usr/bin/env bash
# The README followed on a fresh Debian RELEASE as a newcomer would: a
# minimal root made by debootstrap, with only git, cmake, g++ and make
# installed, this tree's last commit cloned into it, and the README's first
# command (build, then screen the sample). Then, inside it, the test tools,
# the quick loop of a g++ and a clang build, both without a warning, and
# the musl build with its tests, on that release's musl.
# usage: debian.sh RELEASE ROOT    as root, with Debian's mirror at hand
set -euo pipefail
release=$1 root=$(realpath -m "$2")
src=$(cd "$(dirname "$0")/.." && pwd)

# The mirror this machine's own apt fetches its release from (a local
# cache, a company's or a country's mirror), whether its sources are one
# line each or deb822 stanzas; where apt names none that debootstrap can
# reach, debootstrap's own default. The suite as the sources write it,
# else (a source written "stable") the codename its fetched release file
# gives.
. /etc/os-release
mirror=$({ apt-get indextargets --no-release-info --format '$(REPO_URI)' \
             "Release: ${VERSION_CODENAME:-}" 'Identifier: Packages'
           apt-get indextargets --format '$(REPO_URI)' "Codename: ${VERSION_CODENAME:-}" \
             'Identifier: Packages'; } 2>/dev/null | grep -E '^(https?|file)://' | head -n 1 || true)

# The root goes whatever happens, and nothing outside it goes with it.
remove_root() {
  for mount in "$root/dev/pts" "$root/proc"; do
    if mountpoint -q "$mount"; then umount -l "$mount"; fi
  done
  rm -rf --one-file-system "$root"
}
trap remove_root EXIT
remove_root  # what an interrupted run left

in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root DEBIAN_FRONTEND=noninteractive \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

start=$SECONDS
log=$(mktemp)
if ! debootstrap --variant=minbase "$release" "$root" ${mirror:+"$mirror"} >"$log" 2>&1; then
  echo "debian.sh: debootstrap of $release from ${mirror:-its default mirror} failed:"
  tail -n 20 "$log"
  exit 1
fi
rm -f "$log"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"  # a terminal of its own for dpkg
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends git cmake g++ make >/dev/null
git clone -q "$src" "$root/src"
echo "debian.sh: a fresh $release root from ${mirror:-the default mirror of debootstrap} with git, cmake, g++ and make ($(( SECONDS - start )) s)"

start=$SECONDS
in_root sh -c 'cd /src && cmake -S . -B build && cmake --build build -j2 && build/bin/hexscreen < examples/sample.txt' \
  >"$root/readme.log" 2>&1 || { tail -n 30 "$root/readme.log"; exit 1; }
in_root sh -c 'cd /src && build/bin/hexscreen < examples/sample.txt' | cmp - "$src/tests/e2e/hexscreen/sample.out"
echo "debian.sh: the README's first command ($(( SECONDS - start )) s)"

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
