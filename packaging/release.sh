#!/usr/bin/env bash
# Writes a release of this tree's last build state into DIR: the musl
# tarball of each architecture asked for, or of every one this machine can
# build (its musl-dev, and for another processor the cross compiler and
# qemu-user), the Debian package and the glibc static tarball, and a
# SHA256SUMS over them that `sha256sum -c` accepts. Before a file is
# written its programs pass every end-to-end case, under qemu-user for
# another processor. Two runs of one commit write the same bytes.
# usage: release.sh DIR [ARCH...]     ARCH: Debian's name, such as arm64
set -euo pipefail
[ "$#" -ge 1 ] || { echo "usage: release.sh DIR [ARCH...]" >&2; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
out=$(realpath "$1")
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
host=$(dpkg --print-architecture)
written=()

. "$src/tests/machines.sh"
if [ "$#" -eq 0 ]; then
  for arch in "${machines[@]}"; do
    musl_installed "$arch" || continue
    [ "$arch" = "$host" ] || { command -v "${triple_of[$arch]}-gcc" && command -v "qemu-${qemu_of[$arch]}"; } >/dev/null || continue
    set -- "$@" "$arch"
  done
fi

# Builds the programs as the options say, runs the end-to-end cases on them
# (under EMULATOR, if not empty) and has cpack write the GENERATOR's file
# into DIR. A failure shows the end of its log.
release() {  # name generator emulator [cmake option...]
  local name=$1 generator=$2 emulator=$3 build=$work/$1 start=$SECONDS file
  shift 3
  if ! { cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF "$@" &&
         cmake --build "$build" -j "$(nproc)" &&
         for program in $(cat "$build/programs.txt"); do
           for case in "$src/tests/e2e/$program"/*.in; do
             bash "$src/tests/e2e/check.sh" "$build/bin/$program" "$case" $emulator || exit 1
           done
         done &&
         (cd "$build" && cpack -G "$generator"); } >"$build.log" 2>&1; then
    echo "release.sh: the $name build failed; its log ends:"
    tail -n 30 "$build.log"
    exit 1
  fi
  file=$(ls "$build"/hexsuite[-_]*.{deb,tar.gz} 2>/dev/null || true)
  cp "$file" "$out/"
  written+=("$(basename "$file")")
  echo "release.sh: $(basename "$file") ($(( SECONDS - start )) s)"
}

for arch in "$@"; do
  [ -n "${musl_of[$arch]:-}" ] || { echo "release.sh: Debian ships no musl for $arch" >&2; exit 1; }
  options=(-DCMAKE_TOOLCHAIN_FILE="$src/cmake/Musl.cmake" -DHEXSUITE_STATIC=ON)
  if [ "$arch" = "$host" ]; then
    release "musl-$arch" TGZ "" "${options[@]}"
  else
    release "musl-$arch" TGZ "qemu-${qemu_of[$arch]}" "${options[@]}" -DHEXSUITE_ARCH="$arch"
  fi
done
release package DEB ""
release static TGZ "" -DHEXSUITE_STATIC=ON

cd "$out"
printf '%s\n' "${written[@]}" | LC_ALL=C sort | xargs sha256sum > SHA256SUMS
echo "release.sh: $(wc -l < SHA256SUMS) files and SHA256SUMS in $out"
