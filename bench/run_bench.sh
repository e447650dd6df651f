#!/usr/bin/env bash
# Times veltrane-join against cat and cp on the same inputs, interleaved, and prints medians
# with their spread. Every tool's time ends with its target on the disk: the join flushes
# before it ends, the others are followed by `sync TARGET`. Also shows the dirty memory each
# run added and what the page cache held of the target and the sources after it.
# Then the same join started from the window (veltrane-window-bench, found beside
# veltrane-join) against veltrane-join.
# Usage: run_bench.sh PATH/TO/veltrane-join [RUNS]
# BENCH_CASES picks the cases (default: "large small sparse fragmented window pieces check
# checksum checksum-sparse").
# BENCH_BASELINE=PATH/TO/an-earlier-veltrane-join adds its runs for comparison.
set -euo pipefail

join_tool=$(realpath "$1")
window_tool=$(dirname "$join_tool")/veltrane-window-bench
runs=${2:-5}
cases=${BENCH_CASES:-large small sparse fragmented window pieces check checksum checksum-sparse}
small_runs=$((runs * 4 + 1))
baseline=${BENCH_BASELINE:+$(realpath "$BENCH_BASELINE")}
data=${BENCH_DATA:-$(dirname "$0")/../bench-data}
mkdir -p "$data"
data=$(realpath "$data")
target="$data/target.bin"
# The sources of the set being timed, and whether each run starts with them in the page cache.
sources=()
warm=true
# Names are numbered to one width, so that the shell lists them in order.
make_inputs() {
    local name=$1 count=$2 size=$3 i width=$((${#2} > 3 ? ${#2} : 3))
    mkdir -p "$data/$name"
    # One look at the folder spares thousands of stats when the set is already whole.
    [ "$(find "$data/$name" -name 'part*' -size "${size}c" | wc -l)" = "$count" ] && return
    for ((i = 0; i < count; i++)); do
        local file="$data/$name/part$(printf "%0${width}d" "$i")"
        if [ "$(stat -c %s "$file" 2>/dev/null || echo 0)" != "$size" ]; then
            head -c "$size" /dev/urandom >"$file"
        fi
    done
}

dirty_kib() { awk '/^(Dirty|Writeback):/ { s += $2 } END { print s }' /proc/meminfo; }

# Samples the machine's dirty and writeback memory until killed, keeping the highest in FILE,
# which starts at the idle figure. Each new peak is renamed into place, so a kill at any moment
# leaves a whole number; a trap could be cut off while a short run's sampler is still starting.
sample_dirty() {
    local file=$1 peak now
    peak=$(cat "$file")
    while :; do
        now=$(dirty_kib)
        if ((now > peak)); then
            peak=$now
            echo "$peak" >"$file.new" && mv "$file.new" "$file"
        fi
        sleep 0.02
    done
}

# Removes the target, syncs the disk and reads the sources into the page cache, so that every
# run starts from the same state and none pays for the previous one's writeback.
fresh_state() {
    rm -f "$target"
    sync
    ! $warm || cat "${sources[@]}" >/dev/null
}

# One timed run: prints microseconds, peak resident KiB, the voluntary context switches of all
# its threads and the dirty KiB it added at most.
time_run() {
    fresh_state
    local start end idle sampler
    idle=$(dirty_kib)
    echo "$idle" >"$data/dirty"
    sample_dirty "$data/dirty" &
    sampler=$!
    start=$(date +%s%N)
    /usr/bin/time -o "$data/rss" -f '%M %w' "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    kill "$sampler"
    wait "$sampler" || true
    echo "$(((end - start) / 1000)) $(cat "$data/rss") $(($(cat "$data/dirty") - idle))"
}

# KiB of the target and the sources held in the page cache.
cached_kib() {
    fincore --bytes --noheadings --output RES "$target" "${sources[@]}" |
        awk '{ s += $1 } END { printf "%d\n", s / 1024 }'
}

# A run that is fast but wrong must not count. Once per tool and set: the runs are alike, and
# reading gigabytes back after each one would only lengthen the benchmark.
check_target() {
    cmp -s "$target" <(cat "${@:2}") || { echo "$1 output differs" >&2; exit 1; }
}

blocks_kib() { echo $(($(stat -c '%b * %B' "$1") / 1024)); }

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
range_of() { sort -n | awk '{ v[NR] = $1 } END { print v[1] "-" v[NR] }'; }
# "min-max" of the timings in microseconds, as seconds.
spread() { sort -n | awk '{ v[NR] = $1 } END { printf "%.3f-%.3f s", v[1] / 1e6, v[NR] / 1e6 }'; }

# Runs one tool on the current sources; appends its figures to $data/TOOL.{t,rss,dirty,cache}.
run_tool() {
    local tool=$1 us rss dirty
    # shellcheck disable=SC2016 # the inner shells expand their own arguments
    case $tool in
    cat) read -r us rss _ dirty < <(time_run sh -c 'cat "$@" >"$0" && sync "$0"' "$target" "${sources[@]}") ;;
    cp) read -r us rss _ dirty < <(time_run sh -c 'cp --sparse=auto "$1" "$0" && sync "$0"' "$target" "${sources[@]}") ;;
    join) read -r us rss _ dirty < <(time_run "$join_tool" "$target" "${sources[@]}") ;;
    plain) read -r us rss _ dirty < <(time_run "$join_tool" --plain-copy "$target" "${sources[@]}") ;;
    before) read -r us rss _ dirty < <(time_run "$baseline" "$target" "${sources[@]}") ;;
    esac
    echo "$us" >>"$data/$tool.t"
    echo "$rss" >>"$data/$tool.rss"
    echo "$dirty" >>"$data/$tool.dirty"
    cached_kib >>"$data/$tool.cache"
}

label_of() {
    case $1 in
    cat) echo "cat + sync" ;;
    cp) echo "cp --sparse=auto + sync" ;;
    join) echo "veltrane-join" ;;
    plain) echo "veltrane-join --plain-copy" ;;
    before) echo "veltrane-join before" ;;
    esac
}

# Per tool: time, speed and ratio to the first tool; the dirty memory its runs added and the
# cache they left (medians, then min-max); peak resident memory and the target's blocks.
report() {
    local bytes=$1 first=$2 tool
    shift
    for tool in "$@"; do
        awk -v label="$(label_of "$tool")" -v bytes="$bytes" -v t="$(median <"$data/$tool.t")" \
            -v first="$(label_of "$first")" -v ref="$(median <"$data/$first.t")" \
            -v ts="$(range_of <"$data/$tool.t")" \
            -v d="$(median <"$data/$tool.dirty")" -v ds="$(range_of <"$data/$tool.dirty")" \
            -v c="$(median <"$data/$tool.cache")" -v cs="$(range_of <"$data/$tool.cache")" \
            -v rss="$(sort -n "$data/$tool.rss" | tail -n 1)" -v kib="$(cat "$data/$tool.kib")" 'BEGIN {
            split(ts, tr, "-"); split(ds, dr, "-"); split(cs, cr, "-")
            printf "  %-27s %7.3f s (%.3f-%.3f)  %7.1f MB/s  x%.2f of %s\n", label, t / 1e6,
                tr[1] / 1e6, tr[2] / 1e6, bytes / t, ref / t, first
            printf "  %-27s dirty added %.1f MiB (%.1f-%.1f), cached after %.1f MiB (%.1f-%.1f)\n",
                "", d / 1024, dr[1] / 1024, dr[2] / 1024, c / 1024, cr[1] / 1024, cr[2] / 1024
            printf "  %-27s peak resident %.1f MiB, target takes %d KiB\n", "", rss / 1024, kib
        }'
    done
}

# Interleaves the tools over the current sources, `n` rounds, checking each output once.
bench_tools() {
    local n=$1 tool i
    shift
    for tool in "$@"; do
        : >"$data/$tool.t"; : >"$data/$tool.rss"; : >"$data/$tool.dirty"; : >"$data/$tool.cache"
    done
    for ((i = 0; i < n; i++)); do
        for tool in "$@"; do
            run_tool "$tool"
            if ((i == 0)); then
                blocks_kib "$target" >"$data/$tool.kib"
                check_target "$(label_of "$tool")" "${sources[@]}"
            fi
        done
    done
}

# The reference tool, then the joins.
tools() { echo "$1" join plain ${baseline:+before}; }

bench_set() {
    local name=$1 count=$2 size=$3 n=$4
    make_inputs "$name" "$count" "$size"
    sources=("$data/$name"/part*)
    warm=true
    # shellcheck disable=SC2046
    bench_tools "$n" $(tools cat)
    echo "$name: $n runs each, $count x $size bytes, $((count * size / 1000000)) MB per run"
    # shellcheck disable=SC2046
    report $((count * size)) $(tools cat)
}

# One source of 8 GiB holding 32 MiB of data in 16 regions at offsets off the block grid
# (each crosses a block edge; the last one ends the file), the rest a hole.
make_sparse() {
    local file="$data/sparse/part000" size=$((8 << 30)) i
    [ "$(stat -c %s "$file" 2>/dev/null || echo 0)" = "$size" ] && return
    mkdir -p "$data/sparse"
    rm -f "$file"
    for ((i = 0; i < 15; i++)); do
        head -c $((2 << 20)) /dev/urandom |
            dd of="$file" bs=1M seek=$((i * 512 * 1024 * 1024 + 12345)) oflag=seek_bytes conv=notrunc status=none
    done
    head -c $(((2 << 20) + 12345)) /dev/urandom |
        dd of="$file" seek=$((size - (2 << 20) - 12345)) oflag=seek_bytes conv=notrunc status=none
}

# One source of 1 GiB holding 4 MiB of data in 1024 separate extents of 4 KiB, one per MiB.
make_fragmented() {
    local file="$data/fragmented/part000" size=$((1 << 30)) i
    [ "$(stat -c %s "$file" 2>/dev/null || echo 0)" = "$size" ] && return
    mkdir -p "$data/fragmented"
    rm -f "$file"
    truncate -s "$size" "$file"
    for ((i = 0; i < 1024; i++)); do
        head -c 4096 /dev/urandom | dd of="$file" bs=4096 seek=$((i * 256 + 1)) conv=notrunc status=none
    done
}

# The hole-aware joins against cp, which does the same work for one file. Neither the source
# is read into the cache first nor cat timed: each would fill it with gigabytes of zeros.
bench_holes() {
    local name=$1 n=$2
    "make_$name"
    sources=("$data/$name/part000")
    warm=false
    # shellcheck disable=SC2046
    bench_tools "$n" $(tools cp)
    echo "$name: $n runs each, one source of $(($(stat -c %s "${sources[0]}") >> 20)) MiB taking $(blocks_kib "${sources[0]}") KiB"
    # shellcheck disable=SC2046
    report "$(stat -c %s "${sources[0]}")" $(tools cp)
}

# The same join from the window and from veltrane-join, interleaved. The window's run is timed
# by its driver from the press of Start to the end notice; veltrane-join's from outside, its
# start-up included. "Waits" are the voluntary context switches of the window's worker thread,
# and of all of veltrane-join's threads.
# Usage: bench_window NAME COUNT SIZE RUNS [GOAL], GOAL the highest ratio aimed at.
bench_window() {
    local name=$1 count=$2 size=$3 n=$4 goal=${5:-} i
    [ -x "$window_tool" ] || { echo "$name: $window_tool not built, left out"; return; }
    make_inputs "$name" "$count" "$size"
    sources=("$data/$name"/part*)
    warm=true
    : >"$data/join.t"; : >"$data/window.t"; : >"$data/join.w"; : >"$data/window.w"
    for ((i = 0; i < n; i++)); do
        read -r us _ waits _ < <(time_run "$join_tool" "$target" "${sources[@]}")
        echo "$us" >>"$data/join.t"; echo "$waits" >>"$data/join.w"
        ((i > 0)) || check_target veltrane-join "${sources[@]}"
        fresh_state
        read -r seconds waits _ < <(QT_QPA_PLATFORM=offscreen "$window_tool" "$target" "${sources[@]}" 2>/dev/null)
        awk -v s="$seconds" 'BEGIN { printf "%d\n", s * 1e6 }' >>"$data/window.t"
        echo "$waits" >>"$data/window.w"
        ((i > 0)) || check_target "the window" "${sources[@]}"
    done
    awk -v name="$name" -v goal="$goal" -v n="$n" -v count="$count" -v size="$size" -v j="$(median <"$data/join.t")" \
        -v w="$(median <"$data/window.t")" -v js="$(spread <"$data/join.t")" -v ws="$(spread <"$data/window.t")" \
        -v jw="$(median <"$data/join.w")" -v ww="$(median <"$data/window.w")" \
        -v wws="$(sort -n "$data/window.w" | tr '\n' ' ')" 'BEGIN {
        printf "%s: window against veltrane-join, %d runs each, %d sources of %d KiB, warm\n", name, n, count, size / 1024
        printf "  veltrane-join  %8.3f s (%s)  waits %d (all threads)\n", j / 1e6, js, jw
        printf "  window         %8.3f s (%s)  worker waits %d (each run: %s)\n", w / 1e6, ws, ww, wws
        printf "  window / veltrane-join: %.2f%s\n", w / j, goal == "" ? "" : sprintf(" (goal at most %s)", goal)
    }'
}

# The check before a run, timed apart from the copy: 1,000 warm pieces with one missing, which
# the check finds, so that the run ends there without writing. veltrane-join is timed whole,
# the window from the press of Start to its question, which is answered No.
bench_check() {
    local n=$1 count=1000 i seconds
    make_inputs check "$count" 4096
    sources=("$data/check"/part*)
    warm=true
    : >"$data/check.t"; : >"$data/check.w"
    for ((i = 0; i < n; i++)); do
        # shellcheck disable=SC2016 # the inner shell expands its own arguments
        read -r us _ < <(time_run sh -c '"$0" "$@"; [ $? -eq 1 ]' "$join_tool" "$target" \
            "${sources[@]}" "$data/check/missing")
        echo "$us" >>"$data/check.t"
        [ -x "$window_tool" ] || continue
        read -r seconds _ < <(QT_QPA_PLATFORM=offscreen "$window_tool" "$target" "${sources[@]}" \
            "$data/check/missing" 2>/dev/null)
        awk -v s="$seconds" 'BEGIN { printf "%d\n", s * 1e6 }' >>"$data/check.w"
    done
    [ ! -e "$target" ] || { echo "the check wrote the target" >&2; exit 1; }
    awk -v n="$n" -v count="$count" -v c="$(median <"$data/check.t")" -v cs="$(spread <"$data/check.t")" \
        -v w="$(median <"$data/check.w")" -v ws="$(spread <"$data/check.w")" 'BEGIN {
        printf "check: %d sources of 4 KiB and a missing one, found before writing, %d runs, warm\n", count, n
        printf "  veltrane-join  %8.3f s (%s), with the start of the program (goal at most 0.050 s)\n", c / 1e6, cs
        if (w != "") printf "  window         %8.3f s (%s), Start to the question (goal at most 0.050 s)\n", w / 1e6, ws
    }'
}

# Times each of the commands given as "LABEL|COMMAND" for bash, interleaved, each from a fresh
# state, N times; prints each one's median and spread and its ratio to the first.
bench_commands() {
    local title=$1 n=$2 i entry label
    shift 2
    for entry in "$@"; do : >"$data/${entry%%|*}.t"; done
    for ((i = 0; i < n; i++)); do
        for entry in "$@"; do
            label=${entry%%|*}
            read -r us _ < <(time_run bash -c "set -e; ${entry#*|}")
            echo "$us" >>"$data/$label.t"
        done
    done
    echo "$title, $n runs each, interleaved"
    local first=${1%%|*}
    for entry in "$@"; do
        label=${entry%%|*}
        awk -v label="$label" -v t="$(median <"$data/$label.t")" -v s="$(spread <"$data/$label.t")" \
            -v ref="$(median <"$data/$first.t")" -v ratios="$(paste "$data/$label.t" "$data/$first.t" |
                awk '{ printf "%.2f ", $1 / $2 }')" 'BEGIN {
            printf "  %-34s %8.3f s (%s)  / %s: %.2f (each run: %s)\n", label, t / 1e6, s, "'"$first"'", t / ref, ratios
        }'
    done
}

# A checked join (the target read back from the disk and hashed against TARGET.sha256) against
# the same join unchecked followed by sha256sum over the target, its cache dropped first.
bench_checksum() {
    local n=$1
    make_inputs checksum 4 $((256 << 20))
    sources=("$data/checksum"/part*)
    warm=true
    cat "${sources[@]}" | sha256sum | sed "s|-\$|$target|" >"$target.sha256"
    local list
    list=$(printf '%q ' "${sources[@]}")
    bench_commands "checksum: 4 warm sources of 256 MiB, target checked against its .sha256" "$n" \
        "veltrane-join + sha256sum|'$join_tool' --no-checksum-search '$target' $list
            dd if='$target' iflag=nocache count=0 status=none; sha256sum '$target' >/dev/null" \
        "veltrane-join, checked|'$join_tool' '$target' $list 2>&1 | grep -q 'Checked: matches'"
    rm -f "$target.sha256"
}

# A target of 64 GiB holding 32 MiB of data, its digest printed: the holes are hashed as zeros
# without being read, so the check costs about what hashing 64 GiB of zeros in memory does.
bench_checksum_sparse() {
    local n=$1 file="$data/checksum-sparse/part000" size=$((64 << 30)) i
    if [ "$(stat -c %s "$file" 2>/dev/null || echo 0)" != "$size" ]; then
        mkdir -p "$data/checksum-sparse"
        rm -f "$file"
        truncate -s "$size" "$file"
        for ((i = 0; i < 16; i++)); do
            head -c $((2 << 20)) /dev/urandom | dd of="$file" bs=1M seek=$((i * 4096)) conv=notrunc status=none
        done
    fi
    sources=("$file")
    warm=false
    bench_commands "checksum-sparse: one source of 64 GiB holding 32 MiB, its join's SHA-256" "$n" \
        "SHA-256 of 64 GiB of zeros in memory|python3 -c 'import hashlib; h = hashlib.sha256(); z = bytes(1 << 20)
for _ in range(65536): h.update(z)'" \
        "veltrane-join --sha256|'$join_tool' --sha256 --no-checksum-search '$target' '$file' >/dev/null" \
        "veltrane-join, unchecked|'$join_tool' --no-checksum-search '$target' '$file'"
}

echo "veltrane-join vs cat ($(cat --version | head -n 1)), medians (min-max), data in $data"
echo "load before: $(uptime)"
for case in $cases; do
    case $case in
    large) bench_set large 4 $((512 << 20)) "$runs" ;;
    small) bench_set small 64 $((100 << 10)) "$small_runs" ;;
    sparse | fragmented) bench_holes "$case" "$runs" ;;
    window) bench_window window 4 $((256 << 20)) "$runs" ;;
    pieces) bench_window pieces 10000 4096 "$runs" 1.2 ;;
    check) bench_check "$small_runs" ;;
    checksum) bench_checksum "$runs" ;;
    checksum-sparse) bench_checksum_sparse "$(((runs + 1) / 2))" ;;
    *) echo "unknown case: $case" >&2; exit 2 ;;
    esac
done
rm -f "$target" "$target.sha256" "$data"/*.t "$data"/*.w "$data"/*.rss "$data"/*.dirty "$data"/*.cache "$data"/*.kib \
    "$data/rss" "$data/dirty"
