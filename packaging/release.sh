#!/usr/bin/env bash
# Writes a release of this tree into DIR: for each architecture asked for,
# or every one Debian ships musl for, its musl tarball and its Debian
# package; the glibc static tarball; a SHA256SUMS over them that
# `sha256sum -c` accepts; and, given a signing key, a signed apt
# repository of the packages. docs/release.md says what each file is, how
# each is proved and where each architecture is built.
# usage: release.sh [--key KEY --url URL] [--arch-files] DIR [ARCH...]
#   ARCH: Debian's name, such as arm64. KEY: the GnuPG key (of GNUPGHOME,
#   or HEXSUITE_SIGNING_KEY) that signs the repository; URL: where it is
#   to be served from. --arch-files writes each architecture's tarball and
#   package alone.
set -euo pipefail
shopt -s inherit_errexit nullglob
arch_files='' key=${HEXSUITE_SIGNING_KEY:-} url=''
while [ "$#" -gt 0 ]; do
  case $1 in
    --arch-files) arch_files=1; shift ;;
    --key) key=${2:?--key needs a key}; shift 2 ;;
    --url) url=${2:?--url needs a URL}; shift 2 ;;
    *) break ;;
  esac
done
[ "$#" -ge 1 ] || { echo "usage: release.sh [--key KEY --url URL] [--arch-files] DIR [ARCH...]" >&2; exit 2; }
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

# The signing key, judged before anything is built: apt must accept what
# it signs for the 90 days after, and Debian 13's apt (sqv) rejects a
# SHA-1 self-signature.
if [ -n "$key" ] && [ -z "$arch_files" ]; then
  [ -n "$url" ] || die "the repository needs the URL it is served from: --url URL"
  command -v gpg >/dev/null || die "signing needs gpg (Debian: gnupg)"
  keys=$(gpg --batch --with-colons --fixed-list-mode --list-sigs "$key" 2>/dev/null) ||
    die "gpg has no key $key${GNUPGHOME:+ in $GNUPGHOME}"
  primary=$(awk -F: '$1 == "pub" { print $5; exit }' <<< "$keys")
  soon=$(( $(date +%s) + 90 * 86400 ))
  awk -F: -v soon="$soon" '($1 == "pub" || ($1 == "sub" && $12 ~ /s/)) && $7 != "" && $7 < soon { bad = 1 }
                           END { exit bad }' <<< "$keys" ||
    die "the key $key, or its signing subkey, expires within 90 days: extend it (gpg --quick-set-expire)"
  awk -F: -v id="$primary" '$1 == "sig" && $5 == id && $16 == 2 { bad = 1 } END { exit bad }' <<< "$keys" ||
    die "the key $key has SHA-1 self-signatures, which Debian 13's apt rejects: re-sign them with SHA-256"
fi

# What the builds here need, each tool looked for on its own: installed
# through tests/tools.sh as root, named otherwise.
missing() {
  local arch
  for arch in "${here[@]}"; do
    [ -e "${musl_libc_of[$arch]}" ] || echo "musl-dev:$arch"
    [ "$arch" = "$host" ] && continue
    dpkg --print-foreign-architectures | grep -qx "$arch" || echo "$arch known to dpkg"
    command -v "${triple_of[$arch]}-g++" >/dev/null || echo "${cross_of[$arch]}"
    command -v "qemu-${qemu_of[$arch]}" >/dev/null || echo qemu-user
  done
  [ "${#elsewhere[@]}" -eq 0 ] || command -v debootstrap >/dev/null || echo debootstrap
  local pair
  for pair in dpkg-shlibdeps:dpkg-dev lintian:lintian hardening-check:devscripts; do
    command -v "${pair%%:*}" >/dev/null || echo "${pair#*:}"
  done
  if [ -n "$key" ] && [ -z "$arch_files" ]; then command -v apt-ftparchive >/dev/null || echo apt-utils; fi
}
needs=$(missing | sort -u | xargs)
if [ -n "$needs" ] || [ "${#elsewhere[@]}" -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] || die "this machine lacks what the release needs (${needs:-a Debian root for ${elsewhere[*]}}); run it as root"
fi
if [ -n "$needs" ]; then
  requests=("${here[@]/#/musl:}" "${here[@]/#/deb:}" debootstrap:debootstrap dpkg-shlibdeps:dpkg-dev
            lintian:lintian hardening-check:devscripts apt-ftparchive:apt-utils)
  doing="installing $needs" log=''
  bash "$src/tests/tools.sh" --quick "${requests[@]}"
  needs=$(missing | sort -u | xargs)
  [ -z "$needs" ] || die "tests/tools.sh left this machine without $needs"
fi

# Runs every end-to-end case on BUILD's programs (under EMULATOR, a command
# line, if given); the first that fails stops them, named.
cases() {  # build [emulator]
  local program input programs wrapper
  mapfile -t programs < "$1/programs.txt"
  read -ra wrapper <<< "${2:-}"
  for program in "${programs[@]}"; do
    for input in "$src/tests/e2e/$program"/*.in; do
      bash "$src/tests/e2e/check.sh" "$1/bin/$program" "$input" "${wrapper[@]}" ||
        { echo "release.sh: the case ${input#"$src"/} failed"; return 1; }
    done
  done
}

# Another architecture's C library as this release ships it, libc6:ARCH,
# unpacked with its control files into FOLDER: the programs built for ARCH
# run on it under qemu-user, and dpkg-shlibdeps reads its symbols. It is
# fetched, not installed: beside this machine's libc6 it must be the same
# version, which Debian 12's security archive no longer keeps for armel,
# mips64el, mipsel and s390x.
fetch_libc() {  # arch folder
  mkdir -p "$2/fetched"
  (cd "$2/fetched" && apt-get download -q -o APT::Sandbox::User=root "libc6:$1")
  dpkg-deb -x "$2"/fetched/libc6_*.deb "$2"
  dpkg-deb -e "$2"/fetched/libc6_*.deb "$2/DEBIAN"
  # A link to an absolute path (ppc64el's /lib64/ld64.so.2) is made to
  # point inside the folder, where qemu-user looks; on a merged /usr
  # (Debian 13) /lib is /usr/lib.
  local link
  while IFS= read -r -d '' link; do ln -sfn "$2$(readlink "$link")" "$link"; done \
    < <(find "$2" -type l -lname '/*' -print0)
  for link in lib lib64; do
    [ -e "$2/$link" ] || [ ! -d "$2/usr/$link" ] || ln -s "usr/$link" "$2/$link"
  done
}

# The Depends of BUILD's programs for ARCH: dpkg-shlibdeps on them, given
# the libc6 of LIBC (as fetch_libc unpacked it) to take symbols from.
depends_of() {  # build arch libc
  mkdir -p "$1/shlibdeps/debian"
  printf 'Source: hexsuite\n\nPackage: hexsuite\nArchitecture: any\n' > "$1/shlibdeps/debian/control"
  (cd "$1/shlibdeps" && DEB_HOST_ARCH=$2 dpkg-shlibdeps -O -S"$3" "$1"/bin/*) | sed -n 's/^shlibs:Depends=//p'
}

# A package as it must ship: for its architecture, by Debian's name;
# depending on the C library alone, at the version its binaries' symbols
# need; clean by lintian; hardened as its row of the table says.
judge_package() {  # build deb arch
  local field
  field=$(dpkg-deb -f "$2" Architecture)
  [ "$field" = "$3" ] || { echo "release.sh: $2 is for '$field', not $3"; return 1; }
  field=$(dpkg-deb -f "$2" Depends)
  [[ $field =~ ^libc6\ \(\>=\ [0-9][0-9.]*\)$ ]] ||
    { echo "release.sh: $2 depends on '$field', not libc6 (>= VERSION) alone"; return 1; }
  lintian --pedantic --fail-on error,warning --tag-display-limit 0 "$2"
  bash "$src/tests/release/hardening.sh" "$1" GNU "${triple_of[$3]}-objdump" "cfi=${cfi_of[$3]}" \
    "relro=${relro_of[$3]}"
}

# Builds the programs as the options say, runs the end-to-end cases on them
# and has cpack write the GENERATOR's file, which is judged (a package) and
# copied into DIR. A cross-built package's Depends is DEPENDS, computed
# here; this machine's, cpack's own dpkg-shlibdeps computes.
build() {  # name generator arch emulator [cmake option...]
  local name=$1 generator=$2 arch=$3 emulator=$4 dir=$work/$1 start=$SECONDS files extension=tar.gz
  shift 4
  [ "$generator" != DEB ] || extension=deb
  doing="the $name build" log=$dir.log
  {
    cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF "$@"
    cmake --build "$dir" -j "$(nproc)"
    cases "$dir" "$emulator"
    if [ "$generator" = DEB ] && [ "$arch" != "$host" ]; then
      depends=$(depends_of "$dir" "$arch" "$work/libc6-$arch")
      echo "release.sh: Depends: $depends"
      export HEXSUITE_DEB_DEPENDS=$depends
    fi
    (cd "$dir" && cpack -G "$generator")
    unset HEXSUITE_DEB_DEPENDS
    files=("$dir"/hexsuite[-_]*."$extension")
    if [ "${#files[@]}" -ne 1 ]; then
      echo "release.sh: cpack -G $generator wrote ${#files[@]} files, not one"
      exit 1
    fi
    if [ "$generator" = DEB ]; then judge_package "$dir" "${files[0]}" "$arch"; fi
  } >"$log" 2>&1
  cp "${files[0]}" "$out/"
  written+=("$(basename "${files[0]}")")
  echo "release.sh: ${written[-1]} ($(( SECONDS - start )) s)"
}

for arch in "${here[@]}"; do
  emulator='' glibc='' cross=()
  if [ "$arch" != "$host" ]; then
    doing="fetching libc6:$arch" log=''
    fetch_libc "$arch" "$work/libc6-$arch" >/dev/null
    emulator=qemu-${qemu_of[$arch]} glibc="qemu-${qemu_of[$arch]} -L $work/libc6-$arch"
    cross=(-DCMAKE_TOOLCHAIN_FILE="$src/cmake/Cross.cmake" -DHEXSUITE_ARCH="$arch")
  fi
  build "musl-$arch" TGZ "$arch" "$emulator" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/Musl.cmake" -DHEXSUITE_STATIC=ON \
        -DHEXSUITE_ARCH="$arch"
  build "package-$arch" DEB "$arch" "$glibc" "${cross[@]}"
done

# The others, each in a root of the first release that builds it: this
# tree as it stands (what git would commit, untracked files too), released
# there with --arch-files.
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
  in_root env SOURCE_DATE_EPOCH="$epoch" bash /release/src/packaging/release.sh --arch-files /release/out "$arch"
  unmount_root
  files=("$root/release/out/hexsuite-"*"-${musl_of[$arch]}.tar.gz" "$root/release/out/hexsuite_"*"_$arch.deb")
  [ "${#files[@]}" -eq 2 ] || die "the $arch release in $root wrote ${#files[@]} files, not its tarball and package"
  cp "${files[@]}" "$out/"
  for file in "${files[@]}"; do written+=("$(basename "$file")"); done
done
root=''

if [ -z "$arch_files" ]; then
  build static TGZ "$host" "" -DHEXSUITE_STATIC=ON
fi

doing="writing SHA256SUMS" log=''
cd "$out"
printf '%s\n' "${written[@]}" | LC_ALL=C sort | xargs sha256sum > SHA256SUMS
echo "release.sh: $(wc -l < SHA256SUMS) files and SHA256SUMS in $out"

if [ -n "$arch_files" ]; then
  doing=''
elif [ -z "$key" ]; then
  doing=''
  echo "release.sh: no apt repository: give a signing key with --key KEY --url URL (docs/release.md)"
else
  doing="writing the apt repository" log=''
  debs=()
  for file in "${written[@]}"; do [[ $file != *.deb ]] || debs+=("$out/$file"); done
  bash "$src/packaging/repository.sh" "$out" "$key" "$url" "$epoch" "${debs[@]}"
  doing=''
fi
