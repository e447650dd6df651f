#!/usr/bin/env bash
# The Windows build of the command-line joiner, run by the command given first (wine): a join
# whose names are Chinese, its exit codes and its messages.
set -u
tool=("$@")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# English throughout, whatever the caller's locale; the end tries the others.
export LC_ALL=C.UTF-8
unset LANGUAGE
# Its standard error is in text mode: lines end in CR LF.
err() { tr -d '\r' <"$dir/err"; }

head -c 3145733 /dev/urandom >"$dir/片段 1.vmdk"
printf 'tail' >"$dir/b"
"${tool[@]}" "$dir/目标.vmdk" "$dir/片段 1.vmdk" --unchecked "$dir/missing" "$dir/b" 2>"$dir/err"
[ $? -eq 0 ] || fail "a clean run should exit 0: $(err)"
[ "$(err)" = "notice: combine end" ] || fail "stderr: $(err)"
cmp -s <(cat "$dir/片段 1.vmdk" "$dir/b") "$dir/目标.vmdk" || fail "the target should hold both"
# Read back and checked against the .sha256 beside it; --sha256 prints the same digest.
sha256sum <"$dir/目标.vmdk" | sed 's/-$/目标.vmdk/' >"$dir/目标.vmdk.sha256"
"${tool[@]}" --force --sha256 "$dir/目标.vmdk" "$dir/片段 1.vmdk" "$dir/b" >"$dir/out" 2>"$dir/err"
[ $? -eq 0 ] && err | grep -q "^veltrane-join: .*: Checked: matches .*目标.vmdk.sha256" &&
  [ "$(cut -c1-64 "$dir/out")" = "$(cut -c1-64 "$dir/目标.vmdk.sha256")" ] || fail "a checked join: $(err) $(cat "$dir/out")"
rm "$dir/目标.vmdk.sha256"

"${tool[@]}" "$dir/目标.vmdk" "$dir/b" 2>"$dir/err"
[ $? -eq 1 ] || fail "a target that holds data should be refused"
err | grep -q "^veltrane-join: $dir/目标.vmdk: failed to create the target file: not empty" || fail "$(err)"
cmp -s <(cat "$dir/片段 1.vmdk" "$dir/b") "$dir/目标.vmdk" || fail "a refused target should stay"
# A missing source is found before a byte is written, and the target left as it was.
"${tool[@]}" "$dir/目标.vmdk" --force -- "$dir/missing" "$dir/b" 2>"$dir/err"
[ $? -eq 1 ] && err | grep -q "^veltrane-join: cannot open $dir/missing: ." || fail "$(err)"
cmp -s <(cat "$dir/片段 1.vmdk" "$dir/b") "$dir/目标.vmdk" || fail "a checked target should stay"
"${tool[@]}" "$dir/目标.vmdk" --force --join-anyway -- "$dir/missing" "$dir/b" 2>"$dir/err"
[ $? -eq 1 ] || fail "a run with a message should exit 1"
# The system's reason follows, in its own words.
[[ "$(err | sed 1d)" == "veltrane-join: $dir/missing: failed to open the source file: "?*$'\nnotice: combine end' ]] ||
  fail "$(err)"
[ "$(cat "$dir/目标.vmdk")" = tail ] || fail "the good source should be copied"
"${tool[@]}" "$dir" "$dir/b" 2>"$dir/err"
err | grep -qx "veltrane-join: $dir: failed to create the target file: ..*" || fail "target message: $(err)"
"${tool[@]}" --bogus 2>"$dir/err"
[ $? -eq 2 ] && [ "$(err)" = "veltrane-join: unrecognized option '--bogus'"$'\n'"Try 'veltrane-join --help' for more information." ] ||
  fail "bad usage: $(err)"
# The system's way to ask for help, which speaks of its keys rather than of signals.
help=$("${tool[@]}" '/?')
[ "$help" = "$("${tool[@]}" --help)" ] && grep -q 'Ctrl+Break' <<<"$help" &&
  ! grep -q SIGINT <<<"$help" || fail "/?: $help"
# In the user's language, as wine hands the program the locale it was started under.
while IFS='|' read -r locale usage open help; do
  LC_ALL=$locale "${tool[@]}" 2>"$dir/err"
  [ "$(err | head -1)" = "veltrane-join: $usage" ] || fail "$locale usage: $(err)"
  rm -f "$dir/new.vmdk"
  LC_ALL=$locale "${tool[@]}" --join-anyway "$dir/new.vmdk" "$dir/missing" 2>"$dir/err"
  err | grep -q "^veltrane-join: $dir/missing: $open: ." || fail "$locale message: $(err)"
  LC_ALL=$locale "${tool[@]}" --help | grep -q "^$help" || fail "$locale help"
done <<'TABLE'
C|missing operand|failed to open the source file|Usage:
en_US.UTF-8|missing operand|failed to open the source file|Usage:
zh_CN.UTF-8|缺少操作数|打开源文件失败|用法：
TABLE
echo PASS
