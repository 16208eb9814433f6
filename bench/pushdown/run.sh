#!/usr/bin/env bash
# tarnix apply --count with the rule run inside SQLite (--push-down auto)
# against sqlite3 running the same SQL written by hand, and against the
# engine on every row (--push-down off), on 1,000,000 rows of a STRICT table
# with an index on the amount. Best of three wall-clock times each; the
# counts must agree.
set -euo pipefail
source "$(dirname "$0")/../common/bench.sh"
need sqlite3

rows=1000000
db="$build/bench-pushdown/orders-$rows.sqlite"
sqlite_file_once "$db" <<SQL
CREATE TABLE orders(id INTEGER PRIMARY KEY, amount REAL, qty INTEGER, name TEXT) STRICT;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $rows)
INSERT INTO orders
SELECT i, CASE WHEN i % 997 = 0 THEN NULL ELSE (i * 7919 % 200000) / 100.0 END, i % 7,
     substr('nvTarnix', 1, i % 6) FROM n;
CREATE INDEX orders_amount ON orders(amount);
SQL

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

compare() {  # name, rule, hand-written SQL
  local auto= off= hand= c_auto c_off c_hand round
  for round in 1 2 3; do
    timed "$tarnix" apply --database "$db" --table orders --key id --count "$2"; c_auto=$out; auto=$(least "$auto" "$wall")
    timed "$tarnix" apply --database "$db" --table orders --key id --count --push-down off "$2"; c_off=$out; off=$(least "$off" "$wall")
    timed sqlite3 "$db" "$3"; c_hand=$out; hand=$(least "$hand" "$wall")
  done
  echo "$1: $2"
  echo "  counts: auto $c_auto, off $c_off, sqlite3 $c_hand"
  awk -v a="$auto" -v o="$off" -v h="$hand" 'BEGIN {
    printf "  auto %.3f s, off %.3f s, sqlite3 %.3f s: auto/sqlite3 %.2f (goal <= 1.3), off/auto %.1f\n", a, o, h, a / h, o / a }'
  [[ "$c_auto" == "$c_off" && "$c_auto" == "$c_hand" ]] || { echo "counts differ" >&2; exit 1; }
}

echo "rows: $rows; $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
compare "complete rule, every row scanned" '[qty] < 4 And [amount] > 1000 And Len([name]) > 3' \
  'SELECT count(*) FROM orders WHERE qty < 4 AND amount > 1000 AND length(name) > 3'
compare "1 % of the rows, through the index (goal: off/auto >= 20)" '[amount] >= 1980' \
  'SELECT count(*) FROM orders WHERE amount >= 1980'
