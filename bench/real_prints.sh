#!/usr/bin/env bash
# Word accuracy on real prints with human ground truth, read by tesseract:
# bench/real-dev/ (sixteen 19th-century prints, lines) and
# bench/real-dev-early/ (seventeen pages of ten prints of the 16th to 18th
# century), each as plain text of the models frk, Fraktur and deu and as
# the Fraktur run's ALTO and hOCR brought in by "scanmend-pages import".
# Dictionary: Debian's wogerman.
#
# The learner starts from a prior of tesseract's usual misreadings; the
# priors shipped are counted on these very prints. So that no print is
# corrected by what was counted on itself, each set is cut in two halves
# (whole prints each), and each half is a book corrected with priors
# counted on the other half and on the other set (bench/make_prior.sh);
# the two halves' counts are added up.
#
# Per set and input: the word accuracy of the pages as read (raw), of
# scanmend run with the advisor's command line (advice) and of the
# learner, each correction with the share of the words right as read that
# it makes wrong ("broken"); the learner's error reduction, (errors as
# read - errors after) / errors as read; and the classes of the words the
# learner leaves wrong (bench/word_accuracy.cpp): a non-word whose true
# word the dictionary lists, a word holding OCR's marks for letters, a
# true word the dictionary lacks, a dictionary word read for another, a
# word the learner made wrong otherwise, words split or merged.
#
#   bash bench/real_prints.sh [BIN_DIR]     (default: the bench preset's build)
set -euo pipefail
cd "$(dirname "$0")/.."
words=/usr/share/dict/ogerman
[ -f "$words" ] || { echo "needs the word list $words: apt-get install wogerman"; exit 1; }
cmake --preset bench > /dev/null && cmake --build --preset bench > /dev/null
bin=$PWD/build/bench
[ $# -ge 1 ] && bin=$(realpath "$1")
accuracy=$PWD/build/bench/bench/word_accuracy
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
iconv -f UTF-8 -t WINDOWS-1252 "$words" | sed -e 's/$/\r/' > "$work/dic.txt"

# half SET NAME FIRST LAST: units FIRST to LAST of SET as a set of their own.
half() {
  local out=$work/sets/$2 n=0
  for unit in $(seq "$3" "$4"); do
    n=$((n + 1))
    local from to
    from=$(printf %03d "$unit") && to=$(printf %03d "$n")
    for folder in gt_plain ocr_frk ocr_fraktur ocr_deu; do
      mkdir -p "$out/$folder" && cp "$1/$folder/$from.txt" "$out/$folder/$to.txt"
    done
    mkdir -p "$out/alto" "$out/hocr"
    cp "$1/alto_fraktur/$from.xml" "$out/alto/$to.xml"
    cp "$1/hocr_fraktur/$from.hocr" "$out/hocr/$to.hocr"
  done
}
half bench/real-dev rd1 1 8
half bench/real-dev rd2 9 16
half bench/real-dev-early re1 1 9
half bench/real-dev-early re2 10 17
prior() { bash bench/make_prior.sh "$work/prior-$1" "${@:2}" > /dev/null; }
prior rd1 "$work/sets/rd2" bench/real-dev-early
prior rd2 "$work/sets/rd1" bench/real-dev-early
prior re1 "$work/sets/re2" bench/real-dev
prior re2 "$work/sets/re1" bench/real-dev

# book HALF INPUT: prints "raw advice-counts learner-counts classes" of
# one half read one way; counts as word_accuracy --counts prints them.
book() {
  local set=$work/sets/$1 dir=$work/books/$1-$2 letters=""
  [[ $1 == re* ]] && letters=--letters
  mkdir -p "$dir/in" "$dir/out" && cp "$work/dic.txt" "$dir/"
  case $2 in
    alto | hocr) (cd "$dir" && "$bin/scanmend-pages" import "$set/$2" > /dev/null) ;;
    *) cp "$set/ocr_$2"/*.txt "$dir/in/" ;;
  esac
  local advice
  advice=$(cd "$dir" && "$bin/scanmend-advise" --args-only 2> /dev/null)
  # shellcheck disable=SC2086
  (cd "$dir" && "$bin/scanmend" $advice > /dev/null)
  local advised
  advised=$("$accuracy" $letters --counts "$set/gt_plain" "$dir/out" "$dir/in")
  rm -f "$dir"/out/*
  local p=$work/prior-$1
  (cd "$dir" && "$bin/scanmend-learn" --prior "$p/frk.tsv" --prior "$p/Fraktur.tsv" \
    --prior "$p/deu.tsv" > /dev/null 2>&1)
  echo "$advised $("$accuracy" $letters --counts --classes "$work/dic.txt" "$set/gt_plain" "$dir/out" "$dir/in")"
}

printf '%-22s %7s %7s %7s %8s %7s %9s  %s\n' book raw advice broken learner broken reduction \
  'left wrong: non-word marks not-listed real-word made-other split'
for set in rd re; do
  for input in frk fraktur deu alto hocr; do
    rows=$(for h in 1 2; do book "$set$h" "$input"; done)
    name=$([ $set = rd ] && echo 19th-century || echo 16th-18th-century)-$input
    awk -v name="$name" '
      { t += $1; a_raw += $2; a_right += $3; a_broken += $4
        l_right += $8; l_broken += $9
        for (f = 11; f <= NF; f++) { split($f, kv, "="); left[kv[1]] += kv[2] } }
      END {
        printf "%-22s %7.2f %7.2f %7.2f %8.2f %7.2f %8.1f%%  %d %d %d %d %d %d\n", name,
          100 * a_raw / t, 100 * a_right / t, 100 * a_broken / a_raw, 100 * l_right / t,
          100 * l_broken / a_raw, 100 * (l_right - a_raw) / (t - a_raw),
          left["non-word"], left["marks"], left["not-listed"], left["real-word"],
          left["made-other"], left["split"] }' <<< "$rows"
  done
done
