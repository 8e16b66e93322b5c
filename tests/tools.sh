#!/usr/bin/env bash
# Installs with apt-get the tools the tests need beyond CMake and a
# compiler, those of them that are missing, with package names Debian 12
# and 13 share, and the COMMAND:PACKAGE pairs given besides; musl:ARCH asks
# for the musl build of another architecture: its musl-dev (dpkg then takes
# ARCH as a foreign architecture), Debian's cross compiler for it (whose
# linker and helper library it links with) and qemu-user; deb:ARCH for its
# Debian package: the same compiler and emulator, and ARCH known to dpkg and
# apt, so that its libc6 can be fetched. --quick asks only
# for what the quick loop and the musl preset need. A cross compiler that
# cmake/machines.txt says Debian ships none of for this machine (its hosts
# column) is not asked for, and says so; anything else that does not
# install, a failed index among the causes, fails, naming it.
# apt-get needs root: the test command runs this first.
# usage: tools.sh [--quick] [COMMAND:PACKAGE...] [musl:ARCH...] [deb:ARCH...]
set -euo pipefail
# shellcheck source=tests/machines.sh
. "$(dirname "$0")/machines.sh"

quick=''
[ "${1:-}" = --quick ] && { quick=1; shift; }
installed() { dpkg-query -W -f '${db:Status-Status}' "$1" 2>/dev/null | grep -qx installed; }
pairs=() foreign=() crosses=() libcs=()
for arg in "$@"; do
  arch=${arg#*:}
  case $arg in
    musl:*)
      [ -n "${musl_of[$arch]:-}" ] || { echo "tests/tools.sh: Debian ships no musl for $arch" >&2; exit 1; }
      [ -e "${musl_libc_of[$arch]}" ] || { foreign+=("$arch"); libcs+=("musl-dev:$arch"); }
      crosses+=("$arch") ;;
    deb:*)
      [ "$arch" != "$host" ] || continue
      dpkg --print-foreign-architectures | grep -qx "$arch" || foreign+=("$arch")
      crosses+=("$arch") ;;
    *) pairs+=("$arg") ;;
  esac
done

needed=("${pairs[@]}" cmake:cmake g++:g++ clang++:clang python3:python3 strace:strace valgrind:valgrind
        groff:groff-base shellcheck:shellcheck dpkg-architecture:dpkg-dev)
# The cross tests' compilers (cmake/TestTools.cmake names the machines).
[ -n "$quick" ] || crosses+=("${cross_tests[@]}")
for arch in "${crosses[@]}"; do
  [ "$arch" != "$host" ] || continue
  if [ -z "${reachable[$arch]:-}" ]; then
    echo "tests/tools.sh: no ${cross_of[$arch]}: cmake/machines.txt says Debian ships it for ${hosts_of[$arch]}, not $host"
    continue
  fi
  needed+=("${triple_of[$arch]}-g++:${cross_of[$arch]}" "qemu-${qemu_of[$arch]}:qemu-user")
done
if [ -z "$quick" ]; then
  needed+=(man:man-db dpkg-shlibdeps:dpkg-dev lintian:lintian hardening-check:devscripts
           debootstrap:debootstrap git:git)
fi
missing=()
for pair in "${needed[@]}"; do
  PATH=$PATH:/usr/sbin:/sbin command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
done
[ -e /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
# The sanitizer and fuzzer runtimes of the default clang, with the fuzz
# targets' data provider.
compgen -G '/usr/lib/llvm-*/lib/clang/*/include/fuzzer/FuzzedDataProvider.h' >/dev/null ||
  missing+=(libclang-rt-dev)
# The musl build's C library, and libc++'s headers for its clang
# (cmake/Musl.cmake looks for them).
[ -e "${musl_libc_of[$host]:-}" ] || missing+=(musl-dev)
# shellcheck disable=SC2310 # a predicate: its status is the answer
installed libc++-dev || missing+=(libc++-dev)
missing+=("${libcs[@]}")
[ "${#missing[@]}" -eq 0 ] && [ "${#foreign[@]}" -eq 0 ] && exit 0

mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u | grep .)
mapfile -t foreign < <(printf '%s\n' "${foreign[@]}" | sort -u | grep .)
# dpkg takes each new foreign architecture, and gives it back if its
# packages do not install, leaving apt as it was.
added=()
for arch in "${foreign[@]}"; do
  if [ "$arch" != "$host" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    dpkg --add-architecture "$arch"
    added+=("$arch")
  fi
done
give_back() { for arch in "${added[@]}"; do dpkg --remove-architecture "$arch" || true; done; }
trap give_back EXIT
# apt's own progress is left out; its errors, which name the index or the
# package and the reason, are not.
if ! apt-get update -qq; then
  echo "tests/tools.sh: apt-get update failed (above), so ${missing[*]} cannot be installed" >&2
  exit 1
fi
[ "${#missing[@]}" -gt 0 ] || { trap - EXIT; exit 0; }
echo "installing: ${missing[*]}"
if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
  echo "tests/tools.sh: apt-get could not install ${missing[*]} (it needs root; its error is above)" >&2
  exit 1
fi
trap - EXIT
