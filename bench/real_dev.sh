#!/usr/bin/env bash
# Word accuracy on real historical Fraktur prints (bench/real-dev/: sixteen
# sets of lines from 19th-century books with human ground truth, read by
# tesseract with the models frk, Fraktur and deu), one book per model with
# Debian's wogerman as dic.txt: the raw pages, the advice of
# scanmend-advise run by scanmend, and scanmend-learn. "broken" is the share
# of the words right as read that the correction makes wrong.
#
#   bash bench/real_dev.sh [BIN_DIR]     (default: the bench preset's build)
set -euo pipefail
cd "$(dirname "$0")/.."
words=/usr/share/dict/ogerman
[ -f "$words" ] || { echo "needs the word list $words: apt-get install wogerman"; exit 1; }
if [ $# -ge 1 ]; then bin=$(realpath "$1"); else
  cmake --preset bench > /dev/null && cmake --build --preset bench > /dev/null
  bin=$PWD/build/bench
fi
accuracy=$PWD/build/bench/bench/word_accuracy
[ -x "$accuracy" ] || { cmake --preset bench > /dev/null && cmake --build --preset bench > /dev/null; }
set=$PWD/bench/real-dev
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
iconv -f UTF-8 -t WINDOWS-1252 "$words" | sed -e 's/$/\r/' > "$work/dic.txt"
printf '%-9s %7s %7s %7s %8s %7s  %s\n' model raw advice broken learner broken advice
for model in frk fraktur deu; do
  book=$work/$model
  mkdir -p "$book/in" "$book/out"
  cp "$work/dic.txt" "$book/" && cp "$set/ocr_$model"/*.txt "$book/in/"
  raw=$("$accuracy" "$set/gt_plain" "$book/in")
  advice=$(cd "$book" && "$bin/scanmend-advise" --args-only 2> /dev/null)
  # shellcheck disable=SC2086
  (cd "$book" && rm -f out/* && "$bin/scanmend" $advice > /dev/null)
  read -r with_advice advice_broken < <("$accuracy" "$set/gt_plain" "$book/out" "$book/in")
  (cd "$book" && rm -f out/* && "$bin/scanmend-learn" > /dev/null 2>&1)
  read -r learned learned_broken < <("$accuracy" "$set/gt_plain" "$book/out" "$book/in")
  printf '%-9s %7s %7s %7s %8s %7s  %s\n' "$model" "$raw" "$with_advice" "$advice_broken" \
    "$learned" "$learned_broken" "$advice"
  [ -z "${KEEP:-}" ] || cp -r "$book" "$KEEP/$model"
done
