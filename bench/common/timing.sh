# Timing helpers the benchmark scripts source. The caller sets $scratch, a
# folder of its own for the outputs.

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
