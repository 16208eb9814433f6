#!/usr/bin/env bash
# tarnix eval and tarnix run as a user drives them: output lines, standard
# error and exit codes.
set -u
tarnix=$1
data=$2
fail=0
check() {  # name expected actual
  if [[ "$2" != "$3" ]]; then
    printf 'FAIL %s\n--- expected\n%s\n--- actual\n%s\n' "$1" "$2" "$3"
    fail=1
  fi
}

out=$(printf '1 + 1\n"tab\there"\n\n1 / 0\n(1\n#1/2/2000#\n' | "$tarnix" eval --locale en-US)
check "eval" "$(printf 'Integer\t2\nString\ttab\\there\nerror\t1023\t1\t0\tMicrosoft VBScript compilation error\tExpected expression\nerror\t11\t1\t2\tMicrosoft VBScript runtime error\tDivision by zero\nerror\t1006\t1\t2\tMicrosoft VBScript compilation error\tExpected '"')'"'\nDate\t2000-01-02 00:00:00')" "$out"

out=$(printf '1.5 + 1\nCStr(1.5)\n' | "$tarnix" eval --locale el-GR)
check "eval greek" "$(printf 'Double\t2.5\nString\t1,5')" "$out"

out=$("$tarnix" run "$data/run_host.vbs" 2 3 2>/tmp/tarnix_cli_err.$$); code=$?
check "run output" "$(printf 'args 2 5 2\nrun_host.vbs')" "$out"
check "run exit code" "1" "$code"
check "run error" "$data/run_host.vbs(13, 1) Microsoft VBScript runtime error: Type mismatch: 'CLng'" "$(cat /tmp/tarnix_cli_err.$$)"
rm -f /tmp/tarnix_cli_err.$$

"$tarnix" run "$data/run_host.vbs" 1 1 1 >/dev/null 2>&1; code=$?
check "run quit code" "7" "$code"
exit $fail
