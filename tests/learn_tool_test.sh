#!/usr/bin/env bash
# scanmend-learn as a user runs it: the refusals (nothing written), the
# files it shares with scanmend in scanmend's formats to the byte, a learned
# profile given back, --learn-only and --mark-uncertain.
#   learn_tool_test.sh BIN_DIR SCRATCH
set -euo pipefail
bin=$1 scratch=$2
fail() { echo "FAILED: $*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch/book/in" && cd "$scratch/book"
learn=$bin/scanmend-learn

"$learn" --version | grep -q '^scanmend-learn ' || fail "--version"
"$learn" --help | grep -q -- '--profile FILE' || fail "--help"
set +e; "$learn" --frobnicate 2> err.txt; status=$?; set -e
[ $status -eq 2 ] || fail "a wrong command line exits 2"

# Without dic.txt or without in/001.txt: a message, exit 1, nothing written.
printf 'Die Haus\r\n' > in/001.txt
set +e; "$learn" > out.txt 2> err.txt; status=$?; set -e
[ $status -eq 1 ] && grep -q dic.txt err.txt || fail "no dic.txt exits 1 and says so"
printf 'Die\r\nsein\r\nHaus\r\nund\r\nschon\r\n\xfcber\r\n' > dic.txt
mv in/001.txt in/002.txt
set +e; "$learn" > out.txt 2> err.txt; status=$?; set -e
[ $status -eq 1 ] && grep -q 001 err.txt || fail "no in/001.txt exits 1 and says so"
[ "$(ls)" = "$(printf 'dic.txt\nerr.txt\nin\nout.txt')" ] || fail "a refused run wrote $(ls)"

# Where both tools decide alike, out/, word_fr.txt and the statistics are
# scanmend's to the byte: CR LF, Windows-1252, quotes, debris, page 2.
printf 'Die Haus und sein,\r\n\xfcber Xyzzy \x84Qwerty\x93 und.\r\nXyzzy schon 12 |\r\n' > in/001.txt
printf 'sein Haus\n' > in/002.txt
mkdir out && "$bin/scanmend" > scanmend.txt
mv out scanmend-out && mv word_fr.txt scanmend-word_fr.txt
printf 'scanned\tplace\treading\tprobability\twords\texamples\n' > empty.tsv
"$learn" --profile empty.tsv > learn.txt 2> /dev/null
diff -r out scanmend-out > /dev/null || fail "out/ differs from scanmend's"
cmp -s word_fr.txt scanmend-word_fr.txt || fail "word_fr.txt differs from scanmend's"
stats() { sed -n '/^Stats:/,/^Unknown words:/p' "$1"; }
[ "$(stats learn.txt)" = "$(stats scanmend.txt)" ] && [ -n "$(stats learn.txt)" ] ||
  fail "the statistics differ: $(stats learn.txt)"
[ ! -e profile.tsv ] || fail "a given profile is not overwritten by a learned one"

# A book that reads the long s as f: the profile is learned, the words
# mended, and the profile given back decides the same.
rm -rf in out changes.tsv word_fr.txt && mkdir in
words="sie sich sein sehr lesen fassen Haus Geist ist das Gast fest Nest Rest suchen sagen sehen sonst selten Insel Wiese lassen Kasten Hafen Ofen Tafel laufen helfen hoffen rufen Hilfe offen"
printf '%s\n' $words > dic.txt
for n in 1 2 3; do
  for word in $words; do printf '%s ' "$(printf '%s' "$word" | perl -pe 's/s(?=.)/f/g')"; done > "in/00$n.txt"
  printf '\n' >> "in/00$n.txt"
done
"$learn" --learn-only > learn-only.txt 2> /dev/null
[ -f profile.tsv ] && [ ! -e out ] && [ ! -e changes.tsv ] || fail "--learn-only writes profile.tsv alone"
grep -q "$(printf '^f\tother\ts\t')" profile.tsv || fail "the f read for the long s is learned: $(cat profile.tsv)"
"$learn" > learned.txt 2> /dev/null
grep -q 'sie sich sein sehr lesen fassen' out/001.txt || fail "the long s mended: $(cat out/001.txt)"
grep -q 'Hafen Ofen Tafel laufen helfen hoffen rufen Hilfe offen' out/001.txt || fail "a true f stays"
head -n 1 changes.tsv | grep -q "$(printf '^scanned\twritten\treason\tprobability')" || fail "changes.tsv has its header"
mv out learned-out && cp profile.tsv given.tsv
"$learn" --profile given.tsv > given.txt 2> /dev/null
diff -r out learned-out > /dev/null || fail "the profile given back decides as the one learned"

# A reading under one half is written with --mark-uncertain as scanmend
# marks it: "f" more often s than f, but "fein" is kept unless far likelier.
printf 'fein\nsein\n' > dic.txt
printf 'fein\n' > in/001.txt && rm -f in/002.txt in/003.txt
printf 'scanned\tplace\treading\tprobability\twords\texamples\nf\tother\ts\t0.6\t1\t\n' > half.tsv
"$learn" --profile half.tsv --mark-uncertain > marked.txt 2> /dev/null
[ "$(cat out/001.txt)" = "$(printf "*ein\r")" ] || fail "an uncertain decision marked: $(cat out/001.txt)"
grep -q 'Ambiguous words: *1' marked.txt || fail "counted as ambiguous: $(cat marked.txt)"
# A word mended at a sentence's start takes a capital where the dictionary
# has it small: "fr" is "Er" there, "er" inside a sentence, and a page's
# first word goes on the page before.
printf 'er\nkam\nund\nsah\nsie\n' > dic.txt
printf 'fr kam. fr sah sie, und fr kam! fr\n' > in/001.txt
printf 'scanned\tplace\treading\tprobability\twords\texamples\nf\tother\te\t0.6\t1\t\n' > fe.tsv
"$learn" --profile fe.tsv > /dev/null 2>&1
[ "$(cat out/001.txt)" = "$(printf 'er kam. Er sah sie, und er kam! Er\r')" ] ||
  fail "a sentence starts with a capital: $(cat out/001.txt)"
# Read as the capital "E", "fr" is still "er" inside a sentence, where the
# book prints "er" more often than "Er"; a line's first word keeps its
# small letter (it may end a word broken above).
printf 'Er kam. fr sah sie, und fr kam, er sah, er kam und\nfr sah\n' > in/001.txt
printf 'scanned\tplace\treading\tprobability\twords\texamples\nf\tother\tE\t0.6\t1\t\n' > fE.tsv
"$learn" --profile fE.tsv > /dev/null 2>&1
[ "$(cat out/001.txt)" = "$(printf 'Er kam. Er sah sie, und er kam, er sah, er kam und\r\ner sah\r')" ] ||
  fail "the page's small letter kept inside a sentence and at a line start: $(cat out/001.txt)"

# The period's spelling is kept and known (not left in word_fr.txt, not
# listed for review in changes.tsv); a table of the user's own keeps what
# it declares, and a table that is no table is refused before anything is
# written.
printf 'Teil\nsein\nist\nder\n' > dic.txt
printf 'Der Theil ist mein, der Theyl seyn.\n' > in/001.txt
rm -rf out changes.tsv
"$learn" --profile empty.tsv > /dev/null 2>&1
grep -q 'Der Theil ist mein, der Theyl seyn' out/001.txt || fail "the old spelling kept: $(cat out/001.txt)"
! grep -q -e Theil -e seyn word_fr.txt changes.tsv || fail "known, with nothing to review: $(cat word_fr.txt changes.tsv)"
printf '# mine, followed always\nTh\tT\tstart\t\talways\nyl\til\tend\tTheyl\talways\n' > mine.tsv
"$learn" --profile empty.tsv --spelling mine.tsv > /dev/null 2>&1
! grep -q Theyl word_fr.txt || fail "a rule of the user's own: $(cat word_fr.txt)"
grep -q seyn word_fr.txt || fail "the user's table instead of the one shipped: $(cat word_fr.txt)"
rm -rf out changes.tsv
printf 'th\tt\n' > broken.tsv
set +e; "$learn" --spelling broken.tsv > /dev/null 2> err.txt; status=$?; set -e
[ $status -eq 1 ] && grep -q 'broken.tsv: line 1' err.txt && [ ! -e out ] && [ ! -e changes.tsv ] ||
  fail "a table that is no table is refused: $(cat err.txt)"
echo "learn tool: all checks passed"
