#!/usr/bin/env bash
# Builds the Debian package twice from copies of one source tree, in
# folders of different names (the build folder inside the source, then
# beside it) and a second apart, and requires the two packages to be the
# same bytes.
# usage: reproducible.sh SOURCE_DIR
set -u
source=$1
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

package() {  # source_folder build_folder
  local dir=$1 out=$2
  mkdir -p "$dir"
  # The tree as it stands, uncommitted changes and history included, but
  # none of its build folders.
  tar -C "$source" --exclude='./build*' -cf - . | tar -C "$dir" -xf -
  cmake -S "$dir" -B "$out" -DBUILD_TESTING=OFF > "$dir.log" 2>&1 &&
    cmake --build "$out" -j "$(nproc)" >> "$dir.log" 2>&1 &&
    (cd "$out" && cpack -G DEB >> "$dir.log" 2>&1) ||
    { cat "$dir.log"; return 1; }
}

package "$work/first" "$work/first/build" || exit 1
sleep 1
package "$work/second-source" "$work/second-build" || exit 1
a=$(ls "$work"/first/build/*.deb) b=$(ls "$work"/second-build/*.deb)
if cmp "$a" "$b"; then
  echo "1 passed, 0 failed"
  exit 0
fi
for deb in "$a" "$b"; do
  mkdir -p "$deb.x" && dpkg-deb -R "$deb" "$deb.x"
done
diff -r "$a.x" "$b.x"
dpkg-deb -c "$a" > "$a.list"; dpkg-deb -c "$b" > "$b.list"; diff "$a.list" "$b.list"
echo "0 passed, 1 failed"
exit 1
