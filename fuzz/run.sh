#!/usr/bin/env bash
# Runs every fuzz target of a build folder for a bounded time each:
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
# Each target starts from its seeds (fuzz/corpus/<target>) and from what
# earlier runs in the same build folder found (BUILD_DIR/fuzz-corpus/<target>).
# An input that crashes, trips a sanitizer, runs past 10 s or leaks is kept in
# BUILD_DIR/fuzz-findings/ and the run fails. Prints the executions per target.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
seconds=$2
shift 2
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  for f in "$build"/bin/fuzz_*; do targets+=("$(basename "$f" | sed 's/^fuzz_//')"); done
fi

mkdir -p "$build/fuzz-findings"
failed=()
for t in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$t"
  mkdir -p "$corpus"
  dict=()
  [[ -f "$here/$t.dict" ]] && dict=(-dict="$here/$t.dict")
  log="$build/fuzz-findings/$t.log"
  "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
      -max_len=4096 -print_final_stats=1 "${dict[@]}" \
      -artifact_prefix="$build/fuzz-findings/$t-" "$corpus" "$here/corpus/$t" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [[ $status -ne 0 ]]; then
    failed+=("$t")
    echo "fuzz $t: FINDING after ${runs:-?} runs; see $log" >&2
    grep -m 20 -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" >&2
  else
    echo "fuzz $t: ${runs:-?} runs in ${seconds}s, no finding"
  fi
done
[[ ${#failed[@]} -eq 0 ]] || { echo "fuzz: findings in ${failed[*]}" >&2; exit 1; }
