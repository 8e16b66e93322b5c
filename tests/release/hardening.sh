#!/usr/bin/env bash
# Every program is built hardened as distributions build: hardening-check
# must find a position-independent executable, read-only relocations and
# immediate binding, a stack protector in every program that has a
# function with something on its stack to protect, and control-flow
# protection in its own code where the processor has it. A static program is
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

# The machine the programs are for, and what it cannot have: MIPS keeps its
# GOT writable, so a program with no other relocated data has nothing read-
# only after relocation; control-flow protection is CET's landing pads on
# x86 and pointer authentication or branch targets on arm64, and no other
# processor has one the compilers offer.
machine=$(readelf -h "$build/bin/$(head -n 1 "$build/programs.txt")" | sed -n 's/^ *Machine: *//p')
case $machine in
  *X86-64) landing='endbr64' ;;
  *80386) landing='endbr32' ;;
  AArch64) landing='paciasp|bti' ;;
  *) landing=''; echo "Control-flow protection: none on $machine" ;;
esac
relro="Read-only relocations: yes"
[[ $machine == MIPS* ]] && { relro=''; echo "Read-only relocations: not required on $machine"; }

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

for p in $(cat "$build/programs.txt"); do
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
