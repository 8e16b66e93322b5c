#!/usr/bin/env bash
# Every program is built hardened as distributions build: hardening-check
# must find a position-independent executable, read-only relocations and
# immediate binding, a stack protector in every program that has a
# function with something on its stack to protect, and control-flow
# protection in its own code where the processor has it. A static program is
# judged by the same lines, read off it here: hardening-check takes a
# static-pie program for a shared library (it has no PHDR header) and looks
# for the protector among the symbols a dynamic loader binds (it has none).
# usage: hardening.sh BUILD_DIR COMPILER_ID OBJDUMP cfi=CFI relro=RELRO
#   COMPILER_ID is CMake's (GNU, Clang); OBJDUMP, the build's own, reads a
#   cross build's static programs; CFI and RELRO are the columns of the
#   programs' machine in cmake/machines.txt.
set -u
build=$1 compiler=$2 objdump=$3 landing=${4#cfi=} relro=${5#relro=}
failed=0
# clang finds nothing to protect in hexnum and quadhex, which keep no array
# and no address-taken local on any stack frame, nor in splitcopy, whose
# buffer is never read and so dropped; g++ protects all three.
nothing_to_protect=" "
[ "$compiler" = Clang ] && nothing_to_protect=" hexnum quadhex splitcopy "

# What the machine cannot have, as the table says: control-flow protection
# where its processor has none the compilers offer, read-only relocations
# where it keeps its GOT writable.
[ -n "$landing" ] || echo "Control-flow protection: none on this processor"
if [ "$relro" = no ]; then
  relro=''
  echo "Read-only relocations: not required on this processor"
else
  relro="Read-only relocations: yes"
fi

own_code() {  # program: its C++ functions and main, not the C library's
  "$objdump" -d "$1" | awk '/^[0-9a-f]+ <.*>:$/ { own = ($2 ~ /^<(_Z|main>)/) } own'
}

static_report() {  # program
  local headers
  headers=$(readelf -lW -dW "$1")
  grep -q 'file type is DYN' <<< "$headers" && echo "Position Independent Executable: yes"
  grep -q 'GNU_RELRO' <<< "$headers" && echo "Read-only relocations: yes"
  grep -q 'BIND_NOW' <<< "$headers" && echo "Immediate binding: yes"
  own_code "$1" | grep -qE '<__stack_chk_fail(_local)?>$' && echo "Stack protected: yes"
}

mapfile -t programs < "$build/programs.txt"
for p in "${programs[@]}"; do
  if readelf -lW "$build/bin/$p" | grep -q INTERP; then
    report=$(hardening-check "$build/bin/$p")
  else
    report=$(static_report "$build/bin/$p")
  fi
  [ -z "$landing" ] || ! own_code "$build/bin/$p" | grep -qE "\s($landing)\b" ||
    report+=$'\nControl-flow protection: yes'
  musts=("Position Independent Executable: yes" "Immediate binding: yes")
  [ -z "$relro" ] || musts+=("$relro")
  [ -z "$landing" ] || musts+=("Control-flow protection: yes")
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
