#!/usr/bin/env bash
# tarnix apply --count of a rule that runs completely inside PostgreSQL
# (--push-down auto, the default) against psql running the same rule as SQL,
# and against the engine reading every row (--push-down off), over 1,000,000
# rows of a table on a server of the benchmark's own, reached through a Unix
# socket: best of three each, the ratios of the wall-clock times, and the
# time per row. The table is read by its key (its rows sorted back into
# their places) and by row numbers (numbered over the engine's own read).
# Every count must agree. The server's CPU time is not in the CPU figures:
# all wait for it alike.
set -euo pipefail
source "$(dirname "$0")/../common/bench.sh"
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
CREATE TABLE t (id int8, a float8, b int4, c text);
INSERT INTO t
SELECT i,
       CASE WHEN i % 997 = 0 THEN NULL ELSE (i * 7919 % 20000) / 10.0 END,
       i % 7,
       substr('nvTarnix', 1, (i % 6)::int4)
FROM generate_series(1, $rows::int8) AS i;
VACUUM ANALYZE t;
CHECKPOINT;
SQL
# Every contender is timed warm: the first scans after the load run while
# the server still settles it (about 50 % slower for the first three), and
# they would be the first contender's alone.
for warm in 1 2 3; do
  psql -X -q -A -t "$conninfo" -c "SELECT count(*) FROM t WHERE length(c) > 3" >/dev/null
done

rule='[A] > 1000 And [B] < 4 And Len([C]) > 3'
sql='SELECT count(*) FROM t WHERE a > 1000 AND b < 4 AND length(c) > 3'

scratch="$cluster/timing"
mkdir -p "$scratch"

contend keyed "$tarnix" apply --postgres "$conninfo" --table t --key id --count "$rule"
contend numbered "$tarnix" apply --postgres "$conninfo" --table t --count "$rule"
contend off "$tarnix" apply --postgres "$conninfo" --table t --key id --count --push-down off "$rule"
contend psql psql -X -A -t "$conninfo" -c "$sql"

# psql running the very statement tarnix runs, with its parameters and its
# setting (no JIT): what the client adds to the server's work. Its result is
# the group of rows counted, whose count comes last.
"$tarnix" apply --postgres "$conninfo" --table t --key id --count --explain "$rule" 2>"$scratch/explain" >/dev/null
how=$(head -n 1 "$scratch/explain")
types=() values=()
while read -r _ _ type value; do
  case $type in
    integer) types+=(int8) values+=("$value") ;;
    real) types+=(float8) values+=("$value") ;;
    text) value=${value#\"}; value=${value%\"}; types+=(text) values+=("'${value//\'/\'\'}'") ;;
  esac
done < <(grep '^parameter ' "$scratch/explain")
{
  echo "SET jit = off;"
  echo "PREPARE pushed($(IFS=,; echo "${types[*]}")) AS $(sed -n 's/^sql: //p' "$scratch/explain");"
  echo "EXECUTE pushed($(IFS=,; echo "${values[*]}"));"
} >"$scratch/same.sql"
contend same psql -X -q -A -t -F ' ' "$conninfo" -f "$scratch/same.sql"
same_count=$(awk '{ print $NF }' <<<"$same_count")

echo "rows:                $rows over a Unix socket; $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "rule:                $rule ($how)"
echo "tarnix, by key:      count $keyed_count, best of 3: ${keyed_wall} s wall, ${keyed_cpu} s CPU"
echo "tarnix, by number:   count $numbered_count, best of 3: ${numbered_wall} s wall, ${numbered_cpu} s CPU"
echo "tarnix, engine only: count $off_count, best of 3: ${off_wall} s wall, ${off_cpu} s CPU (every row read)"
echo "psql, by hand:       count $psql_count, best of 3: ${psql_wall} s wall, ${psql_cpu} s CPU (SELECT count(*) ...)"
echo "psql, same SQL:      count $same_count, best of 3: ${same_wall} s wall, ${same_cpu} s CPU"
awk -v k="$keyed_wall" -v n="$numbered_wall" -v o="$off_wall" -v s="$psql_wall" -v same="$same_wall" \
    -v rows="$rows" 'BEGIN {
  printf "by key / same SQL:   %.2f wall\n", k / same
  printf "by key / by hand:    %.2f wall\n", k / s
  printf "by number / by hand: %.2f wall\n", n / s
  printf "engine only / by key: %.1fx wall\n", o / k
  printf "per row:             %.0f ns by key, %.0f ns engine only, %.0f ns psql (wall)\n",
         k * 1e9 / rows, o * 1e9 / rows, s * 1e9 / rows
}'
for count in "$keyed_count" "$numbered_count" "$off_count" "$same_count"; do
  if [[ "$count" != "$psql_count" ]]; then
    echo "counts differ" >&2
    exit 1
  fi
done
echo "counts equal"
