#!/usr/bin/env bash
# Time and peak memory of scanmend-pages import and export on one file of
# 1, 10 and 100 MB in each format, made by repeating the blocks of the test
# files (tesseract's ALTO and hOCR, the hand-made PAGE with outlines,
# tesseract's text)
# and corrected with "Ufs =" between import and export; then the reading of
# a --profile by its rows. Prints per file: megabytes, import and export
# CPU seconds, peak RSS in MB and its ratio to the file's size.
#   bash bench/pages_scaling.sh [SIZES_MB...]    (needs the bench preset built)
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1 10 100)
bin=$PWD/build/bench
[ -x "$bin/scanmend-pages" ] || { echo "build first: cmake --preset bench && cmake --build --preset bench"; exit 1; }
data=$PWD/tests/data/pages
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes FILE of about MB megabytes: HEAD, then BODY repeated, then TAIL.
grow() {  # FILE MB HEAD BODY TAIL
  local file=$1 bytes=$(($2 * 1024 * 1024))
  local body_bytes=$(wc -c < "$4")
  local copies=$((bytes / body_bytes + 1))
  { cat "$3"; awk -v n="$copies" '{ b = b $0 "\n" } END { for (i = 0; i < n; i++) printf "%s", b }' "$4"
    cat "$5"; } > "$file"
}
# Cuts SOURCE into head, body and tail at the first line matching START
# and after the last line matching END.
cut3() {  # SOURCE START END PREFIX
  local first last
  first=$(grep -n "$2" "$1" | head -n 1 | cut -d: -f1)
  last=$(grep -n "$3" "$1" | tail -n 1 | cut -d: -f1)
  head -n $((first - 1)) "$1" > "$4.head"
  sed -n "${first},${last}p" "$1" > "$4.body"
  tail -n +$((last + 1)) "$1" > "$4.tail"
}
cut3 "$data/tesseract-deu-alto3.xml" '<TextBlock' '</TextBlock>' "$work/alto"
cut3 "$data/tesseract-deu.hocr" "<p class='ocr_par'" '</p>' "$work/hocr"
# PAGE as OCR programs write it: every region, line and word with its
# outline, the words with a confidence.
cut3 "$data/hand-page2013-words.xml" '<TextRegion' '</TextRegion>' "$work/page"
sed -i -e 's|<TextRegion id="\([^"]*\)">|&<Coords points="120,80 1460,80 1460,180 120,180"/>|' \
  -e 's|<TextLine id="\([^"]*\)">|&<Coords points="120,80 1460,80 1460,130 120,130"/><Baseline points="120,122 1460,122"/>|' \
  -e 's|<Word id="\([^"]*\)">|&<Coords points="120,84 310,84 310,126 120,126"/>|' "$work/page.body"
: > "$work/text.head" && cp "$data/tesseract-deu.txt" "$work/text.body" && : > "$work/text.tail"

measure() {  # WHAT COMMAND... (in the book); prints "seconds megabytes"
  # CPU seconds (user and system): wall time counts whatever else the
  # machine does.
  /usr/bin/time -f '%U %S %M' -o "$work/time" "${@:2}" > /dev/null 2> "$work/err" ||
    { cat "$work/err"; exit 1; }
  awk '{ printf "%.2f %.1f\n", $1 + $2, $3 / 1024 }' "$work/time"
}

printf '%-6s %6s %9s %9s %9s %9s %7s\n' format MB import_s import_MB export_s export_MB ratio
for format in alto page hocr text; do
  for mb in "${sizes[@]}"; do
    extension=$([ $format = text ] && echo txt || echo xml)
    [ $format = hocr ] && extension=hocr
    source=$work/$format-$mb.$extension
    grow "$source" "$mb" "$work/$format.head" "$work/$format.body" "$work/$format.tail"
    book=$work/book && rm -rf "$book" && mkdir -p "$book" && cp examples/dic.txt "$book/"
    cd "$book"
    read -r import_s import_mb < <(measure import "$bin/scanmend-pages" import "$source")
    "$bin/scanmend" Ufs = > /dev/null
    read -r export_s export_mb < <(measure export "$bin/scanmend-pages" export ../exported)
    cd - > /dev/null
    size=$(du -m --apparent-size "$source" | cut -f1)
    awk -v f=$format -v s="$(stat -c %s "$source")" -v is="$import_s" -v im="$import_mb" \
      -v es="$export_s" -v em="$export_mb" 'BEGIN {
        mb = s / 1048576; top = im > em ? im : em
        printf "%-6s %6.1f %9s %9s %9s %9s %7.1f\n", f, mb, is, im, es, em, top / mb }'
    rm -rf "$source" "$work/exported"
  done
done

# --profile read by its rows: scanned pairs of letters, each read as a
# letter with a small probability.
echo
printf '%-8s %9s\n' rows seconds
book=$work/book && rm -rf "$book" && cp -r examples "$book" && mkdir -p "$book/out"
for rows in 1000 10000 50000; do
  awk -v rows="$rows" 'BEGIN {
    print "scanned\tplace\treading\tprobability\twords\texamples"
    letters = "abcdefghijklmnopqrstuvwxyz"; n = 0
    for (i = 1; i <= 26 && n < rows; i++) for (j = 1; j <= 26 && n < rows; j++)
      for (k = 1; k <= 26 && n < rows; k++) for (p = 0; p < 2 && n < rows; p++) {
        printf "%s%s\t%s\t%s\t0.001\t1\t\n", substr(letters, i, 1), substr(letters, j, 1),
          p ? "end" : "other", substr(letters, k, 1); n++ } }' > "$work/profile.tsv"
  (cd "$book" && read -r s _ < <(measure profile "$bin/scanmend-learn" --profile "$work/profile.tsv") &&
    printf '%-8s %9s\n' "$rows" "$s")
done
