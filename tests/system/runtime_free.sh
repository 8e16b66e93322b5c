#!/usr/bin/env bash
# No program links the C++ runtime's exception machinery: one library call
# that can throw (string_view::substr, array::at) pulls it in, and with it
# a start-up cost the benchmark's targets do not allow.
# usage: runtime_free.sh BUILD_DIR NM
set -u
build=$1 nm=$2
failed=0
mapfile -t programs < "$build/programs.txt"
for p in "${programs[@]}"; do
  symbols=$("$nm" "$build/bin/$p") || { echo "FAIL $p: $nm cannot read it"; failed=1; continue; }
  if grep -qE ' (__cxa_throw|__cxa_allocate_exception|_Unwind_RaiseException)$' <<< "$symbols"; then
    echo "FAIL $p links the exception machinery, for:"
    grep -E '_ZSt[0-9]+__throw_' <<< "$symbols" | head -n 5
    failed=1
  fi
done
if [ "$failed" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit "$failed"
