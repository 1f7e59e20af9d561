#!/usr/bin/env bash
# scanmend-pages correct on the 400-page bench book as ALTO with its page
# images (make_workloads' book-alto/: about 300 words a page, greyscale
# JPEG of 2480 x 3508 pixels), with the review and without it
# (--no-review): wall seconds, best of 3; the review's files; and the time
# its page takes to open in headless chromium (needs npm ci in
# tests/browser).
#   bash bench/review_speed.sh      (needs the bench preset built)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bench
workloads=$bin/workloads
[ -x $bin/scanmend-pages ] && [ -x $bin/bench/make_workloads ] ||
  { echo "build first: cmake --preset bench && cmake --build --preset bench"; exit 1; }
[ -d $workloads/book-alto ] || $bin/bench/make_workloads $workloads > /dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp $workloads/dictionaries/dic-415k.txt "$work/dic.txt"
wall() {
  local start end
  start=$(date +%s.%N)
  "$@" > /dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
best() { printf '%s\n' "$@" | sort -n | head -1; }
without=() with=()
for round in 1 2 3; do
  rm -rf "$work/plain" "$work/reviewed"
  without+=("$(cd "$work" && wall "$OLDPWD/$bin/scanmend-pages" correct --no-review "$OLDPWD/$workloads/book-alto" plain)")
  with+=("$(cd "$work" && wall "$OLDPWD/$bin/scanmend-pages" correct "$OLDPWD/$workloads/book-alto" reviewed)")
done
plain=$(best "${without[@]}") reviewed=$(best "${with[@]}")
echo "book: $(ls $workloads/book-alto/*.xml | wc -l) ALTO pages, $(du -sh $workloads/book-alto | cut -f1) with their images"
echo "correct --no-review: $plain s (best of 3)"
echo "correct with review: $reviewed s (best of 3)"
echo "ratio: $(echo "scale=2; $reviewed / $plain" | bc)"
rows=$(($(wc -l < "$work/reviewed/review/review.tsv") - 1))
echo "review: $rows rows; review.html $(du -h "$work/reviewed/review/review.html" | cut -f1)," \
  "review.tsv $(du -h "$work/reviewed/review/review.tsv" | cut -f1); the lines shown from the page images"
if [ -d tests/browser/node_modules/puppeteer-core ] && [ -x /usr/bin/chromium ]; then
  node bench/review_open.js "$work/reviewed/review/review.html"
fi
