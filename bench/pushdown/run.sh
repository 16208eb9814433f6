#!/usr/bin/env bash
# tarnix apply --count with the rule run inside SQLite (--push-down auto)
# against sqlite3 running the same SQL written by hand, and against the
# engine on every row (--push-down off), on 1,000,000 rows of a STRICT table
# with an index on the amount. Each contender's time is the best of three
# rounds, a round the mean wall-clock time of one or more runs in a row; the
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

# `runs` runs in a row; the output is the last one's.
repeat() {
  local runs=$1 i
  shift
  for ((i = 1; i < runs; i++)); do "$@" >/dev/null; done
  "$@"
}

compare() {  # name, runs a round, rule, hand-written SQL
  # A round times `runs` runs in a row and takes their mean: a run of a few
  # milliseconds is timed over many, as one run's time is no finer than a
  # millisecond and the shell's start of it weighs on so short a run.
  local auto= off= hand= c_auto c_off c_hand round runs=$2
  for round in 1 2 3; do
    timed repeat "$runs" "$tarnix" apply --database "$db" --table orders --key id --count "$3"; c_auto=$out; auto=$(least "$auto" "$wall")
    timed repeat "$runs" "$tarnix" apply --database "$db" --table orders --key id --count --push-down off "$3"; c_off=$out; off=$(least "$off" "$wall")
    timed repeat "$runs" sqlite3 "$db" "$4"; c_hand=$out; hand=$(least "$hand" "$wall")
  done
  echo "$1: $3"
  echo "  counts: auto $c_auto, off $c_off, sqlite3 $c_hand"
  awk -v a="$auto" -v o="$off" -v h="$hand" -v n="$runs" 'BEGIN {
    a /= n; o /= n; h /= n
    printf "  auto %.4f s, off %.4f s, sqlite3 %.4f s a run (mean of %d, best of 3 rounds): auto/sqlite3 %.2f (goal <= 1.3), off/auto %.1f\n", a, o, h, n, a / h, o / a }'
  [[ "$c_auto" == "$c_off" && "$c_auto" == "$c_hand" ]] || { echo "counts differ" >&2; exit 1; }
}

echo "rows: $rows; $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
compare "complete rule, every row scanned" 1 '[qty] < 4 And [amount] > 1000 And Len([name]) > 3' \
  'SELECT count(*) FROM orders WHERE qty < 4 AND amount > 1000 AND length(name) > 3'
compare "1 % of the rows, through the index (goal: off/auto >= 20)" 20 '[amount] >= 1980' \
  'SELECT count(*) FROM orders WHERE amount >= 1980'
