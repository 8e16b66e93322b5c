#!/usr/bin/env bash
# Installs with apt-get the tools the tests need beyond CMake and a
# compiler, those of them that are missing, with package names Debian 12
# and 13 share, and the COMMAND:PACKAGE pairs given besides; musl:ARCH asks
# for the musl build of another architecture: its musl-dev (dpkg then takes
# ARCH as a foreign architecture), its cross compiler's linker and helper
# library, and qemu-user. apt-get needs root: the test command runs this
# first.
# usage: tools.sh [COMMAND:PACKAGE...] [musl:ARCH...]
set -euo pipefail
. "$(dirname "$0")/machines.sh"

pairs=() foreign=()
for arg in "$@"; do
  if [[ $arg == musl:* ]]; then
    arch=${arg#musl:}
    [ -n "${musl_of[$arch]:-}" ] || { echo "tests/tools.sh: Debian ships no musl for $arch" >&2; exit 1; }
    musl_installed "$arch" || foreign+=("$arch")
    pairs+=("${triple_of[$arch]}-gcc:gcc-${triple_of[$arch]}" "qemu-${qemu_of[$arch]}:qemu-user")
  else
    pairs+=("$arg")
  fi
done

needed=("${pairs[@]}" cmake:cmake g++:g++ clang++:clang python3:python3 strace:strace valgrind:valgrind
        groff:groff-base man:man-db dpkg-shlibdeps:dpkg-dev lintian:lintian
        hardening-check:devscripts debootstrap:debootstrap git:git
        arm-linux-gnueabihf-g++:crossbuild-essential-armhf
        s390x-linux-gnu-g++:crossbuild-essential-s390x riscv64-linux-gnu-g++:g++-riscv64-linux-gnu
        mipsel-linux-gnu-g++:g++-mipsel-linux-gnu
        qemu-arm:qemu-user qemu-s390x:qemu-user qemu-riscv64:qemu-user qemu-mipsel:qemu-user)
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
musl_installed "$(host_arch)" || missing+=(musl-dev)
clang=$(realpath "$(command -v clang++)" 2>/dev/null) && [ -e "${clang%/bin/*}/include/c++/v1/span" ] ||
  missing+=(libc++-dev)
for arch in "${foreign[@]}"; do missing+=("musl-dev:$arch"); done
[ "${#missing[@]}" -eq 0 ] && exit 0

mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
echo "installing: ${missing[*]}"
# dpkg takes each new foreign architecture, and gives it back if its
# packages do not install, leaving apt as it was.
added=()
for arch in "${foreign[@]}"; do
  if [ "$arch" != "$(dpkg --print-architecture)" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    dpkg --add-architecture "$arch"
    added+=("$arch")
  fi
done
# An index that fails to download (a mirror mid-sync) matters only if a
# package needed is then missing: the install says which. apt's own
# progress is left out; its errors, which name the package and the reason,
# are not.
apt-get update -qq || echo "tests/tools.sh: apt-get update failed on some index (above); installing from the rest"
if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
  for arch in "${added[@]}"; do dpkg --remove-architecture "$arch" || true; done
  echo "tests/tools.sh: apt-get could not install ${missing[*]} (it needs root; its error is above)" >&2
  exit 1
fi
