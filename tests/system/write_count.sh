#!/usr/bin/env bash
# The direct writers make one write per piece of output and nothing more:
# counted with strace. Into a pipe every write opens and closes
# "/dev/stdout" afresh; into a regular file they all go through descriptor 1,
# each an append of its own by the write's RWF_APPEND.
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

# program, input (none: empty), output into, output bytes, writes, one-byte writes
while read -r program input into bytes writes single; do
  # shellcheck disable=SC2059 # the table's input is a format: its escapes are the bytes
  if [ "$input" = none ]; then : > "$work/in"; else printf "$input" > "$work/in"; fi
  what="$program '$input' into a $into"
  if [ "$into" = pipe ]; then
    timeout 60 strace -o "$work/trace" -e trace=open,openat,write,pwritev2,close "$bin/$program" < "$work/in" 2>/dev/null | cat > "$work/out"
    opens=$writes appends=0
  else
    timeout 60 strace -o "$work/trace" -e trace=open,openat,write,pwritev2,close "$bin/$program" < "$work/in" > "$work/out" 2>/dev/null
    opens=0 appends=$writes
  fi
  expect "$what: output length" "$bytes" "$(wc -c < "$work/out")"
  expect "$what: opens of /dev/stdout" "$opens" "$(count 'open.*"/dev/stdout"')"
  expect "$what: writes" "$writes" "$(count '^(write|pwritev2)\(')"
  expect "$what: appends by the kernel's own flag" "$appends" "$(count '^pwritev2\(.*RWF_APPEND')"
  expect "$what: one-byte writes" "$single" "$(count '^(write\(.*, 1\)|pwritev2\(.*iov_len=1\}.*\)) += 1$')"
  # Every descriptor opened is closed once: stdout per write, stdin once.
  expect "$what: closes" "$(count '^open')" "$(count '^close\(')"
done <<'CASES'
hexecho Hi\n pipe 10 10 10
hexecho \0 pipe 1 1 1
hexecho \xff\x80 pipe 7 7 7
hexecho - pipe 4 4 4
hexecho Hi\n file 10 10 10
bytewalk - pipe 26 26 26
hexscreen hi\n pipe 60 8 3
hexscreen none pipe 40 8 3
CASES

if [ "$failed" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit "$failed"
