#!/usr/bin/env bash
# The command-line joiner as a person uses it: its help, exit codes and what it prints.
set -u
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$tool" 2>"$dir/err"
[ $? -eq 2 ] || fail "no arguments should exit 2"
grep -q '^usage: veltrane-join' "$dir/err" || fail "no usage line"
"$tool" --help | grep -q -- '--stop-at-block N' || fail "--help should explain every option"
[ "$("$tool" -h)" = "$("$tool" --help)" ] || fail "-h should print the same help"
"$tool" --version | grep -qx 'veltrane-join [0-9.]*' || fail "--version: $("$tool" --version)"
"$tool" --bogus "$dir/t" "$dir/a" 2>/dev/null
[ $? -eq 2 ] || fail "an unknown option is bad usage"
"$tool" --stop-at-block 0 "$dir/t" "$dir/a" 2>/dev/null
[ $? -eq 2 ] || fail "a zero block count is bad usage"
"$tool" "$dir/t" --unchecked 2>/dev/null
[ $? -eq 2 ] || fail "--unchecked without a source is bad usage"

head -c 2097153 /dev/urandom >"$dir/a"
printf 'tail' >"$dir/b"
"$tool" --trace --stop-at-block 2 "$dir/t" "$dir/a" --unchecked "$dir/b" >"$dir/out" 2>"$dir/err"
[ $? -eq 0 ] || fail "a clean run should exit 0"
[ "$(cat "$dir/out")" = $'range 0 2\npos 0\npos 1' ] || fail "trace: $(cat "$dir/out")"
[ "$(cat "$dir/err")" = "notice: combine end" ] || fail "stderr: $(cat "$dir/err")"
cmp -s <(head -c 2097152 "$dir/a") "$dir/t" || fail "a stopped run should hold the two whole blocks"

# Blocks without data count one by one towards --stop-at-block: the stop lands where a plain
# block-by-block copy would stop.
printf 'head' >"$dir/s"; truncate -s 4M "$dir/s"; printf 'end' >>"$dir/s"
"$tool" --trace --stop-at-block 2 "$dir/t" "$dir/s" >"$dir/out" 2>/dev/null
[ "$(cat "$dir/out")" = $'range 0 4\npos 0\npos 1' ] || fail "sparse trace: $(cat "$dir/out")"
[ "$(stat -c %s "$dir/t")" = 2097152 ] || fail "a stop in a hole ends after its block"
"$tool" -- "$dir/t" "$dir/b" 2>/dev/null || fail "-- should end the options"

"$tool" "$dir/t" "$dir/missing" "$dir/b" >/dev/null 2>"$dir/err"
[ $? -eq 1 ] || fail "a run with a message should exit 1"
missing="veltrane-join: $dir/missing: 打开源文件失败: No such file or directory"
[ "$(cat "$dir/err")" = "$missing"$'\nnotice: combine end' ] ||
  fail "stderr: $(cat "$dir/err")"
[ "$(cat "$dir/t")" = tail ] || fail "the good source should be copied"
"$tool" "$dir" "$dir/b" 2>&1 | grep -qx "veltrane-join: $dir: 创建目标文件失败: Is a directory" ||
  fail "target message"

# A progress line per source on a terminal only, finished at 100 %; none with --quiet.
on_terminal() { script -qec "$(printf '%q ' "$@")" /dev/null | tr '\r' '\n'; }
on_terminal "$tool" "$dir/t" "$dir/a" "$dir/b" >"$dir/tty"
grep -q '^a  100%  2.0 MiB / 2.0 MiB  .*/s' "$dir/tty" || fail "terminal: $(cat "$dir/tty")"
grep -q '^b  100%  4 B / 4 B' "$dir/tty" || fail "terminal: $(cat "$dir/tty")"
on_terminal "$tool" --quiet "$dir/t" "$dir/a" | grep -q '%' && fail "--quiet should hide progress"
echo PASS
