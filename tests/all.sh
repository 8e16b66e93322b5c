#!/usr/bin/env bash
# Builds the suite and runs every test: the one command the README gives and
# CI runs. It installs what the tests need, so it runs as root. In order:
# the default build with all its tests (the cross builds of the table's
# crosstest machines among them) and its unit tests as one shuffled
# process; the quick loop with this release's oldest g++ and clang and its
# newest clang; the static builds, on glibc and on musl; the musl build of
# every other architecture the release ships musl for; the sanitizer build;
# the README followed in a fresh root of the other Debian release; the
# release command twice; every fuzz target. docs/testing.md says what each
# proves.
# FUZZ_SECONDS sets the time per fuzz target (default 20; 0 skips them).
set -euo pipefail
cd "$(dirname "$0")/.."

# The oldest compilers of each release, where a new C++20 feature breaks
# first (the newest are its default g++ and newest clang); and the
# architectures it ships musl for, from the table of machines.
. /etc/os-release
case ${VERSION_CODENAME:-} in
  bookworm) oldest=(g++-11:g++-11 clang++-14:clang-14) ;;
  trixie) oldest=(g++-12:g++-12 clang++-17:clang-17) ;;
  *) oldest=() ;;
esac
. tests/machines.sh
# A cross test or another architecture's musl build is left out only where
# the table of machines says Debian ships no compiler for it here; what
# the rest need is then installed, or the run fails.
crosses=() musls=()
for test in "${cross_tests[@]/#/cross.}" ${musl_in[${VERSION_CODENAME:-}]// / musl.}; do
  arch=${test#*.}
  if [ -z "${reachable[$arch]:-}" ]; then
    echo "all.sh: left out $test: cmake/machines.txt says Debian ships ${cross_of[$arch]} for ${hosts_of[$arch]}, not $host"
  elif [ "$test" = "cross.$arch" ]; then crosses+=("$arch")
  elif [ "$arch" != "$host" ]; then musls+=("$arch")
  fi
done
bash tests/tools.sh "${oldest[@]}" "${musls[@]/#/musl:}"  # as root: it installs what is missing
jobs=$(nproc)

# A test tool that is still missing fails the configure step, loudly.
cmake --preset default -DHEXSUITE_REQUIRE_TESTS=ON -DHEXSUITE_CROSS_TESTS="${crosses[*]}"
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

# Each test alone passes in any order, in one process too.
build/test-bin/unit_tests --gtest_shuffle --gtest_repeat=3 --gtest_brief=1

# shellcheck source=tests/build.sh
. tests/build.sh
mapfile -t compilers < <(printf '%s\n' "${oldest[@]%%:*}" "$(newest_clang)" | grep . | sort -u)
bash tests/compilers.sh "${compilers[@]}"

for preset in static musl; do
  cmake --preset "$preset" -DHEXSUITE_REQUIRE_TESTS=ON
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
# The musl programs of every other architecture the release ships musl for,
# under qemu-user.
[ "${#musls[@]}" -eq 0 ] || bash tests/musl.sh "${musls[@]}"

cmake --preset sanitize -DHEXSUITE_REQUIRE_TESTS=ON
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

# The README followed on a fresh root of the other supported Debian release,
# kept for the release command; then that twice, for this machine's
# architecture, one other and one whose musl only the other release ships,
# built in that root.
if [ "${VERSION_CODENAME:-}" = trixie ]; then other=bookworm; else other=trixie; fi
bash tests/debian.sh "$other" "build-root-$other" keep
only_there=()
for arch in ${musl_in[$other]}; do
  [[ ,${releases_of[$arch]}, == *,${VERSION_CODENAME:-},* ]] || only_there+=("$arch")
done
bash tests/release/release_sums.sh "build-root-$other" "$host" "${musls[@]:0:1}" "${only_there[@]:0:1}"

seconds=${FUZZ_SECONDS:-20}
if [ "$seconds" -gt 0 ]; then
  cmake --preset fuzz
  cmake --build --preset fuzz -j "$jobs"
  bash fuzz/run.sh build-fuzz "$seconds"
fi
