#!/usr/bin/env bash
# CPU of scanmend-pages import plus export of a 400-page ALTO book against
# expat merely parsing the same files once. The pages are tesseract's ALTO
# of the test page, each copy with other words, corrected by scanmend
# between import and export. The book lies in memory (/dev/shm where there
# is one), so that the figure is the programs' own and not the journal of
# a disk's file system, whose file creation costs more than the parse.
#   bash bench/pages_speed.sh [PAGES]      (needs the bench preset built)
set -euo pipefail
cd "$(dirname "$0")/.."
pages=${1:-400}
bin=build/bench
[ -x $bin/scanmend-pages ] && [ -x $bin/bench/expat_parse ] ||
  { echo "build first: cmake --preset bench && cmake --build --preset bench"; exit 1; }
work=$(mktemp -d -p "$([ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/alto" "$work/book"
source=tests/data/pages/tesseract-deu-alto3.xml
for n in $(seq -w 1 "$pages"); do
  # Every page a little different, so no two pages are the same file.
  sed "s/CONTENT=\"Die\"/CONTENT=\"Die$n\"/" "$source" > "$work/alto/page-$n.xml"
done
iconv -f UTF-8 -t WINDOWS-1252 /usr/share/dict/ogerman > "$work/book/dic.txt" 2> /dev/null ||
  cp examples/dic.txt "$work/book/dic.txt"
# User plus system CPU seconds of a command, to the millisecond.
cpu() {
  { "$@" > /dev/null 2>&1; times; } | tail -1 |
    awk '{ n = split($0, t, /[ms]+/); print t[1] * 60 + t[2] + t[3] * 60 + t[4] }'
}
cd "$work/book"
best_parse=999 best_pages=999
for round in 1 2 3 4 5; do
  rm -rf in out pages.tsv words.tsv pages.parsed ../corrected
  import=$(cpu "$OLDPWD/$bin/scanmend-pages" import ../alto)
  "$OLDPWD/$bin/scanmend" Ufs = > /dev/null
  export=$(cpu "$OLDPWD/$bin/scanmend-pages" export ../corrected)
  parse=$(cpu "$OLDPWD/$bin/bench/expat_parse" ../alto/*.xml)
  both=$(echo "$import + $export" | bc)
  best_pages=$(echo "if ($both < $best_pages) $both else $best_pages" | bc)
  best_parse=$(echo "if ($parse < $best_parse) $parse else $best_parse" | bc)
done
echo "pages: $pages ALTO files, $(du -sh ../alto | cut -f1)"
echo "import + export: $best_pages CPU s (best of 5)"
echo "expat parse:     $best_parse CPU s (best of 5)"
echo "ratio to one parse: $(echo "scale=2; $best_pages / $best_parse" | bc)"
