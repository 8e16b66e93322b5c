#!/usr/bin/env bash
# Installs with apt-get the tools the tests need beyond CMake and a
# compiler, those of them that are missing, with package names Debian 12
# and 13 share, and the COMMAND:PACKAGE pairs given besides. apt-get needs
# root: the test command runs this first.
# usage: tools.sh [COMMAND:PACKAGE...]
set -euo pipefail

needed=("$@" cmake:cmake g++:g++ clang++:clang python3:python3 strace:strace valgrind:valgrind
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
[ -e "/usr/lib/$(uname -m)-linux-musl/libc.a" ] || missing+=(musl-dev)
clang=$(realpath "$(command -v clang++)" 2>/dev/null) && [ -e "${clang%/bin/*}/include/c++/v1/span" ] ||
  missing+=(libc++-dev)
[ "${#missing[@]}" -eq 0 ] && exit 0

mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
echo "installing: ${missing[*]}"
# apt's own progress is left out; its errors, which name the package and
# the reason, are not.
if ! { apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
         apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; }; then
  echo "tests/tools.sh: apt-get could not install ${missing[*]} (it needs root; its error is above)" >&2
  exit 1
fi
