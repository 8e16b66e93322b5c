# shellcheck shell=bash
# One build and its tests (sourced): build_and_test LABEL BUILD LOG
# [CMAKE_ARG...] configures BUILD, builds it, fails on any warning, runs its
# tests with the ctest options in the array ctest_options, each command
# through the array runner where set (in_root: paths are the root's); it
# prints LABEL and how many passed, or the end of LOG and returns 1.
runner=() ctest_options=()
build_and_test() {  # label build log [cmake arg...]
  local label=$1 build=$2 log=$3 start=$SECONDS passed jobs
  shift 3
  jobs=$(nproc)
  if "${runner[@]}" cmake "$@" -B "$build" >"$log" 2>&1 &&
     "${runner[@]}" cmake --build "$build" -j "$jobs" >>"$log" 2>&1 &&
     ! grep -in warning "$log" &&
     "${runner[@]}" ctest --test-dir "$build" -j "$jobs" --output-on-failure "${ctest_options[@]}" >>"$log" 2>&1; then
    passed=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log")
    echo "$label: $passed tests passed, no warning ($(( SECONDS - start )) s)"
  else
    echo "$label: FAILED; $log ends:"
    tail -n 40 "$log"
    return 1
  fi
}

# The newest clang++-N on the PATH, or clang++ where there is none.
newest_clang() {
  compgen -c | grep -E '^clang\+\+-[0-9]+$' | sort -V | tail -n 1 | grep . || echo clang++
}
