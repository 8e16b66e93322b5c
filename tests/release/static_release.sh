#!/usr/bin/env bash
# A static build: every program is a static position-independent
# executable (no dynamic loader, loaded at a random address), the musl
# build's with nothing of glibc in it, and the release tarball holds the
# nine programs and their pages.
# usage: static_release.sh BUILD_DIR [musl]
set -u
build=$1 libc=${2:-}
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

if [ "$libc" = musl ]; then name='*-linux-musl*.tar.gz'; else name='*-static-*.tar.gz'; fi
(cd "$build" && cpack -G TGZ -B "$work" > "$work/cpack.log" 2>&1) || { fail "cpack"; cat "$work/cpack.log"; }
# shellcheck disable=SC2206 # name is a glob, to be expanded
tarballs=("$work"/$name)
if [ -f "${tarballs[0]}" ]; then tar tzf "${tarballs[0]}" > "$work/contents"; else fail "no release tarball $name"; fi
mapfile -t programs < "$build/programs.txt"
for p in "${programs[@]}"; do
  headers=$(readelf -lhn "$build/bin/$p")
  grep -q 'Type: *DYN' <<< "$headers" || fail "$p is not position-independent"
  grep -q 'INTERP' <<< "$headers" && fail "$p needs a dynamic loader"
  if [ "$libc" = musl ]; then
    # glibc's start files mark a program with its ABI note, and its code
    # names itself in its messages.
    grep -q 'NT_GNU_ABI_TAG' <<< "$headers" && fail "$p has glibc's start files"
    grep -qa 'glibc' "$build/bin/$p" && fail "$p holds glibc's code"
  fi
  grep -q "^[^/]*/bin/$p$" "$work/contents" || fail "tarball lacks bin/$p"
  grep -q "^[^/]*/share/man/man1/$p\.1\.gz$" "$work/contents" || fail "tarball lacks $p.1.gz"
done
grep -q "^[^/]*/share/doc/hexsuite/copyright$" "$work/contents" || fail "tarball lacks the licence"
if [ "$failures" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
[ "$failures" -eq 0 ]
