#!/usr/bin/env bash
# Times veltrane-join against cat on the same inputs, interleaved, and prints the medians;
# then the same join started from the window (veltrane-window-bench, found beside
# veltrane-join) against veltrane-join.
# Usage: run_bench.sh PATH/TO/veltrane-join [RUNS]
# BENCH_CASES picks the cases (default: "large small sparse window").
set -euo pipefail

join_tool=$(realpath "$1")
window_tool=$(dirname "$join_tool")/veltrane-window-bench
runs=${2:-5}
cases=${BENCH_CASES:-large small sparse window}
small_runs=$((runs * 4 + 1))
data=${BENCH_DATA:-$(dirname "$0")/../bench-data}
mkdir -p "$data"
data=$(realpath "$data")
target="$data/target.bin"

make_inputs() {
    local name=$1 count=$2 size=$3 i
    mkdir -p "$data/$name"
    for ((i = 0; i < count; i++)); do
        local file="$data/$name/part$(printf %03d "$i")"
        if [ "$(stat -c %s "$file" 2>/dev/null || echo 0)" != "$size" ]; then
            head -c "$size" /dev/urandom >"$file"
        fi
    done
}

# Removes the target and syncs the disk, so that no run pays for the previous run's writeback.
fresh_state() {
    rm -f "$target"
    sync
}

# One timed run: prints microseconds, peak resident KiB and the voluntary context switches
# of all its threads.
time_run() {
    fresh_state
    local start end
    start=$(date +%s%N)
    /usr/bin/time -o "$data/rss" -f '%M %w' "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo "$(((end - start) / 1000)) $(cat "$data/rss")"
}

# A run that is fast but wrong must not count. Once per tool and set: the runs are alike, and
# reading gigabytes back after each one would only lengthen the benchmark.
check_target() {
    cmp -s "$target" <(cat "${@:2}") || { echo "$1 output differs" >&2; exit 1; }
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# "min-max" of the timings in microseconds, as seconds.
spread() { sort -n | awk '{ v[NR] = $1 } END { printf "%.3f-%.3f s", v[1] / 1e6, v[NR] / 1e6 }'; }
blocks_kib() { echo $(($(stat -c '%b * %B' "$1") / 1024)); }

bench_set() {
    local name=$1 count=$2 size=$3 n=$4
    make_inputs "$name" "$count" "$size"
    local sources=("$data/$name"/part*)
    cat "${sources[@]}" >/dev/null # warm the page cache
    local bytes=$((count * size)) i
    : >"$data/cat.t"; : >"$data/join.t"; : >"$data/plain.t"; : >"$data/join.rss"
    for ((i = 0; i < n; i++)); do
        time_run sh -c 'cat "$@" >"$0"' "$target" "${sources[@]}" | cut -d' ' -f1 >>"$data/cat.t"
        read -r us rss _ < <(time_run "$join_tool" "$target" "${sources[@]}")
        echo "$us" >>"$data/join.t"; echo "$rss" >>"$data/join.rss"
        ((i > 0)) || check_target veltrane-join "${sources[@]}"
        read -r us rss _ < <(time_run "$join_tool" --plain-copy "$target" "${sources[@]}")
        echo "$us" >>"$data/plain.t"; echo "$rss" >>"$data/join.rss"
        ((i > 0)) || check_target "veltrane-join --plain-copy" "${sources[@]}"
    done
    local cat_us join_us plain_us peak
    cat_us=$(median <"$data/cat.t"); join_us=$(median <"$data/join.t"); plain_us=$(median <"$data/plain.t")
    peak=$(sort -n "$data/join.rss" | tail -n 1)
    awk -v name="$name" -v bytes="$bytes" -v c="$cat_us" -v j="$join_us" -v p="$plain_us" -v n="$n" -v rss="$peak" \
        -v cs="$(spread <"$data/cat.t")" -v js="$(spread <"$data/join.t")" -v ps="$(spread <"$data/plain.t")" 'BEGIN {
        printf "%s: %d runs each, %.1f MB per run\n", name, n, bytes / 1e6
        printf "  cat                        %9.1f MB/s  (%s)\n", bytes / c, cs
        printf "  veltrane-join              %9.1f MB/s  ratio %.3f  (%s)\n", bytes / j, c / j, js
        printf "  veltrane-join --plain-copy %9.1f MB/s  ratio %.3f  (%s)\n", bytes / p, c / p, ps
        printf "  peak resident memory of veltrane-join: %.1f MiB\n", rss / 1024
    }'
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

# One timed join of the sparse source by the named tool.
time_sparse() {
    local source=$2
    case $1 in
    join) time_run "$join_tool" "$target" "$source" ;;
    plain) time_run "$join_tool" --plain-copy "$target" "$source" ;;
    cp) time_run cp --sparse=auto "$source" "$target" ;;
    cat) time_run sh -c 'cat "$1" >"$0"' "$target" "$source" ;;
    esac
}

# The hole-aware joins against cp, which does the same work for one file, and cat.
bench_sparse() {
    local n=$1 source="$data/sparse/part000" tools=(join plain cp cat) i tool
    make_sparse
    cat "$source" >/dev/null
    for tool in "${tools[@]}"; do : >"$data/$tool.t"; done
    for ((i = 0; i < n; i++)); do
        for tool in "${tools[@]}"; do
            time_sparse "$tool" "$source" | cut -d' ' -f1 >>"$data/$tool.t"
            if ((i == 0)); then
                cmp -s "$target" "$source" || { echo "sparse: $tool output differs" >&2; exit 1; }
                blocks_kib "$target" >"$data/$tool.kib"
            fi
        done
    done
    echo "sparse: $n runs each, one source of $(($(stat -c %s "$source") >> 30)) GiB taking $(blocks_kib "$source") KiB"
    for tool in "${tools[@]}"; do
        awk -v name="$tool" -v t="$(median <"$data/$tool.t")" -v c="$(median <"$data/cp.t")" \
            -v k="$(median <"$data/cat.t")" -v s="$(spread <"$data/$tool.t")" \
            -v kib="$(cat "$data/$tool.kib")" 'BEGIN {
            label["join"] = "veltrane-join"; label["plain"] = "veltrane-join --plain-copy"
            label["cp"] = "cp --sparse=auto"; label["cat"] = "cat"
            printf "  %-26s %8.3f s (%s)  %6.2f x cp  %8.1f x faster than cat  target %d KiB\n",
                label[name], t / 1e6, s, t / c, k / t, kib
        }'
    done
    rm -f "$data"/*.kib
}

# The same join from the window and from veltrane-join, interleaved. The window's run is timed
# by its driver from the press of Start to the end notice; veltrane-join's from outside, its
# start-up included. "Waits" are the voluntary context switches of the window's worker thread,
# and of all of veltrane-join's threads.
bench_window() {
    local n=$1 count=4 size=$((256 << 20)) i
    [ -x "$window_tool" ] || { echo "window: $window_tool not built, left out"; return; }
    make_inputs window "$count" "$size"
    local sources=("$data/window"/part*)
    cat "${sources[@]}" >/dev/null
    : >"$data/join.t"; : >"$data/window.t"; : >"$data/join.w"; : >"$data/window.w"
    for ((i = 0; i < n; i++)); do
        read -r us _ waits < <(time_run "$join_tool" "$target" "${sources[@]}")
        echo "$us" >>"$data/join.t"; echo "$waits" >>"$data/join.w"
        ((i > 0)) || check_target veltrane-join "${sources[@]}"
        fresh_state
        read -r seconds waits _ < <(QT_QPA_PLATFORM=offscreen "$window_tool" "$target" "${sources[@]}" 2>/dev/null)
        awk -v s="$seconds" 'BEGIN { printf "%d\n", s * 1e6 }' >>"$data/window.t"
        echo "$waits" >>"$data/window.w"
        ((i > 0)) || check_target "the window" "${sources[@]}"
    done
    awk -v n="$n" -v count="$count" -v size="$size" -v j="$(median <"$data/join.t")" \
        -v w="$(median <"$data/window.t")" -v js="$(spread <"$data/join.t")" -v ws="$(spread <"$data/window.t")" \
        -v jw="$(median <"$data/join.w")" -v ww="$(median <"$data/window.w")" \
        -v wws="$(sort -n "$data/window.w" | tr '\n' ' ')" 'BEGIN {
        printf "window: %d runs each, %d sources of %d MiB, warm\n", n, count, size / 1048576
        printf "  veltrane-join  %8.3f s (%s)  waits %d (all threads)\n", j / 1e6, js, jw
        printf "  window         %8.3f s (%s)  worker waits %d (each run: %s)\n", w / 1e6, ws, ww, wws
        printf "  window / veltrane-join: %.2f\n", w / j
    }'
}

echo "veltrane-join vs cat ($(cat --version | head -n 1)), medians, data in $data"
for case in $cases; do
    case $case in
    large) bench_set large 4 $((512 << 20)) "$runs" ;;
    small) bench_set small 64 $((100 << 10)) "$small_runs" ;;
    sparse) bench_sparse "$runs" ;;
    window) bench_window "$runs" ;;
    *) echo "unknown case: $case" >&2; exit 2 ;;
    esac
done
rm -f "$target" "$data"/*.t "$data"/*.w "$data/rss" "$data/join.rss"
