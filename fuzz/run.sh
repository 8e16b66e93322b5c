#!/usr/bin/env bash
# Runs every fuzz target for a fixed time, seeded from the end-to-end
# inputs, and fails on the first finding.
# usage: fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET [CORPUS_DIR]
#   CORPUS_DIR keeps what the fuzzers learn between runs (default: a
#   temporary folder). Findings are left in the current directory.
set -u
build=$1 seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${3:-$(mktemp -d)}
failed=0 ran=0
for target in "$build"/bin/*_fuzz; do
  name=$(basename "$target")
  mkdir -p "$corpus/$name"
  ran=$((ran + 1))
  # Inputs that once found a fault are kept under fuzz/regressions/ and
  # seed their target's every run.
  regressions=()
  [ -d "$root/fuzz/regressions/${name%_fuzz}" ] && regressions=("$root/fuzz/regressions/${name%_fuzz}/")
  if "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus/$name" \
       "$root"/tests/e2e/*/ "${regressions[@]}" > "$corpus/$name.log" 2>&1; then
    echo "$name: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$corpus/$name.log" | grep -o '[0-9]*$') executions, no finding"
  else
    failed=$((failed + 1))
    echo "FAIL $name"
    tail -40 "$corpus/$name.log"
  fi
done
echo "$((ran - failed)) passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$ran" -gt 0 ]
