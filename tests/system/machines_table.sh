#!/usr/bin/env bash
# The table of machines, cmake/machines.txt, held to dpkg's tables: each
# row's triple, cross compiler and musl folder (dpkg's multiarch name for
# musl-linux-ARCH, where dpkg knows it) are Debian's; no `uname -m` name
# is under two rows, and every host is a row.
# usage: machines_table.sh
set -u
# shellcheck source=tests/machines.sh
. "$(dirname "$0")/../machines.sh"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
declare -A row_of
for arch in "${machines[@]}"; do
  for name in ${uname_of[$arch]//,/ }; do
    [ -z "${row_of[$name]:-}" ] || fail "uname -m $name is under $arch and ${row_of[$name]}"
    row_of[$name]=$arch
  done
  gnu=$(dpkg-architecture -a "$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null)
  [ "$gnu" = "${triple_of[$arch]}" ] || fail "$arch: triple ${triple_of[$arch]}, dpkg says ${gnu:-none}"
  [ "${cross_of[$arch]}" = "g++-${gnu//_/-}" ] || fail "$arch: cross ${cross_of[$arch]} is not Debian's g++ for $gnu"
  if [ -n "${musl_of[$arch]}" ]; then
    folder=$(dpkg-architecture -a "musl-linux-$arch" -qDEB_HOST_MULTIARCH 2>/dev/null || echo "${musl_of[$arch]}")
    [ "${folder_of[$arch]}" = "$folder" ] || fail "$arch: musl folder ${folder_of[$arch]}, Debian installs $folder"
  fi
  for other in ${hosts_of[$arch]//,/ }; do
    [ -n "${triple_of[$other]:-}" ] || fail "$arch: host $other has no row"
  done
done
if [ "$failures" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
[ "$failures" -eq 0 ]
