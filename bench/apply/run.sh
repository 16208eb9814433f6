#!/usr/bin/env bash
# tarnix apply --count (the engine on every row: --push-down off) against SQLite's own shell on the same 1,000,000-row
# file, side by side in one run: best of three each, the ratio of the
# wall-clock times, and the time per row. The two counts must agree.
# CPU time (user + system) is printed too: on a busy machine it is the
# steadier figure, though apply spends it on more than one core.
set -euo pipefail
source "$(dirname "$0")/../common/bench.sh"
need sqlite3

rows=1000000
db="$build/bench-apply/t-$rows.sqlite"
# The same file every time: each column a fixed function of the row number,
# with a NULL in A now and then so that Null takes part.
sqlite_file_once "$db" <<SQL
CREATE TABLE t(A REAL, B INTEGER, C TEXT);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $rows)
INSERT INTO t
SELECT CASE WHEN i % 997 = 0 THEN NULL ELSE (i * 7919 % 20000) / 10.0 END,
     i % 7,
     substr('nvTarnix', 1, i % 6)
FROM n;
SQL

rule='[A] > 1000 And [B] < 4 And Len([C]) > 3'
sql='SELECT count(*) FROM t WHERE A > 1000 AND B < 4 AND length(C) > 3'

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

contend apply "$tarnix" apply --database "$db" --table t --count --push-down off "$rule"
contend sqlite sqlite3 "$db" "$sql"

echo "rows:          $rows; $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "tarnix apply:  count $apply_count, best of 3: ${apply_wall} s wall, ${apply_cpu} s CPU"
echo "sqlite3:       count $sqlite_count, best of 3: ${sqlite_wall} s wall, ${sqlite_cpu} s CPU"
awk -v a="$apply_wall" -v s="$sqlite_wall" -v ac="$apply_cpu" -v sc="$sqlite_cpu" -v n="$rows" 'BEGIN {
  printf "ratio:         %.2f wall (goal <= 3), %.2f CPU\n", a / s, ac / sc
  printf "per row:       %.0f ns tarnix apply, %.0f ns sqlite3 (wall)\n", a * 1e9 / n, s * 1e9 / n
}'
if [[ "$apply_count" != "$sqlite_count" ]]; then
  echo "counts differ" >&2
  exit 1
fi
echo "counts equal"
