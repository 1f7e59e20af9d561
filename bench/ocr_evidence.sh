#!/usr/bin/env bash
# What the OCR's own evidence is worth: scanmend-learn on the plain text of
# a tesseract run, and on the same run's ALTO and hOCR brought in by
# "scanmend-pages import", which keeps each word's confidence and, for
# hOCR written with "-c lstm_choice_mode=2", the letters' alternatives.
#
# Two sets: the real historical prints of bench/real-dev/ (tesseract's
# Fraktur model; its text, ALTO and hOCR as shipped there), and the pages
# that bench/real_ocr.sh renders (prose of 1901 and of about 1820, two
# Fraktur fonts), read here by tesseract with frk and deu, each run
# writing text, ALTO and hOCR with the choices at once; the hOCR without
# them is the same file with its choices taken out. Dictionary: Debian's
# wogerman. Prints per book the word accuracy of the pages as imported and
# of the learner on each input, with the share of the words right as read
# that the learner makes wrong ("broken"), and the line ends that import
# joined at the book's own hyphen marks.
#
# Needs what bench/real_ocr.sh needs, and its page images: run it first.
# Tesseract's readings are kept in build/bench/ocr-evidence-readings and
# made again only where missing (remove it after new images).
#   bash bench/ocr_evidence.sh
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset bench > /dev/null && cmake --build --preset bench > /dev/null
build=$PWD/build/bench
images=$build/real-ocr
[ -f "$images/prose/blankenburg-001.png" ] || { echo "run bash bench/real_ocr.sh first"; exit 1; }
work=$build/ocr-evidence
rm -rf "$work" && mkdir -p "$work"
iconv -f UTF-8 -t WINDOWS-1252 /usr/share/dict/ogerman | sed -e 's/$/\r/' > "$work/dic.txt"
accuracy=$build/bench/word_accuracy

# learn BOOK TRUTH: the learner in BOOK, "accuracy broken" against TRUTH.
learn() {
  (cd "$1" && rm -rf out/* && "$build/scanmend-learn" > /dev/null 2>&1)
  "$accuracy" "$2" "$1/out" "$1/in"
}

# imported NAME SOURCES TRUTH: a book imported from SOURCES; prints
# "raw accuracy broken joins".
imported() {
  local book=$work/$1
  mkdir -p "$book" && cp "$work/dic.txt" "$book/"
  (cd "$book" && "$build/scanmend-pages" import "$2" > import.log)
  local joins
  joins=$(grep -o '^[0-9]* line ends joined' "$book/import.log" | cut -d' ' -f1 || true)
  echo "$("$accuracy" "$3" "$book/in") $(learn "$book" "$3") ${joins:-0}"
}

# plain NAME TEXTS TRUTH: a book of text pages (UTF-8 as tesseract writes
# them); prints "accuracy broken".
plain() {
  local book=$work/$1
  mkdir -p "$book/in" "$book/out" && cp "$work/dic.txt" "$book/"
  for page in "$2"/*; do
    iconv -f UTF-8 -t WINDOWS-1252//TRANSLIT "$page" > "$book/in/$(basename "${page%.*}").txt"
  done
  learn "$book" "$3"
}

without_choices() {  # HOCR_DIR OUT_DIR
  mkdir -p "$2"
  for file in "$1"/*; do
    python3 - "$file" > "$2/$(basename "$file")" <<'PY'
import re, sys
text = open(sys.argv[1], encoding='utf-8').read()
print(re.sub(r"\s*<span class='ocrx_cinfo' id='lstm_choices[^']*'>.*?</span></span>", '', text,
             flags=re.S), end='')
PY
  done
}

printf '%-30s %7s %14s %14s %14s %14s %6s\n' book imported "plain learner" "ALTO learner" \
  "hOCR learner" "+choices" joins
row() {  # NAME RAW PLAIN ALTO HOCR CHOICES JOINS
  printf '%-30s %7s %14s %14s %14s %14s %6s\n' "$@"
}

set=$PWD/bench/real-dev
read -r raw alto alto_broken joins < <(imported real-dev-alto "$set/alto_fraktur" "$set/gt_plain")
read -r _ hocr hocr_broken _ < <(imported real-dev-hocr "$set/hocr_fraktur" "$set/gt_plain")
read -r text text_broken < <(
  mkdir -p "$work/real-dev-plain/in" "$work/real-dev-plain/out"
  cp "$work/dic.txt" "$work/real-dev-plain/" && cp "$set/ocr_fraktur"/*.txt "$work/real-dev-plain/in/"
  learn "$work/real-dev-plain" "$set/gt_plain")
row "real prints, Fraktur" "$raw" "$text ($text_broken)" "$alto ($alto_broken)" \
  "$hocr ($hocr_broken)" "-" "$joins"

for text in prose historical; do
  truth=$work/truth-$text
  mkdir -p "$truth"
  for lines in "$images/$text"/lines*.txt; do
    page=$(basename "$lines" .txt) && page=${page#lines}
    sed 's/ſ/s/g' "$lines" | iconv -f UTF-8 -t WINDOWS-1252 > "$truth/$page.txt"
  done
  for font in blankenburg gamaliel; do
    for model in frk deu; do
      name=$text-$font-$model
      ocr=$build/ocr-evidence-readings/$name
      mkdir -p "$ocr/txt" "$ocr/alto" "$ocr/hocr-choices"
      for image in "$images/$text/$font"-*.png; do
        [ -f "$ocr/alto/$(basename "$image" .png | sed "s/^$font-//").xml" ] && continue
        page=$(basename "$image" .png) && page=${page#"$font"-}
        tesseract "$image" "$ocr/$page" -l "$model" -c lstm_choice_mode=2 txt alto hocr 2> /dev/null
        mv "$ocr/$page.txt" "$ocr/txt/" && mv "$ocr/$page.xml" "$ocr/alto/"
        mv "$ocr/$page.hocr" "$ocr/hocr-choices/"
      done
      rm -rf "$ocr/hocr" && without_choices "$ocr/hocr-choices" "$ocr/hocr"
      read -r raw alto alto_broken joins < <(imported "$name-alto" "$ocr/alto" "$truth")
      read -r _ hocr hocr_broken _ < <(imported "$name-hocr" "$ocr/hocr" "$truth")
      read -r _ choices choices_broken _ < <(imported "$name-choices" "$ocr/hocr-choices" "$truth")
      read -r plain_accuracy plain_broken < <(plain "$name-plain" "$ocr/txt" "$truth")
      row "$name" "$raw" "$plain_accuracy ($plain_broken)" "$alto ($alto_broken)" \
        "$hocr ($hocr_broken)" "$choices ($choices_broken)" "$joins"
    done
  done
done
