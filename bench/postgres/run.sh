#!/usr/bin/env bash
# tarnix apply --count against psql running the same rule as SQL, over
# 1,000,000 rows of a PostgreSQL table on a server of the benchmark's own,
# reached through a Unix socket: best of three each, the ratio of the
# wall-clock times, and the time per row. The two counts must agree.
# The server's CPU time is not in either figure: both wait for it alike.
set -euo pipefail
build=${1:-build}
tarnix="$build/bin/tarnix"
if [[ ! -x "$tarnix" ]]; then
  echo "tarnix not built in $build (cmake --build $build --target tarnix)" >&2
  exit 1
fi
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [[ -z "$bin" || ! -x "$bin/initdb" ]] || ! command -v psql >/dev/null; then
  echo "PostgreSQL not installed (scripts/install-deps.sh)" >&2
  exit 1
fi

# A cluster in a temporary folder, as the tests make theirs: initdb refuses
# root, so as root the server runs as the postgres user.
cluster=$(mktemp -d /tmp/nvtarnix-bench-pg-XXXXXX)
as_server=()
if [[ $(id -u) -eq 0 ]]; then
  chown postgres: "$cluster"
  as_server=(runuser -u postgres --)
fi
stop() {
  "${as_server[@]}" "$bin/pg_ctl" -D "$cluster/data" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$cluster"
}
trap stop EXIT
"${as_server[@]}" "$bin/initdb" -D "$cluster/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
  --no-sync >"$cluster/initdb.log" 2>&1
"${as_server[@]}" "$bin/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w \
  -o "-k $cluster -c listen_addresses='' -c fsync=off -c synchronous_commit=off" start >/dev/null

rows=1000000
conninfo="host=$cluster user=postgres dbname=postgres"
# The same rows as the SQLite benchmark's: each column a fixed function of
# the row number, with a NULL in a now and then so that Null takes part.
psql -X -q -v ON_ERROR_STOP=1 "$conninfo" <<SQL
CREATE TABLE t (a float8, b int4, c text);
INSERT INTO t
SELECT CASE WHEN i % 997 = 0 THEN NULL ELSE (i * 7919 % 20000) / 10.0 END,
       i % 7,
       substr('nvTarnix', 1, (i % 6)::int4)
FROM generate_series(1, $rows::int8) AS i;
VACUUM ANALYZE t;
SQL

rule='[A] > 1000 And [B] < 4 And Len([C]) > 3'
sql='SELECT count(*) FROM t WHERE a > 1000 AND b < 4 AND length(c) > 3'

scratch="$cluster/timing"
mkdir -p "$scratch"
# Runs a command; leaves its output in $out, its wall-clock and CPU seconds
# in $wall and $cpu.
timed() {
  local TIMEFORMAT='%R %U %S'
  { time "$@" >"$scratch/out" 2>"$scratch/err"; } 2>"$scratch/time"
  out=$(<"$scratch/out")
  read -r wall user sys <"$scratch/time"
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.3f", u + s }')
}
least() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }

apply_wall= apply_cpu= psql_wall= psql_cpu=
for round in 1 2 3; do
  timed "$tarnix" apply --postgres "$conninfo" --table t --count "$rule"
  apply_count=$out; apply_wall=$(least "$apply_wall" "$wall"); apply_cpu=$(least "$apply_cpu" "$cpu")
  timed psql -X -A -t "$conninfo" -c "$sql"
  psql_count=$out; psql_wall=$(least "$psql_wall" "$wall"); psql_cpu=$(least "$psql_cpu" "$cpu")
done

echo "rows:          $rows over a Unix socket; $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "tarnix apply:  count $apply_count, best of 3: ${apply_wall} s wall, ${apply_cpu} s CPU (every row read)"
echo "psql:          count $psql_count, best of 3: ${psql_wall} s wall, ${psql_cpu} s CPU"
awk -v a="$apply_wall" -v s="$psql_wall" -v n="$rows" 'BEGIN {
  printf "ratio:         %.2f wall\n", a / s
  printf "per row:       %.0f ns tarnix apply, %.0f ns psql (wall)\n", a * 1e9 / n, s * 1e9 / n
}'
if [[ "$apply_count" != "$psql_count" ]]; then
  echo "counts differ" >&2
  exit 1
fi
echo "counts equal"
