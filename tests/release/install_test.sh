#!/usr/bin/env bash
# Installs the built suite into a temporary prefix, runs every program from
# there and renders every page; then builds the Debian package, checks its
# contents and fields, and has lintian judge it: no error, no warning.
# usage: install_test.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
programs=$(cat "$build/programs.txt")
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$work/prefix" > /dev/null || fail "cmake --install"
for p in $programs; do
  [ -x "$work/prefix/bin/$p" ] || fail "$p not installed"
  "$work/prefix/bin/$p" < /dev/null > /dev/null 2> "$work/err" || fail "$p exits non-zero"
  [ -s "$work/err" ] && fail "$p writes to standard error"
  page="$work/prefix/share/man/man1/$p.1.gz"
  [ -f "$page" ] || { fail "$p.1.gz not installed"; continue; }
  MANWIDTH=80 man -l "$page" > "$work/page" 2> "$work/err" || fail "man -l $p"
  grep -q "^EXAMPLES" "$work/page" || fail "$p page does not render its examples"
  [ -s "$work/err" ] && fail "man -l $p warns: $(cat "$work/err")"
done

(cd "$build" && cpack -G DEB -B "$work/package" > "$work/cpack.log" 2>&1) || { fail "cpack"; cat "$work/cpack.log"; }
debs=("$work"/package/*.deb)
deb=${debs[0]}
if [ -f "$deb" ]; then
  dpkg-deb -c "$deb" > "$work/contents"
  for p in $programs; do
    grep -q " \./usr/bin/$p$" "$work/contents" || fail "package lacks /usr/bin/$p"
    grep -q " \./usr/share/man/man1/$p\.1\.gz$" "$work/contents" || fail "package lacks $p.1.gz"
  done
  [ "$(dpkg-deb -f "$deb" Package)" = hexsuite ] || fail "package name"
  [ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "package section"
  dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "package dependencies: $(dpkg-deb -f "$deb" Depends)"
  dpkg-deb -f "$deb" Depends | grep -q libstdc++ && fail "package depends on libstdc++"
  for doc in copyright changelog.gz; do
    grep -q " \./usr/share/doc/hexsuite/$doc$" "$work/contents" || fail "package lacks $doc"
  done
  # Tags of severity info or below (I:, P:, X:) are advice, not faults.
  # lintian's status decides, so that a lintian that cannot run fails too.
  if ! lintian --pedantic --fail-on error,warning --tag-display-limit 0 "$deb" > "$work/lintian" 2>&1; then
    cat "$work/lintian"
    fail "lintian reports errors or warnings, or cannot judge the package"
  fi
else
  fail "no package built"
fi

if [ "$failures" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
[ "$failures" -eq 0 ]
