#!/usr/bin/env bash
# scanmend-pages correct as people run it, and as an attacker does: where
# it writes (the corrected files in DIR, everything else in DIR/review/),
# what it never overwrites, every DIR and TMPDIR it may be given, signals
# and failures (its working directory never stays behind), the learner
# found on a relative PATH, the dictionaries and folders people have, and
# the messages that name what is wrong.
#   correct_tool_test.sh BIN_DIR DATA_DIR SCRATCH
set -euo pipefail
bin=$(cd "$1" && pwd) data=$(cd "$2" && pwd) scratch=$3
fail() { echo "FAILED: $*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch"
scratch=$PWD
pages=$bin/scanmend-pages
mkdir tmp && export TMPDIR=$scratch/tmp
left_behind() { [ -n "$(ls -A "$TMPDIR")" ]; }

# A book of three pages whose OCR read the long s as f, and its dictionary.
words="sie sich sein sehr lesen fassen Haus Geist ist das Gast fest Nest Rest suchen sagen sehen sonst selten Insel Wiese lassen Kasten Hafen Ofen Tafel laufen helfen hoffen rufen Hilfe offen sch\xf6ner \xfcber M\xfcller Stra\xdfe"
printf "$(printf '%s\\n' $words)" > dic.txt
mkdir src
for n in 1 2 3; do
  for word in $words; do printf "$word " | perl -pe 's/s(?=.)/f/g'; done |
    iconv -f WINDOWS-1252 -t UTF-8 > "src/00$n.txt"
  printf '\n' >> "src/00$n.txt"
done
cp src/001.txt source-001.txt
# runs correct; its exit status in $status, its messages in err.txt
correct() { set +e; "$pages" correct "$@" > out.txt 2> err.txt; status=$?; set -e; }
says() { grep -qF -- "$1" err.txt || fail "$2: the message lacks \"$1\": $(cat err.txt)"; }
# exits with STATUS and says MESSAGE
ends() { [ "$status" -eq "$1" ] || fail "$3: exit $status, not $1: $(cat err.txt)"; says "$2" "$3"; }

# Where it writes: the corrected files alone in DIR, the reports in UTF-8
# with LF and the record of what was written in DIR/review/.
correct --dictionary dic.txt src corrected
[ $status -eq 0 ] || fail "a plain run: $(cat err.txt)"
[ "$(ls corrected)" = "$(printf '001.txt\n002.txt\n003.txt\nreview')" ] || fail "DIR holds $(ls corrected)"
[ "$(ls corrected/review)" = "$(printf 'changes.tsv\nimages.tsv\nprofile.tsv\nreview.html\nreview.tsv\nword_fr.txt\nwritten.tsv')" ] ||
  fail "review/ holds $(ls corrected/review)"
for report in changes.tsv profile.tsv word_fr.txt; do
  iconv -f UTF-8 -t UTF-8 "corrected/review/$report" > /dev/null || fail "$report is not UTF-8"
  ! grep -q $'\r' "corrected/review/$report" || fail "$report has CR LF"
done
grep -q 'sie sich sein' corrected/001.txt && grep -q 'Hafen' corrected/001.txt ||
  fail "nothing corrected: $(cat corrected/001.txt)"
cmp -s src/001.txt source-001.txt || fail "a source was written"

# A second run overwrites what the first wrote and nothing else: the
# user's own files of the reports' names in DIR stay, an edited report
# needs --force.
printf 'mine\n' > corrected/profile.tsv && printf 'mine\n' > corrected/changes.tsv
correct --dictionary dic.txt src corrected
[ $status -eq 0 ] || fail "a second run: $(cat err.txt)"
[ "$(cat corrected/profile.tsv corrected/changes.tsv)" = "$(printf 'mine\nmine')" ] ||
  fail "the user's files in DIR were overwritten"
printf 'checked\n' >> corrected/review/changes.tsv
correct --dictionary dic.txt src corrected
ends 1 "review/changes.tsv was changed since" "an edited report"
grep -q checked corrected/review/changes.tsv || fail "an edited report was overwritten"
correct --force --dictionary dic.txt src corrected
[ $status -eq 0 ] && ! grep -q checked corrected/review/changes.tsv || fail "--force overwrites a report"

# A source named like a report is a page like any other: its corrected
# copy is DIR/word_fr.txt, the report review/word_fr.txt.
mkdir named && cp src/001.txt named/word_fr.txt
correct --dictionary dic.txt named/word_fr.txt corrected-named
[ $status -eq 0 ] && grep -q 'sie sich sein' corrected-named/word_fr.txt ||
  fail "the source word_fr.txt was not exported as itself"

# --force never writes the dictionary, a source, or a file it reads: a
# source named dic.txt exported into the folder that holds the dictionary.
mkdir -p own/src own/work && cp dic.txt own/work/dic.txt && cp src/001.txt own/src/dic.txt
(cd own/work && set +e && "$pages" correct --force ../src . > ../../out.txt 2> ../../err.txt
  echo $? > ../../status)
status=$(cat status)
ends 1 "a file given to be read, which is never written" "--force on the dictionary"
cmp -s own/work/dic.txt dic.txt || fail "--force overwrote the dictionary"

# Every DIR and TMPDIR: a message and exit 1, never an abort, nothing
# left in the temporary directory, nothing learned before the refusal.
ln -s loop loop
long=$(printf 'x%.0s' $(seq 300))
printf 'x\n' > a-file
while IFS='|' read -r name tmpdir dir message; do
  [ -n "$tmpdir" ] && export TMPDIR=$tmpdir
  correct --dictionary dic.txt src "$dir"
  export TMPDIR=$scratch/tmp
  [ $status -eq 1 ] || fail "$name: exit $status: $(cat err.txt)"
  says "$message" "$name"
  ! grep -q Stats out.txt || fail "$name: learned before the refusal"
  ! left_behind || fail "$name: the working directory stayed in $TMPDIR"
done <<EOF
DIR a link loop||loop/corrected|its symbolic links make a loop
DIR a name too long||$long/corrected|File name too long
DIR a file||a-file|is there and is not a folder
DIR is TMPDIR||$scratch/tmp|is or holds the temporary directory
TMPDIR missing|$scratch/none|c1|the temporary directory $scratch/none (TMPDIR) is not there
TMPDIR a file|$scratch/a-file|c1|(TMPDIR) is there and is not a folder
EOF
mkdir relative-tmp
TMPDIR=relative-tmp correct --dictionary dic.txt src relative-corrected
[ $status -eq 0 ] && [ -z "$(ls -A relative-tmp)" ] || fail "a relative TMPDIR: $(cat err.txt)"
if [ "$(id -u)" != 0 ]; then
  mkdir locked && chmod 000 locked
  correct --dictionary dic.txt src locked/corrected
  chmod 700 locked
  ends 1 "cannot be reached" "an unreadable DIR"
fi

# The learner is found beside scanmend-pages, else on the PATH, relative
# entries counting from where correct was started; the working directory
# goes whatever ends the work: the learner failing, SIGTERM, SIGINT.
mkdir -p alone fake learner-bin
cp "$pages" alone/ && cp "$pages" fake/ && cp "$bin/scanmend-learn" learner-bin/
set +e; PATH=/usr/bin:/bin alone/scanmend-pages correct --dictionary dic.txt src c2 > out.txt 2> err.txt; status=$?; set -e
ends 1 "found neither beside scanmend-pages nor on the PATH" "no learner"
set +e; PATH=learner-bin:/usr/bin:/bin alone/scanmend-pages correct --dictionary dic.txt src c2 \
  > out.txt 2> err.txt; status=$?; set -e
[ $status -eq 0 ] && [ -f c2/001.txt ] || fail "the learner on a relative PATH entry: $(cat err.txt)"
printf '#!/bin/sh\nexit 3\n' > fake/scanmend-learn && chmod +x fake/scanmend-learn
set +e; fake/scanmend-pages correct --dictionary dic.txt src c3 > out.txt 2> err.txt; status=$?; set -e
ends 1 "scanmend-learn failed; nothing exported" "a failing learner"
! left_behind || fail "a failing learner left the working directory"
printf '#!/bin/sh\necho $$ > "%s/learner.pid"\nexec sleep 60\n' "$scratch" > fake/scanmend-learn
for signal in TERM INT; do
  rm -f learner.pid
  # SIGINT as a terminal sends it, not ignored as in a background job.
  perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' \
    fake/scanmend-pages correct --dictionary dic.txt src c4 > /dev/null 2>&1 &
  job=$!
  for _ in $(seq 100); do [ -s learner.pid ] && break; sleep 0.1; done
  [ -s learner.pid ] || fail "SIG$signal: the learner never started"
  kill -s $signal $job
  set +e; wait $job; status=$?; set -e
  [ $status -eq $((128 + $(kill -l $signal))) ] || fail "SIG$signal: exit $status"
  ! left_behind || fail "SIG$signal left the working directory: $(ls "$TMPDIR")"
  # Gone, or a zombie that its new parent has yet to reap.
  for _ in $(seq 50); do
    state=$(ps -o stat= -p "$(cat learner.pid)" || true)
    [ -z "$state" ] || [[ $state == Z* ]] && break
    sleep 0.1
  done
  [ -z "$state" ] || [[ $state == Z* ]] || fail "SIG$signal left the learner running ($state)"
done

# The dictionaries people have: UTF-8 with or without a byte-order mark,
# with LF or CR LF, and Windows-1252, all correct alike, in correct and in
# the learner alone.
iconv -f WINDOWS-1252 -t UTF-8 dic.txt > dic-utf8.txt
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' dic-utf8.txt; printf '\xc5\x81\xc3\xb3d\xc5\xba\r\n'; } > dic-bom-crlf.txt
for dictionary in dic-utf8.txt dic-bom-crlf.txt; do
  correct --dictionary "$dictionary" src "c-$dictionary"
  [ $status -eq 0 ] && diff corrected/001.txt "c-$dictionary/001.txt" > /dev/null ||
    fail "the dictionary $dictionary: $(cat err.txt)"
done
says "dic-bom-crlf.txt: line $(($(wc -l < dic.txt) + 1)) holds a character that Windows-1252 lacks" \
  "a word Windows-1252 cannot hold"
mkdir -p learn-1252/in learn-utf8/in
cp dic.txt learn-1252/dic.txt && cp dic-bom-crlf.txt learn-utf8/dic.txt
for n in 1 2 3; do iconv -f UTF-8 -t WINDOWS-1252 "src/00$n.txt" | tee "learn-1252/in/00$n.txt" > "learn-utf8/in/00$n.txt"; done
(cd learn-1252 && "$bin/scanmend-learn" > /dev/null 2>&1) && (cd learn-utf8 && "$bin/scanmend-learn" > /dev/null 2>&1) ||
  fail "the learner refused a dictionary"
diff learn-1252/out learn-utf8/out > /dev/null || fail "the learner reads a UTF-8 dictionary otherwise"

# The profile of review/ (UTF-8) given back decides as the one learned.
correct --dictionary dic.txt --profile corrected/review/profile.tsv src c-profile
[ $status -eq 0 ] && grep -q '^Profile ' out.txt || fail "--profile: $(cat err.txt)"
diff corrected/001.txt c-profile/001.txt > /dev/null || fail "--profile decides otherwise"

# A folder of ALTO files with a note: the note is no page, and is named.
mkdir alto && cp "$data"/tesseract-*-alto3.xml alto/ && printf 'Kantone Logos\n' > alto/notes.txt
correct --dictionary dic.txt alto c-alto
ends 0 "alto/notes.txt skipped: text, and this folder holds alto files" "a note"
grep -q '^Imported 2 files (alto 2)' out.txt || fail "the note was imported: $(cat out.txt)"
# What import does not read is named: an image, tesseract's TSV.
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' > page.png
printf 'level\tpage_num\tblock_num\tpar_num\tline_num\tword_num\tleft\ttop\twidth\theight\tconf\ttext\n' > page.tsv
for file in page.png:"is an image (PNG)" page.tsv:"is tesseract's TSV"; do
  correct --dictionary dic.txt "${file%%:*}" c-other
  ends 1 "${file#*:}, not an OCR file" "${file%%:*}"
done

# A character Windows-1252 lacks (the ligature ff) is no undefined byte on
# the page, so the text recipes convert every page and report; export
# writes it back as it was.
{ cat src/001.txt; printf 'Die Schi\xef\xac\x80e fah\n'; } > ligature.txt
mkdir lig && (cd lig && cp ../dic.txt . && "$pages" import ../ligature.txt > /dev/null &&
  iconv -f WINDOWS-1252 -t UTF-8 in/001.txt > /dev/null) || fail "a page iconv cannot convert"
correct --dictionary dic.txt ligature.txt c-lig
[ $status -eq 0 ] && [ "$(tail -n 1 c-lig/ligature.txt)" = "$(printf 'Die Schi\xef\xac\x80e fah')" ] &&
  grep -q '^sie sich' c-lig/ligature.txt ||
  fail "the ligature came back otherwise: $(cat c-lig/ligature.txt)"

# Misspelt options and commands are named.
correct --dictonary dic.txt src c5
ends 2 "unknown option --dictonary" "a misspelt option"
set +e; "$pages" fix src 2> err.txt; status=$?; set -e
ends 2 "unknown command fix" "a misspelt command"
! left_behind || fail "the working directory stayed behind"

# The README's many books: each book's folder corrected by GNU parallel,
# marked finished when every file was exported; run again, only the book
# that failed runs, and the finished ones are not touched.
if command -v parallel > /dev/null; then
  mkdir -p library/books && cp -r src library/books/one && cp -r alto library/books/two
  mkdir library/books/three && cp page.png library/books/three/
  cp dic.txt library/dic.txt
  JOB='[ -e corrected/{}/finished ] || { mkdir -p corrected/{} && scanmend-pages correct --dictionary dic.txt books/{} corrected/{} > corrected/{}/console.txt 2>&1 && touch corrected/{}/finished; }'
  run_books() {
    (cd library && export PATH="$bin:$PATH" &&
      find books -mindepth 1 -maxdepth 1 -type d -printf '%P\n' | sort |
      parallel --will-cite --jobs 2 --joblog jobs.log "$JOB") || true
  }
  run_books
  [ -e library/corrected/one/finished ] && [ -e library/corrected/two/finished ] &&
    [ ! -e library/corrected/three/finished ] || fail "many books: $(cat library/jobs.log)"
  diff corrected/001.txt library/corrected/one/001.txt > /dev/null || fail "many books: a book otherwise"
  touch -d '2000-01-01' library/corrected/one/001.txt
  rm library/books/three/page.png && cp src/001.txt library/books/three/
  run_books
  [ -e library/corrected/three/finished ] && [ "$(stat -c %Y library/corrected/one/001.txt)" = \
    "$(date -d 2000-01-01 +%s)" ] || fail "many books run again: $(cat library/jobs.log)"
fi
echo "scanmend-pages correct: all checks passed"
