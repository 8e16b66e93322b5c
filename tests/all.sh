#!/usr/bin/env bash
# Builds the suite and runs every test: the one command the README gives and
# CI runs. Installs the few tools the tests use when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

# tool:package pairs the tests need beyond a C++ toolchain.
needed=(cmake:cmake g++:g++ python3:python3 strace:strace)
missing=()
for pair in "${needed[@]}"; do
  command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
done
[ -e /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
if [ "${#missing[@]}" -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update -qq && apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
ctest --test-dir build -j "$(nproc)" --output-on-failure
