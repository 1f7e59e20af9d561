#!/usr/bin/env bash
# Word accuracy of the advice on test books with known misreading profiles,
# against the raw pages, the manual page's example line and the line that
# declares exactly the injected profile; and of the advice again after
# "scanmend-advise --dictionary-words >> dic.txt" (column +dic, which must
# never score below the advice); and of scanmend-learn. "broken" is the
# share of the words right as read that the advice or the learner gets
# wrong. The last line gives the share of the advice's word errors that the
# learner leaves, averaged over the books. Needs Debian's wogerman.
#
#   bash bench/advisor_quality.sh [PAGES]
set -euo pipefail
cd "$(dirname "$0")/.."
pages=${1:-200}
words=/usr/share/dict/ogerman
[ -f "$words" ] || { echo "needs the word list $words: apt-get install wogerman"; exit 1; }
cmake --preset bench > /dev/null
cmake --build --preset bench > /dev/null
build=$PWD/build/bench
books=$build/test-books
"$build/bench/make_test_books" "$words" "$books" "$pages" > /dev/null
readme="Ufs Bnu Bov BBV UEC I german finals ="

accuracy() {  # BOOK ARGUMENTS...
  local book=$1; shift
  rm -f "$book"/out/*
  (cd "$book" && "$build/scanmend" "$@" > /dev/null)
  "$build/bench/word_accuracy" "$book/truth" "$book/out"
}

table=$build/advisor-quality.txt
: > "$table"
printf '%-20s %7s %7s %7s %7s %7s %7s %8s %7s  %s\n' profile raw example exact advice broken +dic learner broken \
  "advice (CPU s)"
for book in "$books"/*/; do
  name=$(basename "$book")
  raw=$("$build/bench/word_accuracy" "$book/truth" "$book/in")
  with_readme=$(accuracy "$book" $readme)
  with_exact=$(accuracy "$book" $(cat "$book/exact.txt"))
  advice=$(cd "$book" && /usr/bin/time -f %U+%S -o "$build/advise-time.txt" \
    "$build/scanmend-advise" --args-only 2> /dev/null)
  with_advice=$(accuracy "$book" $advice)
  advice_broken=$("$build/bench/word_accuracy" "$book/truth" "$book/out" "$book/in" | cut -d' ' -f2)
  rm -f "$book"/out/*
  (cd "$book" && "$build/scanmend-learn" > /dev/null 2>&1)
  read -r learned learned_broken < <("$build/bench/word_accuracy" "$book/truth" "$book/out" "$book/in")
  seconds=$(awk -F+ '{ printf "%.2f", $1 + $2 }' "$build/advise-time.txt")
  added=$(mktemp -d)
  cp -r "$book/dic.txt" "$book/in" "$book/truth" "$added/" && mkdir "$added/out"
  (cd "$added" && "$build/scanmend-advise" --dictionary-words 2> /dev/null >> dic.txt)
  with_added=$(accuracy "$added" $(cd "$added" && "$build/scanmend-advise" --args-only 2> /dev/null))
  rm -rf "$added"
  printf '%-20s %7s %7s %7s %7s %7s %7s %8s %7s  %s (%s)\n' "$name" "$raw" "$with_readme" "$with_exact" \
    "$with_advice" "$advice_broken" "$with_added" "$learned" "$learned_broken" "$advice" "$seconds" | tee -a "$table"
done
awk '$5 < 100 { left += (100 - $8) / (100 - $5); n++ }
  END { if (n) printf "the learner leaves %.0f%% of the advice'"'"'s word errors (mean over %d books)\n", 100 * left / n, n }' \
  "$table"
