#!/usr/bin/env bash
# Installs with apt-get the tools the tests need beyond CMake and a
# compiler, those of them that are missing, with package names Debian 12
# and 13 share, and the COMMAND:PACKAGE pairs given besides; musl:ARCH asks
# for the musl build of another architecture: its musl-dev (dpkg then takes
# ARCH as a foreign architecture), its cross compiler's linker and helper
# library, and qemu-user. --quick asks only for what the quick loop and the
# musl preset need. A package Debian does not ship for this machine (a
# cross compiler some hosts lack, a foreign musl-dev) is left out, named
# with the reason; the tests that need it then say they cannot run.
# apt-get needs root: the test command runs this first.
# usage: tools.sh [--quick] [COMMAND:PACKAGE...] [musl:ARCH...]
set -euo pipefail
. "$(dirname "$0")/machines.sh"

quick=''
[ "${1:-}" = --quick ] && { quick=1; shift; }
pairs=() foreign=()
for arg in "$@"; do
  if [[ $arg == musl:* ]]; then
    arch=${arg#musl:}
    [ -n "${musl_of[$arch]:-}" ] || { echo "tests/tools.sh: Debian ships no musl for $arch" >&2; exit 1; }
    [ -e "${musl_libc_of[$arch]}" ] || foreign+=("$arch")
    pairs+=("${triple_of[$arch]}-gcc:gcc-${triple_of[$arch]}" "qemu-${qemu_of[$arch]}:qemu-user")
  else
    pairs+=("$arg")
  fi
done

needed=("${pairs[@]}" cmake:cmake g++:g++ clang++:clang python3:python3 strace:strace valgrind:valgrind
        groff:groff-base)
if [ -z "$quick" ]; then
  needed+=(man:man-db dpkg-shlibdeps:dpkg-dev lintian:lintian hardening-check:devscripts
           debootstrap:debootstrap git:git)
  # The cross tests' compilers (cmake/TestTools.cmake names the machines)
  # and their emulators.
  for arch in "${cross_tests[@]}"; do
    [ "$arch" = "$host" ] || needed+=("${triple_of[$arch]}-g++:${cross_of[$arch]}" "qemu-${qemu_of[$arch]}:qemu-user")
  done
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
# The musl build's C library, and libc++'s headers beside the default clang.
[ -e "${musl_libc_of[$host]:-}" ] || missing+=(musl-dev)
clang=$(realpath "$(command -v clang++)" 2>/dev/null) && [ -e "${clang%/bin/*}/include/c++/v1/span" ] ||
  missing+=(libc++-dev)
for arch in "${foreign[@]}"; do missing+=("musl-dev:$arch"); done
[ "${#missing[@]}" -eq 0 ] && exit 0

mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
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
# An index that fails to download (a mirror mid-sync) matters only if a
# package needed is then missing: the install says which. apt's own
# progress is left out; its errors, which name the package and the reason,
# are not.
apt-get update -qq || echo "tests/tools.sh: apt-get update failed on some index (above); installing from the rest"
. /etc/os-release
shipped=()
for package in "${missing[@]}"; do
  if [[ $(apt-cache policy "$package" 2>/dev/null) == *'Candidate: '[^\(]* ]]; then
    shipped+=("$package")
  else
    echo "tests/tools.sh: left out $package: Debian ${VERSION_ID:-} ships none for $host"
  fi
done
if [ "${#shipped[@]}" -gt 0 ]; then
  echo "installing: ${shipped[*]}"
  if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${shipped[@]}" >/dev/null; then
    give_back
    echo "tests/tools.sh: apt-get could not install ${shipped[*]} (it needs root; its error is above)" >&2
    exit 1
  fi
fi
# A foreign architecture none of whose packages came is given back.
for arch in "${added[@]}"; do
  [ -e "${musl_libc_of[$arch]}" ] || dpkg --remove-architecture "$arch" || true
done
