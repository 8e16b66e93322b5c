#!/usr/bin/env bash
# Builds the suite and runs every test: the one command the README gives and
# CI runs. It installs what the tests need, so it runs as root. In order:
# the default (hardened) build with all its tests, the package, its
# reproducibility and the cross builds for armhf, s390x and riscv64 run
# under qemu-user among them; the same configuration built by the newest
# clang, with the tests of its code and programs; the static build with the
# tests that run its programs; the tests again built with clang's
# AddressSanitizer and UndefinedBehaviorSanitizer; the README followed in a
# fresh root of the other Debian release (13 on 12, 12 on 13), with a g++
# and a clang build there; and a short run of every fuzz target.
# FUZZ_SECONDS sets the time per fuzz target (default 20; 0 skips them).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tests/tools.sh  # as root: it installs what is missing
jobs=$(nproc)

# A test tool that is still missing fails the configure step, loudly.
cmake --preset default -DHEXSUITE_REQUIRE_TESTS=ON
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

# The newest clang the machine has.
clang=$(compgen -c | grep -E '^clang\+\+-[0-9]+$' | sort -V | tail -n 1 || true)
CXX=${clang:-clang++} cmake -S . -B build-clang -DHEXSUITE_REQUIRE_TESTS=ON
cmake --build build-clang -j "$jobs"
ctest --test-dir build-clang -j "$jobs" -LE release --output-on-failure

cmake --preset static -DHEXSUITE_REQUIRE_TESTS=ON
cmake --build --preset static -j "$jobs"
ctest --preset static -j "$jobs"

cmake --preset sanitize -DHEXSUITE_REQUIRE_TESTS=ON
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

# The README followed on a fresh root of the other supported Debian release.
. /etc/os-release
if [ "${VERSION_CODENAME:-}" = trixie ]; then other=bookworm; else other=trixie; fi
bash tests/debian.sh "$other" "build-$other"

seconds=${FUZZ_SECONDS:-20}
if [ "$seconds" -gt 0 ]; then
  cmake --preset fuzz
  cmake --build --preset fuzz -j "$jobs"
  bash fuzz/run.sh build-fuzz "$seconds"
fi
