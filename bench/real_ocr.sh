#!/usr/bin/env bash
# Word accuracy on real OCR: German prose in the spelling of 1901
# (bench/real-ocr/prose.txt, the true text) and in the spelling of the
# early 19th century, with its names and compounds
# (bench/real-ocr/historical.txt), is set in two Fraktur fonts with the long
# s, 58 characters a line with hyphenated line ends, rendered to page images
# and read by tesseract with the Fraktur model (frk) and the modern German
# one (deu). Each of the eight readings is a book with Debian's wogerman as
# its dictionary. Prints,
# per book, the word accuracy of the raw pages, of the advice, of the advice
# after "scanmend-advise --dictionary-words >> dic.txt" and of
# scanmend-learn, with the share of the words right as read that the advice
# and the learner get wrong ("broken"); then the share of the advice's word
# errors that the learner leaves, averaged over the books.
#
# Needs: tesseract-ocr tesseract-ocr-frk tesseract-ocr-deu fonts-blankenburg
# fonts-gamaliel imagemagick wogerman.
#   bash bench/real_ocr.sh
set -euo pipefail
cd "$(dirname "$0")/.."
for need in tesseract /usr/bin/convert /usr/share/dict/ogerman \
    /usr/share/fonts/truetype/blankenburg/Blankenburg_UNZ1A.ttf \
    /usr/share/fonts/truetype/gamaliel/Gamaliel.ttf; do
  command -v "$need" > /dev/null || [ -e "$need" ] || { echo "missing: $need (see the header)"; exit 1; }
done
cmake --preset bench > /dev/null && cmake --build --preset bench > /dev/null
build=$PWD/build/bench
work=$build/real-ocr
rm -rf "$work" && mkdir -p "$work"

# The long s stands wherever s does not end a word; three paragraphs a page.
for text in prose historical; do
mkdir -p "$work/$text"
python3 - "bench/real-ocr/$text.txt" "$work/$text" <<'PY'
import re, sys
text, work = open(sys.argv[1]).read().strip().split('\n\n'), sys.argv[2]
vowels = 'aeiouäöüy'
def longs(match):
    w = match.group(0)
    return ''.join('ſ' if c == 's' and i + 1 < len(w) else c for i, c in enumerate(w))
for page in range((len(text) + 2) // 3):
    lines, line = [], ''
    for paragraph in text[3 * page:3 * page + 3]:
        if lines: lines.append(''); 
        for w in re.sub(r'\w+', longs, paragraph).split():
            if not line or len(line) + 1 + len(w) <= 58:
                line = (line + ' ' + w).strip(); continue
            room = 58 - len(line) - 1
            cut = next((k for k in range(min(room - 1, len(w) - 3), 2, -1)
                        if w[k-1] in vowels and w[k].isalpha() and w[k] not in vowels), None)
            if len(w) >= 7 and cut:
                lines.append(line + ' ' + w[:cut] + '-'); line = w[cut:]
            else:
                lines.append(line); line = w
        lines.append(line); line = ''
    open(f'{work}/lines{page + 1:03d}.txt', 'w').write('\n'.join(lines) + '\n')
PY
done

render() {  # LINES FONT IMAGE
  local parts=$work/parts n=0
  rm -rf "$parts" && mkdir "$parts"
  while IFS= read -r line; do
    n=$((n + 1))
    if [ -z "$line" ]; then
      /usr/bin/convert -size 1800x30 xc:white "$parts/$(printf %03d $n).png"
    else
      /usr/bin/convert -background white -fill black -font "$2" -pointsize 44 label:"$line" \
        -gravity west -extent 1800x70 "$parts/$(printf %03d $n).png"
    fi
  done < "$1"
  /usr/bin/convert "$parts"/*.png -append -bordercolor white -border 80 "$3"
}

iconv -f UTF-8 -t WINDOWS-1252//TRANSLIT /usr/share/dict/ogerman > "$work/dic.txt"
printf '%-28s %7s %7s %7s %7s %8s %7s  %s\n' book raw advice broken +dic learner broken advice
for text in prose historical; do
for font in blankenburg gamaliel; do
  file=$(ls /usr/share/fonts/truetype/$font/*.ttf | head -n 1)
  for lines in "$work/$text"/lines*.txt; do
    page=$(basename "$lines" .txt); page=${page#lines}
    render "$lines" "$file" "$work/$text/$font-$page.png"
  done
  for model in frk deu; do
    name=$model-$font && [ "$text" = prose ] || name=$model-$font-$text
    book=$work/$name
    mkdir -p "$book/in" "$book/out" "$book/truth"
    cp "$work/dic.txt" "$book/"
    for lines in "$work/$text"/lines*.txt; do
      page=$(basename "$lines" .txt); page=${page#lines}
      tesseract "$work/$text/$font-$page.png" - -l $model 2> /dev/null |
        iconv -f UTF-8 -t WINDOWS-1252//TRANSLIT > "$book/in/$page.txt"
      sed 's/ſ/s/g' "$lines" | iconv -f UTF-8 -t WINDOWS-1252 > "$book/truth/$page.txt"
    done
    raw=$("$build/bench/word_accuracy" "$book/truth" "$book/in")
    advice=$(cd "$book" && "$build/scanmend-advise" --args-only 2> /dev/null)
    (cd "$book" && rm -f out/* && "$build/scanmend" $advice > /dev/null)
    read -r with_advice advice_broken < <("$build/bench/word_accuracy" "$book/truth" "$book/out" "$book/in")
    (cd "$book" && rm -f out/* && "$build/scanmend-learn" > /dev/null 2>&1)
    read -r learned learned_broken < <("$build/bench/word_accuracy" "$book/truth" "$book/out" "$book/in")
    (cd "$book" && "$build/scanmend-advise" --dictionary-words 2> /dev/null >> dic.txt)
    again=$(cd "$book" && "$build/scanmend-advise" --args-only 2> /dev/null)
    (cd "$book" && rm -f out/* && "$build/scanmend" $again > /dev/null)
    with_added=$("$build/bench/word_accuracy" "$book/truth" "$book/out")
    printf '%-28s %7s %7s %7s %7s %8s %7s  %s\n' "$name" "$raw" "$with_advice" "$advice_broken" \
      "$with_added" "$learned" "$learned_broken" "$advice" | tee -a "$work/table.txt"
  done
done
done
awk '$3 < 100 { left += (100 - $6) / (100 - $3); n++ }
  END { if (n) printf "the learner leaves %.0f%% of the advice'"'"'s word errors (mean over %d books)\n", 100 * left / n, n }' \
  "$work/table.txt"
