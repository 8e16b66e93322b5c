#!/usr/bin/env bash
# Writes a release of this tree into DIR: the musl tarball of each
# architecture asked for, or of every one Debian ships musl for, the
# Debian package and the glibc static tarball, and a SHA256SUMS over them
# that `sha256sum -c` accepts. docs/release.md says what each file is, how
# each is proved and where each architecture is built.
# usage: release.sh [--tarballs] DIR [ARCH...]     ARCH: Debian's name, such as arm64
#   --tarballs writes the musl tarballs alone.
set -euo pipefail
shopt -s inherit_errexit nullglob
tarballs_only=''
[ "${1:-}" = --tarballs ] && { tarballs_only=1; shift; }
[ "$#" -ge 1 ] || { echo "usage: release.sh [--tarballs] DIR [ARCH...]" >&2; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
out=$(realpath "$1")
shift
# shellcheck source=tests/machines.sh
. "$src/tests/machines.sh"
# shellcheck source=tests/root.sh
. "$src/tests/root.sh"
. /etc/os-release
release=${VERSION_CODENAME:-}
work=$(mktemp -d)
written=()

# What is under way, and its log: a step that fails stops the release,
# which then says which and shows the log's end. The root's mounts go with
# the release however it ends. What it says goes to the release's own
# standard error (3), not to the log a failing step's output went to.
exec 3>&2
doing='' log='' root=''
finish() {
  local status=$?
  if [ "$status" -ne 0 ] && [ -n "$doing" ]; then
    echo "release.sh: $doing failed${log:+; its log ends:}" >&3
    [ -z "$log" ] || tail -n 30 "$log" >&3
  fi
  [ -z "$root" ] || unmount_root
  rm -rf "$work"
  exit "$status"
}
trap finish EXIT
die() { doing=''; echo "release.sh: $*" >&2; exit 1; }

[ "$#" -gt 0 ] || for arch in "${machines[@]}"; do [ -z "${musl_of[$arch]}" ] || set -- "$@" "$arch"; done
here=() elsewhere=()
for arch in "$@"; do
  [ -n "${musl_of[$arch]:-}" ] || die "Debian ships no musl for $arch"
  [ -n "${reachable[$arch]}" ] ||
    die "cannot build $arch: cmake/machines.txt says Debian ships ${cross_of[$arch]} for ${hosts_of[$arch]}, not $host"
  if [[ ,${releases_of[$arch]}, == *,$release,* ]]; then here+=("$arch"); else elsewhere+=("$arch"); fi
done

# What the builds here need, each tool looked for on its own: installed
# through tests/tools.sh as root, named otherwise.
missing() {
  local arch
  for arch in "${here[@]}"; do
    [ -e "${musl_libc_of[$arch]}" ] || echo "musl-dev:$arch"
    [ "$arch" = "$host" ] && continue
    command -v "${triple_of[$arch]}-gcc" >/dev/null || echo "${cross_of[$arch]}"
    command -v "qemu-${qemu_of[$arch]}" >/dev/null || echo qemu-user
  done
  [ "${#elsewhere[@]}" -eq 0 ] || command -v debootstrap >/dev/null || echo debootstrap
  [ -n "$tarballs_only" ] || command -v dpkg-shlibdeps >/dev/null || echo dpkg-dev
}
needs=$(missing | sort -u | xargs)
if [ -n "$needs" ] || [ "${#elsewhere[@]}" -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] || die "this machine lacks what the release needs (${needs:-a Debian root for ${elsewhere[*]}}); run it as root"
fi
if [ -n "$needs" ]; then
  requests=("${here[@]/#/musl:}" debootstrap:debootstrap dpkg-shlibdeps:dpkg-dev)
  doing="installing $needs" log=''
  bash "$src/tests/tools.sh" --quick "${requests[@]}"
  needs=$(missing | sort -u | xargs)
  [ -z "$needs" ] || die "tests/tools.sh left this machine without $needs"
fi

# Runs every end-to-end case on BUILD's programs (under EMULATOR, if
# given); the first that fails stops them, named.
cases() {  # build [emulator]
  local program input programs
  mapfile -t programs < "$1/programs.txt"
  for program in "${programs[@]}"; do
    for input in "$src/tests/e2e/$program"/*.in; do
      bash "$src/tests/e2e/check.sh" "$1/bin/$program" "$input" ${2:+"$2"} ||
        { echo "release.sh: the case ${input#"$src"/} failed"; return 1; }
    done
  done
}

# Builds the programs as the options say, runs the end-to-end cases on them
# and has cpack write the GENERATOR's file, which is copied into DIR.
build() {  # name generator emulator [cmake option...]
  local name=$1 generator=$2 emulator=$3 dir=$work/$1 start=$SECONDS files
  shift 3
  doing="the $name build" log=$dir.log
  {
    cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF "$@"
    cmake --build "$dir" -j "$(nproc)"
    cases "$dir" "$emulator"
    (cd "$dir" && cpack -G "$generator")
  } >"$log" 2>&1
  files=("$dir"/hexsuite[-_]*."$(if [ "$generator" = DEB ]; then echo deb; else echo tar.gz; fi)")
  if [ "${#files[@]}" -ne 1 ]; then
    doing="the $name build (cpack -G $generator wrote ${#files[@]} files, not one)"
    exit 1
  fi
  cp "${files[0]}" "$out/"
  written+=("$(basename "${files[0]}")")
  echo "release.sh: ${written[-1]} ($(( SECONDS - start )) s)"
}

for arch in "${here[@]}"; do
  emulator=''
  [ "$arch" = "$host" ] || emulator=qemu-${qemu_of[$arch]}
  build "musl-$arch" TGZ "$emulator" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/Musl.cmake" -DHEXSUITE_STATIC=ON \
        -DHEXSUITE_ARCH="$arch"
done

# The others, each in a root of the first release that ships its musl:
# this tree as it stands (what git would commit, untracked files too),
# released there with --tarballs.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$src" log -1 --format=%ct)}  # the date the tree's files carry
for arch in "${elsewhere[@]}"; do
  other=${releases_of[$arch]%%,*}
  root=$src/build-root-$other
  doing="making a Debian $other root" log=''
  if [ ! -x "$root/usr/bin/cmake" ]; then make_root "$other" "$root"; fi
  mount_root
  rm -rf "$root/release"
  mkdir -p "$root/release/src"
  git -C "$src" ls-files -z -co --exclude-standard | tar -C "$src" --null -T - -c | tar -C "$root/release/src" -x
  doing="the $arch release in $root"
  in_root env SOURCE_DATE_EPOCH="$epoch" bash /release/src/packaging/release.sh --tarballs /release/out "$arch"
  unmount_root
  files=("$root/release/out/hexsuite-"*"-${musl_of[$arch]}.tar.gz")
  [ "${#files[@]}" -eq 1 ] || die "the $arch release in $root wrote ${#files[@]} tarballs, not one"
  cp "${files[0]}" "$out/"
  written+=("$(basename "${files[0]}")")
done
root=''

if [ -z "$tarballs_only" ]; then
  build package DEB ""
  build static TGZ "" -DHEXSUITE_STATIC=ON
fi

doing="writing SHA256SUMS" log=''
cd "$out"
printf '%s\n' "${written[@]}" | LC_ALL=C sort | xargs sha256sum > SHA256SUMS
echo "release.sh: $(wc -l < SHA256SUMS) files and SHA256SUMS in $out"
doing=''
