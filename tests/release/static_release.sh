#!/usr/bin/env bash
# The static build: every program is a static position-independent
# executable (no dynamic loader, loaded at a random address), and the
# release tarball holds the nine programs and their pages.
# usage: static_release.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

(cd "$build" && cpack -G TGZ -B "$work" > "$work/cpack.log" 2>&1) || { fail "cpack"; cat "$work/cpack.log"; }
tarball=$(ls "$work"/*-static-*.tar.gz 2>/dev/null | head -1)
[ -n "$tarball" ] && tar tzf "$tarball" > "$work/contents" || fail "no release tarball"
for p in $(cat "$build/programs.txt"); do
  headers=$(readelf -lh "$build/bin/$p")
  grep -q 'Type: *DYN' <<< "$headers" || fail "$p is not position-independent"
  grep -q 'INTERP' <<< "$headers" && fail "$p needs a dynamic loader"
  grep -q "^[^/]*/bin/$p$" "$work/contents" || fail "tarball lacks bin/$p"
  grep -q "^[^/]*/share/man/man1/$p\.1\.gz$" "$work/contents" || fail "tarball lacks $p.1.gz"
done
if [ "$failures" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
[ "$failures" -eq 0 ]
