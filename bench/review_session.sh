#!/usr/bin/env bash
# The word accuracy of a real early print's page, as read, as corrected,
# and corrected again after a review of its first ROWS rows: the page's
# ALTO and image from real-dev-early corrected with Debian's wogerman,
# the review page walked in headless chromium by bench/review_session.js
# (each row decided by the true text), the decisions saved and given back
# to correct. Scored against the page's true text by word_accuracy.
#   bash bench/review_session.sh [PAGE [ROWS]]    (PAGE 011, ROWS 50)
# Needs the bench preset built, wogerman, chromium and npm ci in
# tests/browser; REAL_DEV_EARLY names the set (../shared/eval/real-dev-early).
set -euo pipefail
cd "$(dirname "$0")/.."
page=${1:-011} rows=${2:-50}
set_dir=$(cd "${REAL_DEV_EARLY:-../shared/eval/real-dev-early}" && pwd)
bin=$PWD/build/bench
[ -x "$bin/scanmend-pages" ] && [ -x "$bin/bench/word_accuracy" ] ||
  { echo "build first: cmake --preset bench && cmake --build --preset bench"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir src truth downloads
cp "$set_dir/alto_fraktur/$page.xml" "$set_dir/images/$page.jpg" src/
cp "$set_dir/gt_plain/$page.txt" truth/001.txt
iconv -f UTF-8 -t WINDOWS-1252 /usr/share/dict/ogerman > dic.txt
# A page's words as text: the file imported alone.
text_of() {
  rm -rf "text-$2" && mkdir "text-$2" && cp dic.txt "text-$2/" &&
    (cd "text-$2" && "$bin/scanmend-pages" import "$1" > /dev/null)
}
accuracy() { "$bin/bench/word_accuracy" truth "text-$1/in" | cut -d' ' -f1; }
text_of "$work/src/$page.xml" read
"$bin/scanmend-pages" correct src out > /dev/null 2>&1
text_of "$work/out/$page.xml" corrected
listed=$(($(wc -l < out/review/review.tsv) - 1))
node "$OLDPWD/bench/review_session.js" out/review/review.html "src/$page.xml" "truth/001.txt" \
  "$rows" downloads
"$bin/scanmend-pages" correct --decisions downloads/decisions.tsv src out > /dev/null 2> decisions.err || { cat decisions.err; exit 1; }
text_of "$work/out/$page.xml" reviewed
echo "page $page: $listed rows to review"
echo "word accuracy as read:                 $(accuracy read) %"
echo "corrected:                             $(accuracy corrected) %"
echo "corrected again after $rows rows reviewed: $(accuracy reviewed) %"
