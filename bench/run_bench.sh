#!/usr/bin/env bash
# Times veltrane-join against cat on the same inputs, interleaved, and prints the medians.
# Usage: run_bench.sh PATH/TO/veltrane-join [RUNS]
set -euo pipefail

join_tool=$(realpath "$1")
runs=${2:-5}
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

# One timed run: prints seconds and peak resident KiB. The target is removed and the disk
# synced beforehand so no run pays for the previous run's writeback.
time_run() {
    rm -f "$target"
    sync
    local start end
    start=$(date +%s%N)
    /usr/bin/time -o "$data/rss" -f %M "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo "$(((end - start) / 1000)) $(cat "$data/rss")"
}

# A run that is fast but wrong must not count. Once per tool and set: the runs are alike, and
# reading gigabytes back after each one would only lengthen the benchmark.
check_target() {
    cmp -s "$target" <(cat "${@:2}") || { echo "$1 output differs" >&2; exit 1; }
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

bench_set() {
    local name=$1 count=$2 size=$3 n=$4
    make_inputs "$name" "$count" "$size"
    local sources=("$data/$name"/part*)
    cat "${sources[@]}" >/dev/null # warm the page cache
    local bytes=$((count * size)) i
    : >"$data/cat.t"; : >"$data/join.t"; : >"$data/plain.t"; : >"$data/join.rss"
    for ((i = 0; i < n; i++)); do
        time_run sh -c 'cat "$@" >"$0"' "$target" "${sources[@]}" | cut -d' ' -f1 >>"$data/cat.t"
        read -r us rss < <(time_run "$join_tool" "$target" "${sources[@]}")
        echo "$us" >>"$data/join.t"; echo "$rss" >>"$data/join.rss"
        ((i > 0)) || check_target veltrane-join "${sources[@]}"
        read -r us rss < <(time_run "$join_tool" --plain-copy "$target" "${sources[@]}")
        echo "$us" >>"$data/plain.t"; echo "$rss" >>"$data/join.rss"
        ((i > 0)) || check_target "veltrane-join --plain-copy" "${sources[@]}"
    done
    local cat_us join_us plain_us peak
    cat_us=$(median <"$data/cat.t"); join_us=$(median <"$data/join.t"); plain_us=$(median <"$data/plain.t")
    peak=$(sort -n "$data/join.rss" | tail -n 1)
    awk -v name="$name" -v bytes="$bytes" -v c="$cat_us" -v j="$join_us" -v p="$plain_us" -v n="$n" -v rss="$peak" 'BEGIN {
        printf "%s: %d runs each, %.1f MB per run\n", name, n, bytes / 1e6
        printf "  cat                        %9.1f MB/s\n", bytes / c
        printf "  veltrane-join              %9.1f MB/s  ratio %.3f\n", bytes / j, c / j
        printf "  veltrane-join --plain-copy %9.1f MB/s  ratio %.3f\n", bytes / p, c / p
        printf "  peak resident memory of veltrane-join: %.1f MiB\n", rss / 1024
    }'
}

echo "veltrane-join vs cat ($(cat --version | head -n 1)), medians, data in $data"
bench_set large 4 $((512 << 20)) "$runs"
bench_set small 64 $((100 << 10)) "$small_runs"
rm -f "$target" "$data"/*.t "$data/rss" "$data/join.rss"
