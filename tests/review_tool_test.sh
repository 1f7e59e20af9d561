#!/usr/bin/env bash
# The review that scanmend-pages correct writes, as a user meets it: the
# page images found beside the files or with --images, shown as they are
# or, where a browser cannot show them, as a smaller JPEG; the lines cut
# with --line-images; an image that cannot be read leaving the text alone;
# review.tsv as the columns say; a typed word the pages cannot hold
# refused; and the training lines.
#   review_tool_test.sh BIN_DIR PAGES_DATA REVIEW_DATA SCRATCH
set -euo pipefail
bin=$1 pages=$2 review=$3 scratch=$4
fail() { echo "FAILED: $*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch/src" "$scratch/images" && cd "$scratch"
cp "$review/book.dic" dic.txt
cp "$review/015.xml" "$review/015.jpg" "$review/016.xml" src/
# A folder is read as the files of its one format: the hOCR and the text
# page beside the ALTO files are given by name.
mkdir -p more && cp "$pages/tesseract-deu.hocr" "$pages/tesseract-deu.txt" more/
sources="src more/tesseract-deu.hocr more/tesseract-deu.txt"
# The hOCR names page.png, which is elsewhere (any image leptonica reads).
cp "$review/016.jpg" images/page.png

"$bin/scanmend-pages" correct $sources out > out.txt 2> err.txt || fail "correct: $(cat err.txt)"
grep -q 'no image found for 2 pages (--images DIR)' out.txt || fail "pages without an image: $(cat out.txt)"
head -1 out/review/review.tsv | grep -qx $'row\tfile\tpage\tline\tword\tid\tx\ty\twidth\theight\tread\twritten\tprobability\trunner_up\trunner_up_probability\treason\tconfidence\tcontext' ||
  fail "the header of review.tsv"
! grep -q $'\r' out/review/review.tsv || fail "review.tsv has CR LF"
iconv -f UTF-8 -t UTF-8 out/review/review.tsv > /dev/null || fail "review.tsv is not UTF-8"
awk -F'\t' 'NR > 1 && (NF != 18 || $1 != NR - 1 || $18 !~ /⟦.*⟧/) { bad = 1 } END { exit bad }' \
  out/review/review.tsv || fail "a row without its number, its columns or its word marked"
# Rows of the ALTO pages have their IDs and boxes; the text page has none.
awk -F'\t' '$2 == "015.xml" && ($6 == "" || $9 == "") { bad = 1 } $2 == "tesseract-deu.txt" && $6 != "" { bad = 1 } END { exit bad }' \
  out/review/review.tsv || fail "IDs and boxes by format"
# A JPEG is shown as it is, from where it is: nothing cut, nothing copied.
grep -q '\["../../src/015.jpg",[0-9]*,[0-9]*,[0-9]*,[0-9]*,' out/review/review.html &&
  [ ! -e out/review/lines ] && [ ! -e out/review/pages ] || fail "015.jpg shown from its place"
grep -q $'^015.xml\t.*src/015.xml\t.*src/015.jpg$' out/review/images.tsv || fail "images.tsv: $(cat out/review/images.tsv)"

# A TIFF, which a browser does not show, is made a JPEG once.
cp "$review/016.tif" src/
"$bin/scanmend-pages" correct $sources out > out.txt 2> err.txt || fail "a TIFF: $(cat err.txt)"
[ -s out/review/pages/p0002.jpg ] && grep -q '\["pages/p0002.jpg",' out/review/review.html ||
  fail "the TIFF as a smaller JPEG: $(ls out/review)"
grep -q 'the lines shown from 2 page images' out.txt || fail "two pages with images: $(cat out.txt)"
# Cut into lines of their own, for a review that goes without the pages.
"$bin/scanmend-pages" correct --line-images $sources lined > out.txt 2> err.txt || fail "--line-images: $(cat err.txt)"
[ -n "$(ls lined/review/lines/p0001-l*.jpg)" ] && [ -z "$(ls lined/review/lines | grep -v '^p000[12]-')" ] &&
  grep -q '\["lines/p0001-l[0-9]*.jpg",0,0,' lined/review/review.html || fail "line images: $(ls lined/review/lines)"
rm src/016.tif

# With --images, the hOCR's page.png is found; a rerun overwrites its own files.
"$bin/scanmend-pages" correct --images images $sources out > out.txt 2> err.txt || fail "rerun: $(cat err.txt)"
grep -q '\["../../images/page.png",' out/review/review.html || fail "--images: $(cat out.txt)"

# An image that cannot be read: the page's rows have text alone.
printf 'no image' > src/015.jpg
"$bin/scanmend-pages" correct $sources out2 > out.txt 2> err.txt || fail "a bad image fails the run: $(cat err.txt)"
grep -q 'src/015.jpg is no image that can be read; the review of 015.xml shows its text only' err.txt ||
  fail "the bad image named: $(cat err.txt)"
! grep -q '"../../src/015.jpg"' out2/review/review.html || fail "a bad image shown"
cp "$review/015.jpg" src/

# A typed word that the pages cannot hold is refused, and nothing written.
row=$(awk -F'\t' '$2 == "015.xml" && $11 != $12 { print; exit }' out/review/review.tsv)
{ head -1 out/review/review.tsv | sed 's/$/\tdecision/'; printf '%s\t%s\n' "$row" 'Ꝛom'; } > typed.tsv
before=$(find out -type f -printf '%p %s %T@\n' | sort | md5sum)
set +e; "$bin/scanmend-pages" correct --decisions typed.tsv $sources out > out.txt 2> err.txt; status=$?; set -e
[ $status -eq 1 ] && grep -q 'the word typed, "Ꝛom", holds a character that the pages cannot hold' err.txt ||
  fail "a typed word the pages cannot hold: $(cat err.txt)"
[ "$(find out -type f -printf '%p %s %T@\n' | sort | md5sum)" = "$before" ] || fail "something was written"

# Training lines: none reviewed yet; every line with --all.
set +e; "$bin/scanmend-pages" lines out > lines.txt 2> err.txt; status=$?; set -e
[ $status -eq 1 ] && grep -q 'decisions.tsv is not there\|decisions.tsv .*--all' err.txt || fail "lines without decisions: $(cat err.txt)"
{ head -1 out/review/review.tsv | sed 's/$/\tdecision/'; printf '%s\t%s\n' "$row" 'reject'; } > decided.tsv
"$bin/scanmend-pages" correct --images images --decisions decided.tsv $sources out > /dev/null 2>&1 || fail "decisions"
cmp -s decided.tsv out/review/decisions.tsv || fail "the decisions applied are kept in review/"
"$bin/scanmend-pages" lines out > lines.txt 2> err.txt || fail "lines: $(cat err.txt)"
line=$(printf '%s' "$row" | cut -f4)
name=$(printf '015_xml_%04d' "$line")
grep -q 'Wrote 1 line to out/review/training' lines.txt && [ -s "out/review/training/$name.png" ] ||
  fail "the reviewed line: $(cat lines.txt) $(ls out/review/training)"
[ "$(cat "out/review/training/$name.gt.txt")" = "$(printf '%s' "$row" | cut -f18 | sed 's/[⟦⟧]//g')" ] ||
  fail "the line's text is the line as corrected: $(cat "out/review/training/$name.gt.txt")"
"$bin/scanmend-pages" lines --all --to every out > lines.txt 2> err.txt || fail "lines --all: $(cat err.txt)"
grep -q 'lines to every (NAME.png, NAME.gt.txt); [0-9]* without an image or a box skipped' lines.txt ||
  fail "every line, the text page's skipped: $(cat lines.txt)"
[ "$(ls every/*.png | wc -l)" -eq "$(ls every/*.gt.txt | wc -l)" ] || fail "a picture for every text"
# A word broken at a line end is one row, and a word typed for it is
# written back as its two halves.
mkdir -p broken/src && cd broken
printf 'Die\r\nGesellschaft\r\nsah\r\nsie\r\n' > dic.txt
{ for n in 1 2 3; do echo "Die Gefellfchaft fah fie kam."; done; printf 'Die Gefell-\nfchaft fah fie kam.\n'; } > src/broken.txt
"$bin/scanmend-pages" correct src out > /dev/null 2>&1 || fail "the broken word's book"
row=$(awk -F'\t' '$4 == 4 && $5 == 2' out/review/review.tsv)
[ "$(printf '%s' "$row" | cut -f11,18)" = "$(printf 'Gefellfchaft\tDie ⟦Gefell⟧-')" ] ||
  fail "the broken word as one row: $row"
# A number typed ("4" for "fie") is written, though the learner learns nothing from it.
number=$(awk -F'\t' '$4 == 1 && $5 == 4' out/review/review.tsv)
{ head -1 out/review/review.tsv | sed 's/$/\tdecision/'; printf '%s\t%s\n' "$row" Gesellschaft "$number" 4; } > typed.tsv
"$bin/scanmend-pages" correct --decisions typed.tsv src out > /dev/null 2> err.txt || fail "typed: $(cat err.txt)"
# (The learner may learn from it for the other words: "fah" may be "sah".)
head -1 out/broken.txt | grep -q '^Die [GS]e[fs]ell[fs]chaft [fs]ah 4 kam\.$' || fail "the number typed: $(head -1 out/broken.txt)"
[ "$(tail -2 out/broken.txt | head -1)" = "Die Gesell-" ] && tail -1 out/broken.txt | grep -q '^schaft ' ||
  fail "the typed word in its two halves: $(tail -2 out/broken.txt)"
awk -F'\t' '$4 == 4 && $5 == 2 && $12 == "Gesellschaft" && $16 == "reviewed" { found = 1 } END { exit !found }' \
  out/review/review.tsv || fail "the decided word listed again: $(grep Gesell out/review/review.tsv)"
echo "review tool: all checks passed"
