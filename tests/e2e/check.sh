#!/usr/bin/env bash
# Runs every case NAME.in / NAME.out in a folder against one program, once
# with the input file as standard input and once through a pipe, and
# compares standard output byte for byte. Standard error must stay empty and
# the exit status must be 0.
# usage: check.sh PROGRAM CASE_DIR [WRAPPER...]
#   WRAPPER, such as a valgrind command line, runs the program.
set -u
program=$1 dir=$2
shift 2
wrapper=("$@")
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failed=0 ran=0

check() {  # name how actual_file status
  local name=$1 how=$2 status=$4
  ran=$((ran + 1))
  if [ "$status" -ne 0 ] || [ -s "$work/err" ] || ! cmp -s "$3" "$dir/$name.out"; then
    failed=$((failed + 1))
    echo "FAIL $name ($how): exit $status"
    echo "--- expected"; od -An -c "$dir/$name.out" | head -20
    echo "--- actual";   od -An -c "$3" | head -20
    echo "--- stderr";   head -5 "$work/err"
  fi
}

for input in "$dir"/*.in; do
  name=$(basename "$input" .in)
  "${wrapper[@]}" "$program" < "$input" > "$work/out" 2> "$work/err"
  check "$name" file "$work/out" $?
  cat "$input" | "${wrapper[@]}" "$program" > "$work/out" 2> "$work/err"
  check "$name" pipe "$work/out" $?
done
echo "$((ran - failed)) passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$ran" -gt 0 ]
