#!/usr/bin/env bash
# Runs every benchmark that `make bench` built and prints their figures.
set -euo pipefail
build=${1:-build}
shopt -s nullglob
for b in "$build"/bin/bench_*; do
  [[ -x "$b" ]] || continue
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen "$b"
done
for s in bench/*/run.sh; do
  echo "== $s"
  bash "$s" "$build"
done
