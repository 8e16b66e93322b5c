#!/usr/bin/env bash
# Every program is built hardened as distributions build: hardening-check
# must find a position-independent executable, read-only relocations and
# immediate binding, and a stack protector in every program that has a
# function with something on its stack to protect.
# usage: hardening.sh BUILD_DIR COMPILER_ID     (CMake's: GNU, Clang)
set -u
build=$1 compiler=$2
failed=0
# clang finds nothing to protect in hexnum and quadhex, which keep no array
# and no address-taken local on any stack frame, nor in splitcopy, whose
# buffer is never read and so dropped; g++ protects all three.
nothing_to_protect=" "
[ "$compiler" = Clang ] && nothing_to_protect=" hexnum quadhex splitcopy "
for p in $(cat "$build/programs.txt"); do
  report=$(hardening-check "$build/bin/$p")
  musts=("Position Independent Executable: yes" "Read-only relocations: yes" "Immediate binding: yes")
  [[ $nothing_to_protect == *" $p "* ]] || musts+=("Stack protected: yes")
  for must in "${musts[@]}"; do
    if ! grep -qF "$must" <<< "$report"; then
      echo "FAIL $p: no '$must'"
      failed=1
    fi
  done
done
if [ "$failed" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit "$failed"
