#!/usr/bin/env bash
# Times the loop benchmark under our engine (tarnix run) and, where wine is
# installed, under wine's cscript with the same file, side by side.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
tarnix="$build/bin/tarnix"
if [[ ! -x "$tarnix" ]]; then
  echo "tarnix not built in $build (cmake --build $build --target tarnix)" >&2
  exit 1
fi
echo "-- tarnix run"
# The machine may be shared: CPU time (user) is the fairer figure than the
# wall-clock times the script prints.
/usr/bin/time -f "   total %e s wall, %U s user, peak memory %M KB" "$tarnix" run "$here/loops.vbs"
if command -v wine >/dev/null 2>&1; then
  echo "-- wine cscript"
  /usr/bin/time -f "   total %e s wall, %U s user" wine cscript //nologo "$(winepath -w "$here/loops.vbs" 2>/dev/null || echo "$here/loops.vbs")"
else
  echo "-- wine not installed: side-by-side run skipped"
fi
echo "-- repeated Eval in one ScriptControl"
"$build/bin/bench_engine_eval"
