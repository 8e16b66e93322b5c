#!/usr/bin/env bash
# Runs one end-to-end case, NAME.in beside NAME.out, against a program: once
# with the input file as standard input and once through a pipe. Standard
# output must equal NAME.out byte for byte, standard error must stay empty
# and the exit status must be 0.
# usage: check.sh PROGRAM CASE.in [WRAPPER...]
#   WRAPPER, such as a valgrind command line, runs the program.
set -u
program=$1 input=$2
shift 2
wrapper=("$@")
expected=${input%.in}.out
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failed=0

check() {  # how status
  local how=$1 status=$2
  if [ "$status" -ne 0 ] || [ -s "$work/err" ] || ! cmp -s "$work/out" "$expected"; then
    failed=$((failed + 1))
    echo "FAIL $input ($how): exit $status"
    cmp "$expected" "$work/out"  # the first offset where they differ
    od -An -tx1 -c "$expected" > "$work/expected.dump"
    od -An -tx1 -c "$work/out" > "$work/actual.dump"
    diff -u "$work/expected.dump" "$work/actual.dump" | head -100
    echo "--- stderr"; head -5 "$work/err"
  fi
}

"${wrapper[@]}" "$program" < "$input" > "$work/out" 2> "$work/err"
check file $?
# shellcheck disable=SC2002 # the input through a pipe, not a file, is the case
cat "$input" | "${wrapper[@]}" "$program" > "$work/out" 2> "$work/err"
check pipe $?
echo "$((2 - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
