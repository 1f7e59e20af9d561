#!/usr/bin/env bash
# Compares two builds of the tools byte for byte, on each working directory
# given: every output page, word_fr.txt and the console of scanmend under
# six argument sets; the advisor's report, argument line and dictionary
# words; everything scanmend-learn writes (pages, word_fr.txt, profile.tsv,
# changes.tsv, console), learning and with the learned profile given back;
# and, where the book holds a folder sources/ of OCR files, what
# scanmend-pages imports from them and exports after a run. Prints one line
# per difference and exits 1 when there is any.
#
#   bash bench/compare_outputs.sh OLD_BIN_DIR NEW_BIN_DIR BOOK_DIR...
# Each BIN_DIR holds the tools; each BOOK_DIR holds dic.txt and in/ (or
# sources/). The books are copied, never written. COMPARE_IGNORE="NAME..."
# leaves out files of those names (a store whose format changed on purpose,
# a file the older build did not write).
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
differ() {  # WHAT
  local ignored=()
  for name in ${COMPARE_IGNORE:-}; do ignored+=(-x "$name"); done
  if ! diff -rq "${ignored[@]}" "$scratch/old" "$scratch/new" > /dev/null; then
    echo "DIFFERS: $1"
    differences=1
  fi
}
for book in "$@"; do
  for build in old new; do
    rm -rf "${scratch:?}/$build" && mkdir -p "$scratch/$build/out"
    cp "$book/dic.txt" "$scratch/$build/"
    if [ -d "$book/sources" ]; then
      bin=${!build}
      (cd "$scratch/$build" && "$bin/scanmend-pages" import "$book/sources" > console.txt 2>&1; echo $? >> console.txt)
    else
      cp -r "$book/in" "$scratch/$build/"
    fi
  done
  differ "$book: import"
  for index in "${!argument_sets[@]}"; do
    for build in old new; do
      bin=${!build}
      rm -f "$scratch/$build"/out/* "$scratch/$build/word_fr.txt"
      # shellcheck disable=SC2086
      (cd "$scratch/$build" && "$bin/scanmend" ${argument_sets[index]} > console.txt; echo $? >> console.txt)
    done
    differ "$book with arguments '${argument_sets[index]}'"
  done
  if [ -d "$book/sources" ]; then
    for build in old new; do
      bin=${!build}
      (cd "$scratch/$build" && "$bin/scanmend-pages" export exported > console.txt 2>&1; echo $? >> console.txt)
    done
    differ "$book: export"
  fi
  for build in old new; do
    bin=${!build}
    (cd "$scratch/$build" && { "$bin/scanmend-advise" > advice.txt 2> /dev/null || true; }
     { "$bin/scanmend-advise" --args-only > args.txt 2> /dev/null || true; }
     { "$bin/scanmend-advise" --dictionary-words > words.txt 2> /dev/null || true; })
  done
  differ "$book: the advisor"
  for build in old new; do
    bin=${!build}
    (cd "$scratch/$build" && rm -f out/* && { "$bin/scanmend-learn" > learn.txt 2> learn-progress.txt; echo $? >> learn.txt; })
  done
  differ "$book: the learner"
  for build in old new; do
    bin=${!build}
    (cd "$scratch/$build" && cp profile.tsv given.tsv && rm -f out/* &&
     { "$bin/scanmend-learn" --profile given.tsv --mark-uncertain > learn.txt 2> learn-progress.txt; echo $? >> learn.txt; })
  done
  differ "$book: the learner with its profile given back"
  echo "compared: $book"
done
exit $differences
