#!/usr/bin/env bash
# Runs every fuzz target of a build folder, in one of two ways:
#
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
#     An open-ended campaign, bounded in time: each target starts from its
#     seeds (fuzz/corpus/<target>) and from what earlier runs in the same build
#     folder found (BUILD_DIR/fuzz-corpus/<target>), and adds what it finds there.
#
#   fuzz/run.sh --fixed BUILD_DIR RUNS [TARGET...]
#     The same check every time, for CI: each target replays its seeds and its
#     kept findings (fuzz/regressions/<target>), then mutates them with a fixed
#     random seed for a fixed number of runs. Nothing of earlier runs is read,
#     so a result depends on the code alone, never on what a run found before.
#
# An input that crashes, trips a sanitizer, runs past 10 s or leaks is kept in
# BUILD_DIR/fuzz-findings/ and the run fails. Prints the executions per target.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fixed=0
if [[ ${1:-} == --fixed ]]; then
  fixed=1
  shift
fi
build=$(cd "$1" && pwd)
budget=$2
shift 2
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  for f in "$build"/bin/fuzz_*; do targets+=("$(basename "$f" | sed 's/^fuzz_//')"); done
fi
# The random seed of the fixed runs; any change to it is a change of the check.
fixed_seed=20240601

mkdir -p "$build/fuzz-findings"
failed=()
for t in "${targets[@]}"; do
  dict=()
  [[ -f "$here/$t.dict" ]] && dict=(-dict="$here/$t.dict")
  log="$build/fuzz-findings/$t.log"
  common=(-timeout=10 -rss_limit_mb=2560 -max_len=4096 -print_final_stats=1 "${dict[@]}"
          -artifact_prefix="$build/fuzz-findings/$t-")
  if [[ $fixed -eq 1 ]]; then
    # libFuzzer writes what it finds into its first folder: a scratch one,
    # emptied each time, keeps the seeds as they are and the next run equal.
    scratch="$build/fuzz-scratch/$t"
    rm -rf "$scratch" && mkdir -p "$scratch"
    kept=()
    [[ -d "$here/regressions/$t" ]] && kept=("$here/regressions/$t")
    "$build/bin/fuzz_$t" "${common[@]}" -seed=$fixed_seed -runs="$budget" \
        "$scratch" "$here/corpus/$t" "${kept[@]}" >"$log" 2>&1
    status=$?
    rm -rf "$scratch"
    what="runs with seed $fixed_seed"
  else
    corpus="$build/fuzz-corpus/$t"
    mkdir -p "$corpus"
    "$build/bin/fuzz_$t" "${common[@]}" -max_total_time="$budget" \
        "$corpus" "$here/corpus/$t" >"$log" 2>&1
    status=$?
    what="runs in ${budget}s"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [[ $status -ne 0 ]]; then
    failed+=("$t")
    echo "fuzz $t: FINDING after ${runs:-?} runs; see $log" >&2
    grep -m 20 -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" >&2
  else
    echo "fuzz $t: ${runs:-?} $what, no finding"
  fi
done
[[ ${#failed[@]} -eq 0 ]] || { echo "fuzz: findings in ${failed[*]}" >&2; exit 1; }
