#!/usr/bin/env bash
# Every program is built hardened as distributions build: hardening-check
# must find a position-independent executable, read-only relocations and
# immediate binding, and a stack protector in every program that has a
# function with something on its stack to protect. A static program is
# judged by the same lines, read off it here: hardening-check takes a
# static-pie program for a shared library (it has no PHDR header) and looks
# for the protector among the symbols a dynamic loader binds (it has none).
# usage: hardening.sh BUILD_DIR COMPILER_ID [OBJDUMP]
#   COMPILER_ID is CMake's (GNU, Clang); OBJDUMP, the build's own, reads a
#   cross build's static programs.
set -u
build=$1 compiler=$2 objdump=${3:-objdump}
failed=0
# clang finds nothing to protect in hexnum and quadhex, which keep no array
# and no address-taken local on any stack frame, nor in splitcopy, whose
# buffer is never read and so dropped; g++ protects all three.
nothing_to_protect=" "
[ "$compiler" = Clang ] && nothing_to_protect=" hexnum quadhex splitcopy "

static_report() {  # program
  local headers
  headers=$(readelf -lW -dW "$1")
  grep -q 'file type is DYN' <<< "$headers" && echo "Position Independent Executable: yes"
  grep -q 'GNU_RELRO' <<< "$headers" && echo "Read-only relocations: yes"
  grep -q 'BIND_NOW' <<< "$headers" && echo "Immediate binding: yes"
  # In the program's own code (its C++ functions and main), not the C library's.
  "$objdump" -d "$1" | awk '/^[0-9a-f]+ <.*>:$/ { own = ($2 ~ /^<(_Z|main>)/) }
                         own && /<__stack_chk_fail(_local)?>$/ { found = 1 } END { exit !found }' &&
    echo "Stack protected: yes"
}

for p in $(cat "$build/programs.txt"); do
  if readelf -lW "$build/bin/$p" | grep -q INTERP; then
    report=$(hardening-check "$build/bin/$p")
  else
    report=$(static_report "$build/bin/$p")
  fi
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
