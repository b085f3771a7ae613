#!/usr/bin/env bash
# Files per second of `geosig batch` over a generated catalog of 200 STEP parts, with 1 and 2
# jobs, best of several runs, and the speed-up of 2 jobs. Run it on a quiet machine:
#   bash bench/batch_jobs.sh [BUILD_DIR (build/release)] [RUNS (3)]
set -euo pipefail
build=${1:-build/release}
runs=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/catalog"
"$build/host/geosig_make_samples" --step-catalog "$work/catalog" --count 200
files=$(find "$work/catalog" -name '*.step' | wc -l)

# The best wall time of the runs of `batch --jobs $1`, in seconds.
best_time() {
  local best=""
  for ((run = 0; run < runs; ++run)); do
    local start end elapsed
    start=$(date +%s.%N)
    "$build/host/geosig" batch "$work/catalog" -o "$work/out.jsonl" --jobs "$1"
    end=$(date +%s.%N)
    elapsed=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
    best=$(awk -v a="$elapsed" -v b="${best:-$elapsed}" 'BEGIN { print (a < b ? a : b) }')
  done
  echo "$best"
}

one=$(best_time 1)
two=$(best_time 2)
printf '%d STEP files, best of %d runs, load %s\n' "$files" "$runs" "$(cut -d' ' -f1-3 /proc/loadavg)"
awk -v n="$files" -v one="$one" -v two="$two" 'BEGIN {
  printf "1 job:  %6.2f s  %6.1f files/s\n", one, n / one
  printf "2 jobs: %6.2f s  %6.1f files/s\n", two, n / two
  printf "speed-up: %.2f\n", one / two
}'
