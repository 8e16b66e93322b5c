#!/usr/bin/env bash
# Builds a package twice from copies of one source tree, in folders of
# different names (the build folder inside the source, then beside it) and
# a second apart, and requires the two packages to be the same bytes: the
# Debian package by default, or what cpack's GENERATOR makes of the build
# the CMake options configure (TGZ of a static build: its release tarball).
# usage: reproducible.sh SOURCE_DIR [GENERATOR [CMAKE_OPTION...]]
set -u
source=$1 generator=${2:-DEB}
shift $(( $# < 2 ? $# : 2 ))
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

package() {  # source_folder build_folder
  local dir=$1 out=$2
  mkdir -p "$dir"
  # The tree as it stands, uncommitted changes and history included, but
  # none of its build folders.
  tar -C "$source" --exclude='./build*' -cf - . | tar -C "$dir" -xf -
  if ! { cmake -S "$dir" -B "$out" -DBUILD_TESTING=OFF "$@" && cmake --build "$out" -j "$(nproc)" &&
          (cd "$out" && cpack -G "$generator"); } > "$dir.log" 2>&1; then
    cat "$dir.log"
    return 1
  fi
}

package "$work/first" "$work/first/build" "$@" || exit 1
sleep 1
package "$work/second-source" "$work/second-build" "$@" || exit 1
a=$(ls "$work"/first/build/hexsuite[-_]*.{deb,tar.gz} 2>/dev/null)
b=$(ls "$work"/second-build/hexsuite[-_]*.{deb,tar.gz} 2>/dev/null)
if cmp "$a" "$b"; then
  echo "1 passed, 0 failed"
  exit 0
fi
for package in "$a" "$b"; do
  mkdir -p "$package.x"
  case $package in
    *.deb) dpkg-deb -R "$package" "$package.x"; dpkg-deb -c "$package" > "$package.list" ;;
    *) tar -C "$package.x" -xzf "$package"; tar -tvzf "$package" > "$package.list" ;;
  esac
done
diff -r "$a.x" "$b.x"
diff "$a.list" "$b.list"
echo "0 passed, 1 failed"
exit 1
