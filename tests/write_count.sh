#!/usr/bin/env bash
# The byte-wise writers open, write and close standard output once per
# output character and do nothing more: counted with strace.
# usage: write_count.sh BINDIR
set -u
bin=$1
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failed=0

expect() {  # what expected actual
  if [ "$2" != "$3" ]; then
    echo "FAIL $1: expected $2, got $3"
    failed=1
  fi
}

count() {  # pattern
  grep -cE "$1" "$work/trace"
}

# program, input, number of output characters
while read -r program input chars; do
  printf "$input" > "$work/in"
  strace -o "$work/trace" -e trace=open,openat,write,close "$bin/$program" < "$work/in" > "$work/out" 2>/dev/null
  expect "$program '$input' output length" "$chars" "$(wc -c < "$work/out")"
  expect "$program '$input' opens of /dev/stdout" "$chars" "$(count 'open.*"/dev/stdout"')"
  expect "$program '$input' one-byte writes" "$chars" "$(count '^write\(.*, 1\) += 1$')"
  expect "$program '$input' writes" "$chars" "$(count '^write\(')"
  # Every descriptor opened is closed once: stdout per character, stdin once.
  expect "$program '$input' closes" "$(count '^open')" "$(count '^close\(')"
done <<'CASES'
hexecho Hi\n 10
hexecho \0 1
hexecho \xff\x80 7
hexecho - 4
bytewalk - 26
CASES

if [ "$failed" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit "$failed"
