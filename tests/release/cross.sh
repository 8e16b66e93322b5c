#!/usr/bin/env bash
# Cross-builds the suite for a Debian architecture and runs its tests under
# qemu-user: every end-to-end case, the fuzz replays and the surroundings
# that depend on the machine's ABI. Needs Debian's cross compiler for ARCH
# (the cross column of cmake/machines.txt) and qemu-user (tests/tools.sh
# installs them for the cross tests).
# usage: cross.sh BUILD_DIR ARCH [CXXFLAGS]
#   e.g. cross.sh build-armhf armhf "-D_FORTIFY_SOURCE=3"
set -euo pipefail
build=$1 arch=$2 flags=${3:-}
cmake -S "$(dirname "$0")/../.." -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/Cross.cmake -DHEXSUITE_ARCH="$arch" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$flags" -DHEXSUITE_REQUIRE_TESTS=ON
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" -j "$(nproc)" --output-on-failure
