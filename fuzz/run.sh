#!/usr/bin/env bash
# Runs every fuzz target for a fixed time, seeded from the end-to-end inputs
# and the target's regression inputs, and fails at the end if any target
# found something. A finding's input is left in fuzz-findings/NAME/ at the
# top of the tree (ignored by git): add it under fuzz/regressions/NAME/
# before fixing it.
# usage: fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET [CORPUS_DIR]
#   CORPUS_DIR keeps what the fuzzers learn between runs; without it the
#   corpus lives in a temporary folder, removed at the end.
set -u
build=$1 seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ge 3 ]; then
  corpus=$3
else
  corpus=$(mktemp -d) || exit 1
  trap 'rm -rf "$corpus"' EXIT
fi
failed=0 ran=0
for target in "$build"/bin/*_fuzz; do
  name=$(basename "$target" _fuzz)
  findings="$root/fuzz-findings/$name"
  mkdir -p "$corpus/$name" "$findings"
  ran=$((ran + 1))
  regressions=()
  [ -d "$root/fuzz/regressions/$name" ] && regressions=("$root/fuzz/regressions/$name/")
  if "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/" \
       "$corpus/$name" "$root"/tests/e2e/*/ "${regressions[@]}" > "$corpus/$name.log" 2>&1; then
    echo "$name: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$corpus/$name.log" | grep -o '[0-9]*$') executions, no finding"
    rmdir "$findings" 2>/dev/null
  else
    failed=$((failed + 1))
    echo "FAIL $name: findings in $findings"
    tail -40 "$corpus/$name.log"
  fi
done
rmdir "$root/fuzz-findings" 2>/dev/null
echo "$((ran - failed)) passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$ran" -gt 0 ]
