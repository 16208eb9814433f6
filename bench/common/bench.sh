# What the scripts that time tarnix share, sourced first: $build (the build
# folder, their first argument) and $tarnix in it, a check for the commands
# they compare against, and timing helpers, which leave their outputs in the
# folder the caller names in $scratch.

build=${1:-build}
tarnix="$build/bin/tarnix"
if [[ ! -x "$tarnix" ]]; then
  echo "tarnix not built in $build (cmake --build $build --target tarnix)" >&2
  exit 1
fi

# Stops the benchmark when a command it compares against is missing.
need() {
  command -v "$1" >/dev/null || { echo "$1 not installed (scripts/install-deps.sh)" >&2; exit 1; }
}

# Runs a command; leaves its output in $out, its wall-clock and CPU
# (user + system) seconds in $wall and $cpu.
timed() {
  local TIMEFORMAT='%R %U %S'
  { time "$@" >"$scratch/out" 2>"$scratch/err"; } 2>"$scratch/time"
  out=$(<"$scratch/out")
  local user sys
  read -r wall user sys <"$scratch/time"
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.3f", u + s }')
}

# The smaller of two figures, the first of which may be empty.
least() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }

# One contender, best of three: its count in $<name>_count, its best
# wall-clock and CPU seconds in $<name>_wall and $<name>_cpu.
contend() {
  local name=$1 best_wall= best_cpu= round
  shift
  for round in 1 2 3; do
    timed "$@"
    best_wall=$(least "$best_wall" "$wall"); best_cpu=$(least "$best_cpu" "$cpu")
  done
  printf -v "${name}_count" '%s' "$out"
  printf -v "${name}_wall" '%s' "$best_wall"
  printf -v "${name}_cpu" '%s' "$best_cpu"
}

# Makes the SQLite file $1 from the SQL on standard input, once: a file the
# last run left whole is used again, a half-written one never is.
sqlite_file_once() {
  local db=$1
  if [[ -s "$db" ]]; then
    cat >/dev/null
    return
  fi
  mkdir -p "$(dirname "$db")"
  rm -f "$db.part"
  sqlite3 "$db.part"
  mv "$db.part" "$db"
}
