#!/usr/bin/env bash
# Compares two builds of the tools byte for byte: every output page,
# word_fr.txt and the console of scanmend under six argument sets, and the
# advisor's report and argument line, on each working directory given.
# Prints one line per difference and exits 1 when there is any.
#
#   bash bench/compare_outputs.sh OLD_BIN_DIR NEW_BIN_DIR BOOK_DIR...
# Each BIN_DIR holds scanmend and scanmend-advise; each BOOK_DIR holds
# dic.txt and in/. The books are copied, never written.
set -euo pipefail
old=$(realpath "$1") new=$(realpath "$2"); shift 2
letters=abcdefghijklmnopqrstuvwxyz
chain="" cycle=""
for i in $(seq 0 24); do chain+=" B${letters:i:1}${letters:i+1:1}"; done
for i in $(seq 0 25); do cycle+=" U${letters:i:1}${letters:(i+1)%26:1}"; done
argument_sets=(
  "Ufs Bnu Bov BBV UEC I german finals ="
  "Ufs Bnu Bov BBV UEC I german finals = Bce Brt Bbh Bil Bhk Bcr Bae Bmn Bdb Bgq Bsl"
  "Ufs I german =$chain"
  "Ufs german$cycle"
  ""
  "Uff Bss Usf finals german I"
)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
differences=0
for book in "$@"; do
  for build in old new; do
    rm -rf "${scratch:?}/$build" && mkdir -p "$scratch/$build/out"
    cp "$book/dic.txt" "$scratch/$build/" && cp -r "$book/in" "$scratch/$build/"
  done
  for index in "${!argument_sets[@]}"; do
    for build in old new; do
      bin=${!build}
      rm -f "$scratch/$build"/out/* "$scratch/$build/word_fr.txt"
      # shellcheck disable=SC2086
      (cd "$scratch/$build" && "$bin/scanmend" ${argument_sets[index]} > console.txt; echo $? >> console.txt)
    done
    if ! diff -rq "$scratch/old" "$scratch/new" > /dev/null; then
      echo "DIFFERS: $book with arguments '${argument_sets[index]}'"
      differences=1
    fi
  done
  for build in old new; do
    bin=${!build}
    (cd "$scratch/$build" && "$bin/scanmend-advise" > advice.txt 2> /dev/null || true
     "$bin/scanmend-advise" --args-only > args.txt 2> /dev/null || true)
  done
  for file in advice.txt args.txt; do
    cmp -s "$scratch/old/$file" "$scratch/new/$file" || { echo "DIFFERS: $book $file"; differences=1; }
  done
  echo "compared: $book"
done
exit $differences
