#!/usr/bin/env bash
# Builds the optimised tool, the floor and the workloads, then runs the tool
# and the floor on each workload several times and prints median CPU seconds
# (user + system), wall seconds, peak RSS and the CPU ratio to the floor.
#
# Then the advisor and the learner on the book, against one run of the tool.
# With "learner" after RUNS, only the learner's line.
#
#   bash bench/run_benchmarks.sh [RUNS [learner]]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
only=${2:-}
usual="Ufs Bnu Bov BBV UEC I german finals ="
# Eleven realistic pairs more, the 25 chained pairs Bab Bbc ... Byz, and the
# cycle of one-way words Uab Ubc ... Uyz Uza: every small letter in one group.
pairs="$usual Bce Brt Bbh Bil Bhk Bcr Bae Bmn Bdb Bgq Bsl"
letters=abcdefghijklmnopqrstuvwxyz
chain=$usual cycle=$usual
for i in $(seq 0 24); do chain+=" B${letters:i:1}${letters:i+1:1}"; done
for i in $(seq 0 25); do cycle+=" U${letters:i:1}${letters:(i+1)%26:1}"; done

cmake --preset bench > /dev/null
cmake --build --preset bench > /dev/null
build=$PWD/build/bench
workloads=$build/workloads
[ -d "$workloads/book" ] || "$build/bench/make_workloads" "$workloads"

# Prints "cpu wall rss_kb", each the median over the runs.
measure() {
  local dir=$1; shift
  for _ in $(seq "$runs"); do
    rm -f "$dir"/out/*
    ( cd "$dir" && /usr/bin/time -f "%U %S %e %M" -o "$build/time.txt" "$@" > /dev/null 2>&1 )
    awk '{ printf "%.3f %.3f %d\n", $1 + $2, $3, $4 }' "$build/time.txt"
  done | sort -n | awk -v n="$runs" '{ cpu[NR]=$1; wall[NR]=$2; rss[NR]=$3 }
    END { m = int((n + 1) / 2); printf "%s %s %s\n", cpu[m], wall[m], rss[m] }'
}

if [ "$only" != learner ]; then
printf '%-14s %9s %9s %9s %9s %9s %9s %7s\n' workload cpu_s wall_s rss_MB \
  floor_cpu floor_wall floor_MB ratio
run() {  # NAME DIRECTORY ARGUMENTS
  local name=$1 dir=$workloads/$2 arguments=$3
  read -r cpu wall rss < <(measure "$dir" "$build/scanmend" $arguments)
  read -r fcpu fwall frss < <(measure "$dir" "$build/bench/floor")
  awk -v w="$name" -v c="$cpu" -v wl="$wall" -v r="$rss" -v fc="$fcpu" -v fw="$fwall" -v fr="$frss" \
    'BEGIN { printf "%-14s %9.3f %9.3f %9.1f %9.3f %9.3f %9.1f %7.2f\n", w, c, wl, r/1024, fc, fw, fr/1024, c/fc }'
}
for workload in book dictionary-2m page-1mb page-2mb page-4mb page-8mb page-10mb markers long-words; do
  run "$workload" "$workload" "$usual"
done
run book-pairs book "$pairs"
run book-chain book "$chain"
run book-cycle book "$cycle"
run 10mb-chain page-10mb "$chain"
# The advisor on the book, against one run of the tool on the same book.
read -r acpu _ arss < <(measure "$workloads/book" "$build/scanmend-advise" --args-only)
read -r cpu _ _ < <(measure "$workloads/book" "$build/scanmend" $usual)
awk -v a="$acpu" -v r="$arss" -v c="$cpu" 'BEGIN {
  printf "advisor on the book: %.3f CPU s, %.1f MB, %.1f times one run of the tool (%.3f s)\n",
    a, r / 1024, a / c, c }'
fi
# The learner on the book, against one run of the tool on the same book:
# the two alternate, so that a machine that slows down slows both. Once
# where the book lies, as above, and once on a copy in memory, where
# creating the 400 pages costs the kernel next to nothing.
learner() {  # DIRECTORY WHERE
  for _ in $(seq "$runs"); do
    read -r cpu _ rss < <(runs=1 measure "$1" "$build/scanmend" $usual)
    read -r lcpu _ lrss < <(runs=1 measure "$1" "$build/scanmend-learn")
    echo "$lcpu $lrss $cpu $rss"
  done | awk -v where="$2" '{ ratio[NR] = $1 / $3; line[NR] = $0 }
    END { n = NR; for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (ratio[j] < ratio[i]) {
            t = ratio[i]; ratio[i] = ratio[j]; ratio[j] = t; t = line[i]; line[i] = line[j]; line[j] = t }
          m = int((n + 1) / 2); split(line[m], f, " ")
          printf "learner on the book %s: %.3f CPU s, %.1f MB, %.1f times the CPU and %.1f times the memory of one run of the tool (%.3f s, %.1f MB; the median of %d alternating pairs)\n",
            where, f[1], f[2] / 1024, ratio[m], f[2] / f[4], f[3], f[4] / 1024, n }'
}
learner "$workloads/book" "on disk"
shm=$(mktemp -d /dev/shm/scanmend-learn-bench.XXXXXX)
trap 'rm -rf "$shm"' EXIT
cp -r "$workloads/book/dic.txt" "$workloads/book/in" "$shm/" && mkdir "$shm/out"
learner "$shm" "in memory"
[ "$only" = learner ] || echo "dic.txt sizes (MB): $(du -m --apparent-size "$workloads"/dictionaries/*.txt | awk '{printf "%s=%s ", $2, $1}' | sed "s|$workloads/dictionaries/||g")"
