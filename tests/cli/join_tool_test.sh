#!/usr/bin/env bash
# The command-line joiner as a person uses it: its help, exit codes and what it prints.
set -u
tool=$(realpath "$1")
dir=$(mktemp -d)
trap 'umount "$dir/small" 2>/dev/null; rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# English throughout, whatever the caller's locale; the end tries the others.
export LC_ALL=C.UTF-8
unset LANGUAGE
try="Try 'veltrane-join --help' for more information."
zhtry="请尝试执行 'veltrane-join --help' 来获取更多信息。"

# The help leaves the options for tests to the manual page (manual_names_options.sh checks that
# the page names every option the help shows).
help=$("$tool" --help)
! grep -qE -- '--(trace|stop-at-block)' <<<"$help" || fail "--help shows the options for tests"
[ "$("$tool" -h)" = "$("$tool" --help)" ] || fail "-h should print the same help"
"$tool" --version | grep -qx 'veltrane-join [0-9.]*' || fail "--version: $("$tool" --version)"
for out in /dev/full "&-"; do
  msg=$(eval '"$tool" --version >'"$out" 2>&1)
  [ $? -eq 1 ] && [[ $msg == "veltrane-join: write error: "?* ]] || fail "--version >$out: $msg"
done

# Bad usage: what was wrong, in coreutils' words, then where to look; exit 2, nothing touched.
printf 'keep' >"$dir/t"
while IFS='|' read -r words args; do
  eval "set -- $args"
  msg=$(cd "$dir" && "$tool" "$@" 2>&1)
  [ $? -eq 2 ] && [ "$msg" = "veltrane-join: $words"$'\n'"$try" ] || fail "$args: $msg"
done <<'TABLE'
missing operand|
missing operand|--quiet
missing SOURCE operand after 't'|t
missing SOURCE operand after '--unchecked'|t a --unchecked
'--unchecked' applies to a SOURCE, not to TARGET 't'|--unchecked t a
unrecognized option '--bogus'|--bogus t a
unrecognized option '--bogus=1'|t --bogus=1 a
invalid option -- 'x'|-x t a
option '--quiet' doesn't allow an argument|--quiet=yes t a
option '--stop-at-block' requires an argument|t a --stop-at-block
invalid number of blocks: 'x'|--stop-at-block=x t a
invalid number of blocks: '0'|--stop-at-block 0 t a
TABLE
[ "$(cat "$dir/t")" = keep ] || fail "bad usage must leave the target alone"

# Each slip that once lost data leaves every file byte for byte as it was: exit 1.
printf 'piece a' >"$dir/piece.aa"; printf 'piece b' >"$dir/piece.ab"; : >"$dir/piece.empty"
cp "$dir/t" "$dir/keep.img"
snapshot() { (cd "$dir" && md5sum piece.aa piece.ab keep.img t); }
before=$(snapshot)
while read -r args; do
  msg=$(cd "$dir" && eval "\"$tool\" $args" 2>&1)
  [ $? -eq 1 ] || fail "$args should fail: $msg"
  [ "$(snapshot)" = "$before" ] || fail "$args changed a file"
done <<'TABLE'
piece.aa piece.ab
-f piece.aa piece.ab piece.aa
piece.aa piece.aa piece.ab
keep.img typo1 typo2
t piece.aa --quiet
-f t ./t
TABLE
msg=$(cd "$dir" && "$tool" --force piece.ab piece.aa ./piece.ab 2>&1)
[[ $msg == *"veltrane-join: piece.ab: failed to create the target file: also listed as source ./piece.ab"* ]] ||
  fail "target as source: $msg"
msg=$(cd "$dir" && "$tool" t piece.aa 2>&1)
[[ $msg == "veltrane-join: t: failed to create the target file: not empty; -f or --force replaces it"* ]] ||
  fail "non-empty target: $msg"
# An empty target is no slip; --force replaces one that holds data.
(cd "$dir" && "$tool" --quiet piece.empty piece.aa && "$tool" t --quiet piece.ab -f) 2>&1 ||
  fail "an empty target, or --force"
[ "$(cat "$dir/piece.empty")$(cat "$dir/t")" = "piece apiece b" ] || fail "--force should replace t"

head -c 2097153 /dev/urandom >"$dir/a"
printf 'tail' >"$dir/b"
"$tool" --trace -f "$dir/t" --stop-at-block 2 "$dir/a" --unchecked "$dir/b" >"$dir/out" 2>"$dir/err"
[ $? -eq 1 ] || fail "a stopped run should exit 1"
[ "$(cat "$dir/out")" = $'range 0 2\npos 0\npos 1' ] || fail "trace: $(cat "$dir/out")"
[ "$(cat "$dir/err")" = "veltrane-join: stopped: $dir/t is incomplete"$'\nnotice: combine end' ] ||
  fail "stderr: $(cat "$dir/err")"
cmp -s <(head -c 2097152 "$dir/a") "$dir/t" || fail "a stopped run should hold the two whole blocks"
# A stop at the run's very last block leaves nothing out, unticked sources after it neither:
# the run is complete.
head -c 2097152 "$dir/a" >"$dir/two"
msg=$("$tool" -f --stop-at-block 2 "$dir/t" "$dir/two" --unchecked "$dir/b" 2>&1)
[ $? -eq 0 ] && [ "$msg" = "notice: combine end" ] && cmp -s "$dir/two" "$dir/t" ||
  fail "a stop at the last block: $msg"
# Files that tell no length hold what cat reads of them.
"$tool" -f --quiet "$dir/t" /proc/version "$dir/b" && cmp -s <(cat /proc/version "$dir/b") "$dir/t" ||
  fail "a file of /proc should join as cat reads it"
# A target its owner may only write is written all the same.
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  chmod o+x "$dir"
  mkdir -m 777 "$dir/user" && printf 'data' >"$dir/user/src" && chmod 644 "$dir/user/src"
  install -m 0200 -o nobody /dev/null "$dir/user/wo"
  msg=$(setpriv --reuid=nobody --regid=nogroup --clear-groups "$tool" --quiet "$dir/user/wo" \
    "$dir/user/src" 2>&1) && [ "$(cat "$dir/user/wo")" = data ] || fail "a write-only target: $msg"
else
  echo "SKIP: a write-only target (needs root to run as another user)"
fi
msg=$("$tool" --trace -f "$dir/t" "$dir/b" 2>&1 >/dev/full)
[ $? -eq 1 ] && [[ $msg == *"write error: No space left on device" ]] || fail "trace: $msg"

# Blocks without data count one by one towards --stop-at-block: the stop lands where a plain
# block-by-block copy would stop.
printf 'head' >"$dir/s"; truncate -s 4M "$dir/s"; printf 'end' >>"$dir/s"
"$tool" --trace -f --stop-at-block 2 "$dir/t" "$dir/s" >"$dir/out" 2>/dev/null
[ "$(cat "$dir/out")" = $'range 0 4\npos 0\npos 1' ] || fail "sparse trace: $(cat "$dir/out")"
[ "$(stat -c %s "$dir/t")" = 2097152 ] || fail "a stop in a hole ends after its block"
"$tool" -f -- "$dir/t" "$dir/b" 2>/dev/null || fail "-- should end the options"
"$tool" -f --join-anyway "$dir/t" -- --quiet 2>&1 | grep -qx "veltrane-join: --quiet: failed to open the source file: .*" ||
  fail "after --, an option is a file name"

# Messages carry the system's reason; names that could steer the terminal are quoted.
# Traced, the texts stay as written in every locale.
# A missing source is found before a byte is written: the target is left as it was, unless
# told to join anyway.
cp "$dir/t" "$dir/t.before"
msg=$("$tool" -f "$dir/t" "$dir/missing" "$dir/b" 2>&1)
[ $? -eq 1 ] && [ "$msg" = "veltrane-join: cannot open $dir/missing: No such file or directory"$'\n'"notice: combine end" ] &&
  cmp -s "$dir/t" "$dir/t.before" || fail "a missing source should be found first: $msg"
LC_ALL=zh_CN.UTF-8 "$tool" --trace -f --join-anyway "$dir/t" "$dir/missing" "$dir/b" >/dev/null 2>"$dir/err"
[ $? -eq 1 ] || fail "a run with a message should exit 1"
[ "$(sed 1d "$dir/err")" = "veltrane-join: $dir/missing: 打开源文件失败: No such file or directory"$'\n'"notice: combine end" ] ||
  fail "stderr: $(cat "$dir/err")"
[ "$(cat "$dir/t")" = tail ] || fail "the good source should be copied"
"$tool" "$dir" "$dir/b" 2>&1 | grep -q "^veltrane-join: $dir: failed to create the target file: ." || fail "target message"
msg=$(cd "$dir" && "$tool" -fq --join-anyway t "$(printf 'new\nline\033[31m')" 2>&1 | tail -1)
[ "$msg" = "veltrane-join: 'new'\$'\\n''line'\$'\\033''[31m': failed to open the source file: No such file or directory" ] ||
  fail "quoting: $msg"
# A file of /sys says 4096 bytes and holds a line: its span stays, zero-filled, and is reported.
nominal=/sys/kernel/mm/transparent_hugepage/enabled
if [ -r "$nominal" ]; then
  msg=$("$tool" -f --quiet "$dir/t" "$nominal" 2>&1)
  [ $? -eq 1 ] && [ "$msg" = "veltrane-join: $nominal: failed to read the source file: ended before its length; the rest of its span is zeros" ] &&
    [ "$(stat -c %s "$dir/t")" = 4096 ] || fail "a short source: $msg"
fi
mkdir -p "$dir/small"
if mount -t tmpfs -o size=1m tmpfs "$dir/small" 2>/dev/null; then
  # Found before a byte is written; joined anyway, the disk fills up and says so.
  msg=$("$tool" --quiet "$dir/small/t" "$dir/a" 2>&1)
  [ $? -eq 1 ] && [ "$msg" = "veltrane-join: not enough space for $dir/small/t: 2097153 bytes to write, 1048576 bytes free" ] &&
    [ ! -e "$dir/small/t" ] || fail "too little room: $msg"
  msg=$("$tool" --quiet --join-anyway "$dir/small/t" "$dir/a" 2>&1 | tail -1)
  [ "$msg" = "veltrane-join: $dir/small/t: failed to write the target file: No space left on device" ] || fail "ENOSPC: $msg"
else
  echo "SKIP: a full disk (cannot mount a tmpfs)"
fi

# One progress line for the whole run on a terminal only, within the terminal's width, and a
# summary in its place at the end; none with --quiet, which prints nothing at all on success.
# The command is quoted for bash, so script must not hand it to whatever shell the caller's
# SHELL names.
on_terminal() {
  SHELL=$BASH script -qec "stty cols ${cols:-50}; $(printf '%q ' "$@")" /dev/null | tr '\r' '\n'
  return "${PIPESTATUS[0]}"
}
long="$dir/a long name that would wrap a narrow terminal.img"
cp "$dir/a" "$long"
on_terminal "$tool" -f "$dir/t" "$long" "$dir/b" >"$dir/tty"
# How much of the name is kept depends on how wide the rate is, so only the cut is checked.
grep -q "^1/2 'a.*\.\.\..*\.img'  .*%  .* / 2\.0 MiB  .*/s" "$dir/tty" || fail "terminal: $(cat "$dir/tty")"
grep -qx 'joined 2 pieces: 2\.0 MiB in 0:0[0-9], .*/s.\[K' "$dir/tty" || fail "summary: $(cat "$dir/tty")"
cols=30 on_terminal "$tool" -f "$dir/t" "$long" | grep -v '^joined ' | sed 's/\x1b\[K//' |
  awk 'length > 29 { exit 1 }' || fail "a line as wide as the terminal"
[ -z "$(on_terminal "$tool" -f --quiet "$dir/t" "$dir/a")" ] || fail "--quiet should print nothing"
# A hundred pieces redraw one line: line feeds end the summary and the notice alone (the
# terminal sends each as CR LF), every other carriage return starts a drawing over the last.
mkdir "$dir/many"
for i in $(seq -w 1 100); do printf 'piece %s' "$i" >"$dir/many/part$i"; done
SHELL=$BASH script -qec "stty cols 60; $(printf '%q ' "$tool" -f "$dir/t" "$dir/many/"*)" /dev/null >"$dir/tty"
lines=$(tr -cd '\n' <"$dir/tty" | wc -c)
redraws=$(sed 's/\r$//' "$dir/tty" | tr -cd '\r' | wc -c)
summary=$(sed -n '1{s/\r$//;s/.*\r//;p}' "$dir/tty")
[ "$lines" -eq 2 ] && [ "$redraws" -ge 2 ] && grep -q $'\r1/100 part001  ' "$dir/tty" &&
  [[ $summary == "joined 100 pieces: 900 B in 0:0"?", "*"/s"$'\e[K' ]] &&
  [ "$(sed -n '2p' "$dir/tty")" = $'notice: combine end\r' ] || fail "a hundred pieces: $(cat -v "$dir/tty")"
# A message stands on a line of its own, the run's line below it; a piece that would not open
# leaves the others joined and the run failed.
on_terminal "$tool" -f --join-anyway "$dir/t" "$dir/many/part001" "$dir/missing" "$dir/b" |
  sed 's/\x1b\[K//g' >"$dir/tty"
grep -qx "veltrane-join: $dir/missing: failed to open the source file: No such file or directory" "$dir/tty" &&
  grep -qx '3/3 b   99%  13 B / 13 B  failed' "$dir/tty" || fail "a missing piece: $(cat "$dir/tty")"
# Holes are kept, not moved: the summary says how much.
truncate -s 3G "$dir/sparse"; printf 'end' >>"$dir/sparse"
on_terminal "$tool" -f "$dir/t" "$dir/sparse" | grep -q '^joined 1 piece: 3\.0 GiB in .*; 3\.0 GiB kept as holes' || fail "sparse"

# The first SIGINT stops the run after its block: the line ends, the target is a clean prefix.
# A gibibyte of data takes this machine about a second to copy block by block; the signal goes
# once the target has begun to grow, so the program is surely watching for it by then. Job
# control keeps SIGINT from being ignored in the background job.
head -c 1G /dev/zero >"$dir/slow"
rm -f "$dir/t"
on_terminal bash -c 'set -m; "$0" --plain-copy "$1" "$2" & until [ -s "$1" ]; do sleep 0.01; done
  kill -INT $!; wait $!' "$tool" "$dir/t" "$dir/slow" >"$dir/tty"
[ $? -eq 130 ] || fail "SIGINT should exit 130: $(cat "$dir/tty")"
grep -q '^1/1 slow  .*stopped' "$dir/tty" || fail "the line should end as stopped: $(cat "$dir/tty")"
grep -qx "veltrane-join: stopped: $dir/t is incomplete" "$dir/tty" || fail "$(cat "$dir/tty")"
size=$(stat -c %s "$dir/t")
[ $((size % 1048576)) -eq 0 ] && [ "$size" -lt 1073741824 ] || fail "a stopped target of $size bytes"
cmp -s -n "$size" "$dir/slow" "$dir/t" || fail "a stopped target should be a clean prefix"
# In the user's language: English beside the Chinese texts, Chinese beside the English ones, the
# system's reason in the same language; C, C.UTF-8 and an unknown locale read English throughout,
# LANGUAGE entry by entry unless the locale is plain C.
rm -f "$dir/lt"
while IFS='|' read -r vars usage try open reason end help; do
  msg=$(env -u LC_ALL -u LANGUAGE $vars "$tool" 2>&1)
  [ "$msg" = "veltrane-join: $usage"$'\n'"$try" ] || fail "$vars usage: $msg"
  env -u LC_ALL -u LANGUAGE $vars "$tool" --join-anyway "$dir/lt" "$dir/none one" 2>"$dir/err"
  [ "$(sed 1d "$dir/err")" = "veltrane-join: '$dir/none one': $open: $reason"$'\n'"notice: $end" ] ||
    fail "$vars message: $(cat "$dir/err")"
  env -u LC_ALL -u LANGUAGE $vars "$tool" --help >"$dir/help"
  chinese=$(LC_ALL=C.UTF-8 grep -cP '[\x{4e00}-\x{9fff}]' "$dir/help")
  [[ "$(head -1 "$dir/help")" == "$help"* ]] && grep -q -- '--force' "$dir/help" &&
    [ "$(LC_ALL=C.UTF-8 wc -L <"$dir/help")" -lt 80 ] &&
    { [ "$help" = 用法： ] && [ "$chinese" -gt 15 ] || [ "$chinese" -eq 0 ]; } || fail "$vars help: $(cat "$dir/help")"
  rm -f "$dir/lt"
done <<TABLE
LANG=C|missing operand|$try|failed to open the source file|No such file or directory|combine end|Usage:
LANG=C.UTF-8|missing operand|$try|failed to open the source file|No such file or directory|combine end|Usage:
LANG=C LANGUAGE=zh_CN|missing operand|$try|failed to open the source file|No such file or directory|combine end|Usage:
LANG=en_US.UTF-8|missing operand|$try|failed to open the source file|No such file or directory|combine end|Usage:
LANG=de_AT.UTF-8|missing operand|$try|failed to open the source file|No such file or directory|combine end|Usage:
LANG=zh_CN.UTF-8|缺少操作数|$zhtry|打开源文件失败|没有那个文件或目录|合并结束|用法：
LANG=C.UTF-8 LANGUAGE=fr:zh_CN|缺少操作数|$zhtry|打开源文件失败|没有那个文件或目录|合并结束|用法：
LANG=zh_CN.UTF-8 LANGUAGE=de:en|missing operand|$try|failed to open the source file|No such file or directory|combine end|Usage:
TABLE
echo PASS
