#!/usr/bin/env bash
# scanmend-pages as a user runs it: import OCR files, correct with scanmend,
# export; and the refusals: a bad file imports nothing, a page that no
# longer lines up is reported by number and not written, the sources are
# never overwritten.
#   pages_tool_test.sh BIN_DIR DATA_DIR SCRATCH
set -euo pipefail
bin=$1 data=$2 scratch=$3
fail() { echo "FAILED: $*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch/book" && cd "$scratch/book"
printf 'Die\r\nGesellschaft\r\nversammelte\r\nsich\r\nVersammlung\r\nschon\r\nsprach\r\nsie\r\nsah\r\n' > dic.txt

"$bin/scanmend-pages" --version | grep -q '^scanmend-pages ' || fail "--version"
"$bin/scanmend-pages" --help | grep -q 'import FILE' || fail "--help"
set +e; "$bin/scanmend-pages" frobnicate 2> err.txt; status=$?; set -e
[ $status -eq 2 ] && grep -q Usage err.txt || fail "a wrong command line exits 2 with the usage"

# All or nothing: one bad file among good ones, and nothing is written.
printf '<alto>\n<String CONTENT="a">\n</alto>\n' > broken.xml
set +e; "$bin/scanmend-pages" import "$data"/* broken.xml 2> err.txt; status=$?; set -e
[ $status -eq 1 ] || fail "a bad file exits 1"
grep -q 'broken.xml:3:3: mismatched tag' err.txt || fail "the error names file, line and column: $(cat err.txt)"
[ ! -e in ] && [ ! -e pages.tsv ] || fail "a failed import wrote something"

"$bin/scanmend-pages" import "$data"/* > import.txt
count=$(ls "$data" | wc -l)
[ "$(ls in | wc -l)" -eq "$count" ] && [ -d out ] || fail "one page a file, and out/"
[ "$(tail -n +2 pages.tsv | wc -l)" -eq "$count" ] || fail "pages.tsv lists every file"
"$bin/scanmend" Ufs german = > run.txt

"$bin/scanmend-pages" export corrected > export.txt
[ "$(ls corrected | wc -l)" -eq "$count" ] || fail "every file exported"
grep -q 'CONTENT="versammelte"' corrected/tesseract-deu-alto3.xml || fail "a corrected ALTO word"
grep -q "CONTENT='Versamm' SUBS_TYPE='HypPart1' SUBS_CONTENT='Versammlung'" corrected/hand-alto2-crlf.xml ||
  fail "a hyphenated word joined, corrected and split back"

# The pages that import stored only save the parse: export without them,
# or with a damaged store, writes the same bytes.
for store in none damaged; do
  cp pages.parsed saved.parsed
  if [ $store = none ]; then rm pages.parsed; else head -c 5000 saved.parsed > pages.parsed; fi
  "$bin/scanmend-pages" export "corrected-$store" > /dev/null
  diff -r corrected "corrected-$store" > /dev/null || fail "export with the store $store differs"
  mv saved.parsed pages.parsed
done

# A page that no longer lines up is refused by number; the others are written.
rm -rf corrected
printf 'zwei Worte\r\n' > out/002.txt
set +e; "$bin/scanmend-pages" export corrected 2> err.txt; status=$?; set -e
[ $status -eq 1 ] && grep -q '^scanmend-pages: page 2: out/002.txt has 2 words' err.txt || fail "page 2 refused: $(cat err.txt)"
[ "$(ls corrected | wc -l)" -eq $((count - 1)) ] || fail "the other pages exported"

# Export never overwrites its sources, and needs the manifest.
cp "$data/tesseract-deu.txt" .
mkdir -p again && cd again && cp ../dic.txt . && "$bin/scanmend-pages" import ../tesseract-deu.txt > /dev/null
"$bin/scanmend" Ufs > /dev/null
set +e; "$bin/scanmend-pages" export .. 2> err.txt; status=$?; set -e
[ $status -eq 1 ] && grep -q 'holds it' err.txt || fail "source overwritten: $(cat err.txt)"
rm pages.tsv
set +e; "$bin/scanmend-pages" export x 2> err.txt; status=$?; set -e
[ $status -eq 1 ] && grep -q 'no manifest pages.tsv' err.txt || fail "missing manifest"

# Pages that no import wrote are not replaced.
cd .. && mkdir -p mine/in && cd mine && printf 'x\r\n' > in/001.txt
set +e; "$bin/scanmend-pages" import "$data"/* 2> err.txt; status=$?; set -e
[ $status -eq 1 ] && grep -q 'no import wrote' err.txt && [ "$(cat in/001.txt)" = $'x\r' ] || fail "own pages kept"
echo "scanmend-pages: all checks passed"
