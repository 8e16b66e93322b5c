#!/usr/bin/env bash
# Writes a release of this tree into DIR: the musl tarball of each
# architecture asked for, or of every one Debian ships musl for, the
# Debian package and the glibc static tarball, and a SHA256SUMS over them
# that `sha256sum -c` accepts. An architecture whose musl this Debian
# release lacks (riscv64 on Debian 12, mips64el and mipsel on Debian 13)
# is built in a root of a release that ships it, build-root-RELEASE beside
# the tree, made if missing and kept for the next run. Before a file is
# written its programs pass every end-to-end case, under qemu-user for
# another processor. What is missing is installed through tests/tools.sh
# when run as root, and named otherwise; an architecture that cannot be
# built fails the release with the reason. Two runs of one tree write the
# same bytes. --tarballs writes the musl tarballs alone.
# usage: release.sh [--tarballs] DIR [ARCH...]     ARCH: Debian's name, such as arm64
set -euo pipefail
tarballs_only=''
[ "${1:-}" = --tarballs ] && { tarballs_only=1; shift; }
[ "$#" -ge 1 ] || { echo "usage: release.sh [--tarballs] DIR [ARCH...]" >&2; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
out=$(realpath "$1")
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$src/tests/machines.sh"
. /etc/os-release
host=$(host_arch) release=${VERSION_CODENAME:-}
written=()

[ "$#" -gt 0 ] || for arch in "${machines[@]}"; do [ -z "${musl_of[$arch]}" ] || set -- "$@" "$arch"; done
here=() elsewhere=()
for arch in "$@"; do
  [ -n "${musl_of[$arch]:-}" ] || { echo "release.sh: Debian ships no musl for $arch" >&2; exit 1; }
  if [[ ,${releases_of[$arch]}, == *,$release,* ]]; then here+=("$arch"); else elsewhere+=("$arch"); fi
done

# What the builds here need, installed or named.
buildable() {  # arch
  musl_installed "$1" &&
    { [ "$1" = "$host" ] || command -v "${triple_of[$1]}-gcc" "qemu-${qemu_of[$1]}" >/dev/null; }
}
needs=()
for arch in "${here[@]}"; do buildable "$arch" || needs+=("musl:$arch"); done
[ "${#elsewhere[@]}" -eq 0 ] || command -v debootstrap >/dev/null || needs+=(debootstrap:debootstrap)
[ -n "$tarballs_only" ] || command -v dpkg-shlibdeps >/dev/null || needs+=(dpkg-shlibdeps:dpkg-dev)
if [ "${#elsewhere[@]}" -gt 0 ] && [ "$(id -u)" -ne 0 ]; then
  echo "release.sh: ${elsewhere[*]} are built in a Debian root, which needs root to make" >&2
  exit 1
fi
if [ "${#needs[@]}" -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "release.sh: this machine lacks what the release needs; as root, bash tests/tools.sh --quick ${needs[*]}" >&2
    exit 1
  fi
  bash "$src/tests/tools.sh" --quick "${needs[@]}"
fi
for arch in "${here[@]}"; do
  buildable "$arch" || { echo "release.sh: cannot build $arch: Debian ${VERSION_ID:-} has no musl-dev:$arch" \
                              "or gcc-${triple_of[$arch]} for $host (above)" >&2; exit 1; }
done

# Runs every end-to-end case on BUILD's programs; the first that fails
# stops them, named.
cases() {  # build emulator
  local program case
  for program in $(cat "$1/programs.txt"); do
    for case in "$src/tests/e2e/$program"/*.in; do
      bash "$src/tests/e2e/check.sh" "$1/bin/$program" "$case" $2 ||
        { echo "release.sh: the case ${case#"$src"/} failed"; return 1; }
    done
  done
}

# Builds the programs as the options say, runs the end-to-end cases on them
# (under EMULATOR, if not empty) and has cpack write the GENERATOR's file
# into DIR. A failure shows the end of its log, which names a failing case.
release() {  # name generator emulator [cmake option...]
  local name=$1 generator=$2 emulator=$3 build=$work/$1 start=$SECONDS file
  shift 3
  if ! { cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF "$@" &&
         cmake --build "$build" -j "$(nproc)" &&
         cases "$build" "$emulator" &&
         (cd "$build" && cpack -G "$generator"); } >"$build.log" 2>&1; then
    echo "release.sh: the $name build failed; its log ends:"
    tail -n 30 "$build.log"
    return 1
  fi
  file=$(ls "$build"/hexsuite[-_]*.{deb,tar.gz} 2>/dev/null || true)
  cp "$file" "$out/"
  written+=("$(basename "$file")")
  echo "release.sh: $(basename "$file") ($(( SECONDS - start )) s)"
}

for arch in "${here[@]}"; do
  options=(-DCMAKE_TOOLCHAIN_FILE="$src/cmake/Musl.cmake" -DHEXSUITE_STATIC=ON -DHEXSUITE_ARCH="$arch")
  if [ "$arch" = "$host" ]; then emulator=''; else emulator=qemu-${qemu_of[$arch]}; fi
  release "musl-$arch" TGZ "$emulator" "${options[@]}" || exit 1
done

# The others, each in a root of the first release that ships its musl:
# this tree as it stands (what git would commit, untracked files too),
# released there with --tarballs.
. "$src/tests/root.sh"
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$src" log -1 --format=%ct)}  # the date the tree's files carry
for arch in "${elsewhere[@]}"; do
  other=${releases_of[$arch]%%,*}
  root=$src/build-root-$other
  [ -x "$root/usr/bin/cmake" ] || make_root "$other" "$root" | sed 's/^/release.sh: /'
  mount_root
  rm -rf "$root/release"
  mkdir -p "$root/release/src"
  git -C "$src" ls-files -z -co --exclude-standard | tar -C "$src" --null -T - -c | tar -C "$root/release/src" -x
  in_root env SOURCE_DATE_EPOCH="$epoch" bash /release/src/packaging/release.sh --tarballs /release/out "$arch" ||
    { unmount_root; echo "release.sh: the $arch release in $root failed (above)"; exit 1; }
  unmount_root
  file=$root/release/out/hexsuite-*-${musl_of[$arch]}.tar.gz
  cp $file "$out/"
  written+=("$(basename $file)")
done

if [ -z "$tarballs_only" ]; then
  release package DEB "" || exit 1
  release static TGZ "" -DHEXSUITE_STATIC=ON || exit 1
fi

cd "$out"
printf '%s\n' "${written[@]}" | LC_ALL=C sort | xargs sha256sum > SHA256SUMS
echo "release.sh: $(wc -l < SHA256SUMS) files and SHA256SUMS in $out"
