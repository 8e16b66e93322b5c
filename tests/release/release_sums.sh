#!/usr/bin/env bash
# The release command run twice from this tree, into two folders a second
# apart, for the architectures given: each SHA256SUMS must name the musl
# tarball of each of them by its triple, its package and the glibc static
# tarball, `sha256sum -c` must accept it, and the two must be the same
# bytes.
# usage: release_sums.sh ARCH...
set -u
src=$(cd "$(dirname "$0")/../.." && pwd)
. "$src/tests/machines.sh"
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

for run in first second; do
  bash "$src/packaging/release.sh" "$work/$run" "$@" || fail "release.sh into $run"
  (cd "$work/$run" && sha256sum --quiet -c SHA256SUMS) || fail "sha256sum -c in $run"
  [ "$run" = first ] && sleep 1
done
[ "$(wc -l < "$work/first/SHA256SUMS")" -eq $(( 2 * $# + 1 )) ] || fail "SHA256SUMS does not name $(( 2 * $# + 1 )) files"
for arch in "$@"; do
  grep -q -- "-${musl_of[$arch]}\.tar\.gz\$" "$work/first/SHA256SUMS" || fail "no tarball for $arch"
  grep -q -- " hexsuite_[0-9.]*_$arch\.deb\$" "$work/first/SHA256SUMS" || fail "no package for $arch"
done
grep -q -- '-static-[a-z0-9_]*\.tar\.gz$' "$work/first/SHA256SUMS" || fail "no glibc static tarball"
cmp "$work/first/SHA256SUMS" "$work/second/SHA256SUMS" ||
  { fail "the two runs differ"; diff "$work/first/SHA256SUMS" "$work/second/SHA256SUMS"; }
if [ "$failures" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
[ "$failures" -eq 0 ]
