#!/usr/bin/env bash
# Throughput of many books at once: 8 copies of the 400-page book workload
# with the 2,000,000-word dictionary (a full-form list, as real jobs use),
# corrected through GNU parallel with one job at a time and with one job
# per core. Prints the median seconds of each and the books per second.
#
#   bash bench/many_books.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
cmake --preset bench > /dev/null
cmake --build --preset bench > /dev/null
build=$PWD/build/bench
[ -d "$build/workloads/book" ] || "$build/bench/make_workloads" "$build/workloads"
books=$build/many-books
rm -rf "$books" && mkdir -p "$books"
for n in 1 2 3 4 5 6 7 8; do
  mkdir -p "$books/book$n/out"
  cp -r "$build/workloads/book/in" "$books/book$n/"
  cp -L "$build/workloads/dictionary-2m/dic.txt" "$books/book$n/"
done
export scanmend=$build/scanmend
cores=$(nproc)

# Prints "wall span": the median over the runs of the wall seconds of the
# whole batch, and of the span from the first job's start to the last
# job's end in the job log (the batch without GNU parallel's own start-up
# and shut-down, which it pays once however many books follow).
measure() {  # JOBS
  for _ in $(seq "$runs"); do
    rm -f "$books"/*/out/*  # as run_benchmarks.sh does: each batch writes new files
    start=$(date +%s.%N)
    ls -d "$books"/*/ | parallel --will-cite --jobs "$1" --joblog "$books/jobs.log" \
      'cd {} && "$scanmend" Ufs Bnu Bov BBV UEC I german finals = > console.txt'
    wall=$(echo "$(date +%s.%N) - $start" | bc)
    span=$(awk 'NR > 1 { s = $3; e = $3 + $4; if (first == "" || s < first) first = s; if (e > last) last = e }
      END { printf "%.3f", last - first }' "$books/jobs.log")
    echo "$wall $span"
  done | sort -n -k2 | awk -v n="$runs" '{ w[NR] = $1; s[NR] = $2 } END { m = int((n + 1) / 2); print w[m], s[m] }'
}
read -r one_wall one_span < <(measure 1)
read -r all_wall all_span < <(measure "$cores")
awk -v ow="$one_wall" -v os="$one_span" -v aw="$all_wall" -v as="$all_span" -v cores="$cores" 'BEGIN {
  printf "%-22s %9s %9s %11s %11s\n", "", "wall_s", "books/s", "jobs_span_s", "books/s"
  printf "%-22s %9.2f %9.2f %11.2f %11.2f\n", "1 job at a time", ow, 8 / ow, os, 8 / os
  printf "%-22s %9.2f %9.2f %11.2f %11.2f\n", cores " jobs at a time", aw, 8 / aw, as, 8 / as
  printf "speed-up: %.2f on the wall clock, %.2f over the jobs\n", ow / aw, os / as }'
