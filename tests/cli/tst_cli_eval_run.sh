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
check "eval" "$(printf 'Integer\t2\nString\ttab\\there\nerror\t1002\t1\t0\tMicrosoft VBScript compilation error\tSyntax error\nerror\t11\t1\t2\tMicrosoft VBScript runtime error\tDivision by zero\nerror\t1006\t1\t2\tMicrosoft VBScript compilation error\tExpected '"')'"'\nDate\t2000-01-02 00:00:00')" "$out"

out=$(printf '1.5 + 1\nCStr(1.5)\n' | "$tarnix" eval --locale el-GR)
check "eval greek" "$(printf 'Double\t2.5\nString\t1,5')" "$out"

# eval reads its input as run reads a script: a mark at the start dropped,
# every one of CR LF, LF and CR alone ending a line, a byte that is not UTF-8
# refused where it lies (1032), and a NUL kept, where the engine refuses it.
out=$(printf '\xEF\xBB\xBF1 + 1\r2 + 2\r\n3\r\r"a\xFFb"\n"\xCE\xA9\xCE"\n1 + \0002\n' | "$tarnix" eval --locale en-US)
check "eval bytes and lines" "$(printf 'Integer\t2\nInteger\t4\nInteger\t3\nerror\t1002\t1\t0\tMicrosoft VBScript compilation error\tSyntax error\nerror\t1032\t1\t2\tMicrosoft VBScript compilation error\tInvalid character\nerror\t1032\t1\t2\tMicrosoft VBScript compilation error\tInvalid character\nerror\t1032\t1\t4\tMicrosoft VBScript compilation error\tInvalid character')" "$out"

# The same bytes in a script stop run at the same places, lines counted alike.
tmp=$(mktemp -d)
printf 'WScript.Echo 1\rWScript.Echo 2\r\n\rWScript.Echo "a\xFFb"\n' >"$tmp/bad_byte.vbs"
out=$("$tarnix" run "$tmp/bad_byte.vbs" 2>&1); code=$?
check "run bad byte" "tarnix run: error 1032: Invalid character: $tmp/bad_byte.vbs is not UTF-8 text at line 4, column 16 (name its encoding with --encoding, e.g. windows-1253)" "$out"
check "run bad byte exit code" "2" "$code"
printf 'WScript.Echo 1\rWScript.Echo 1 + \0002\n' >"$tmp/nul.vbs"
out=$("$tarnix" run "$tmp/nul.vbs" 2>&1); code=$?
check "run NUL" "$tmp/nul.vbs(2, 18) Microsoft VBScript compilation error: Invalid character" "$out"
check "run NUL exit code" "1" "$code"
rm -rf "$tmp"

out=$("$tarnix" run "$data/run_host.vbs" 2 3 2>/tmp/tarnix_cli_err.$$); code=$?
check "run output" "$(printf 'args 2 5 2\nrun_host.vbs')" "$out"
check "run exit code" "1" "$code"
check "run error" "$data/run_host.vbs(13, 1) Microsoft VBScript runtime error: Type mismatch: 'CLng'" "$(cat /tmp/tarnix_cli_err.$$)"
rm -f /tmp/tarnix_cli_err.$$

"$tarnix" run "$data/run_host.vbs" 1 1 1 >/dev/null 2>&1; code=$?
check "run quit code" "7" "$code"
exit $fail
