#!/usr/bin/env bash
# The release command run twice from this tree, into two folders a second
# apart, for the architectures given, with a signing key made for the run:
# each SHA256SUMS must name the musl tarball and the package of each of
# them and the glibc static tarball, `sha256sum -c` must accept it, and
# the two runs must write the same bytes, the repository's signatures
# aside. Then apt_install.sh installs from the first run's repository in
# ROOT, a root of another Debian release.
# usage: release_sums.sh ROOT ARCH...
set -u
src=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/machines.sh
. "$src/tests/machines.sh"
# shellcheck source=tests/root.sh
. "$src/tests/root.sh"
root=$1
shift
work=$(mktemp -d) || exit 1
trap 'gpgconf --kill gpg-agent; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

test_repository "$work" || fail "gpg --quick-gen-key"
for run in first second; do
  bash "$src/packaging/release.sh" --key "$signing_key" --url "$repository_url" \
    "$work/$run" "$@" || fail "release.sh into $run"
  (cd "$work/$run" && sha256sum --quiet -c SHA256SUMS) || fail "sha256sum -c in $run"
  [ "$run" = first ] && sleep 1
done
[ "$(wc -l < "$work/first/SHA256SUMS")" -eq $(( 2 * $# + 1 )) ] || fail "SHA256SUMS does not name $(( 2 * $# + 1 )) files"
for arch in "$@"; do
  grep -q -- "-${musl_of[$arch]}\.tar\.gz\$" "$work/first/SHA256SUMS" || fail "no tarball for $arch"
  grep -q -- " hexsuite_[0-9.]*_$arch\.deb\$" "$work/first/SHA256SUMS" || fail "no package for $arch"
done
grep -q -- '-static-[a-z0-9_]*\.tar\.gz$' "$work/first/SHA256SUMS" || fail "no glibc static tarball"
diff -r -x InRelease -x Release.gpg "$work/first" "$work/second" || fail "the two runs differ"
bash "$src/tests/release/apt_install.sh" "$work/first" "$root" || fail "apt_install.sh"
if [ "$failures" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
[ "$failures" -eq 0 ]
