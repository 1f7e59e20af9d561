#!/usr/bin/env bash
# The many-books recipe of scanmend(1), through GNU parallel: each job asks
# the advisor for its own book's words and runs scanmend with them, and
# leaves a marker when the book is finished. Checks that
#  - every book's files and console text are byte for byte those of the same
#    recipe run one book after another;
#  - a book that loses pages (no out/) fails with status 2 in the job log, a
#    book without a dictionary with 1, and neither is marked finished;
#  - run again after a book was added in the middle of the list, only the
#    new book and the failed ones run: finished books are not touched.
#   many_books_test.sh BIN_DIRECTORY EXAMPLES_DIRECTORY SCRATCH_DIRECTORY
set -euo pipefail
bin=$(realpath "$1") examples=$(realpath "$2") scratch=$3
command -v parallel > /dev/null || { echo "GNU parallel is not installed (apt-get install parallel)"; exit 1; }
export PATH="$bin:$PATH"

rm -rf "$scratch" && mkdir -p "$scratch/books"
make_book() {  # NAME PAGES
  local book=$scratch/books/$1
  mkdir -p "$book/in" "$book/out"
  cp "$examples/dic.txt" "$book/"
  for page in $(seq 1 "$2"); do
    cp "$examples/in/00$(( (page + $2) % 3 + 1 )).txt" "$book/in/$(printf %03d "$page").txt"
  done
}
# Books that differ: page counts, a gap, a missing out/, a missing dictionary.
for n in 1 2 3 4 5 6; do make_book "book$n" $((n * 2)); done
rm "$scratch/books/book2/in/003.txt"          # a gap: pages 4 on are never read
rmdir "$scratch/books/book4/out"               # every output page fails to open
rm "$scratch/books/book5/dic.txt"              # no dictionary
cp -r "$scratch/books" "$scratch/one-by-one"

# The job of scanmend(1), for one book directory.
job='cd {} && [ -e finished ] || { args=$(scanmend-advise --args-only 2> advice-errors.txt) && scanmend $args > console.txt && touch finished; }'
for book in "$scratch"/one-by-one/*/; do
  (cd "$book" && [ -e finished ] || { args=$(scanmend-advise --args-only 2> advice-errors.txt) && scanmend $args > console.txt && touch finished; }) || true
done
(cd "$scratch/books" && find . -mindepth 1 -maxdepth 1 -type d -printf '%P\n' | sort |
  parallel --will-cite --jobs 6 --joblog "$scratch/jobs.log" "$job") || true

diff -r "$scratch/one-by-one" "$scratch/books"
exit_of() { awk -F'\t' -v book="$1" 'index($9, "cd " book " ") == 1 { print $7 }' "$scratch/jobs.log"; }
[ "$(tail -n +2 "$scratch/jobs.log" | wc -l)" -eq 6 ] || { echo "not every book ran"; exit 1; }
for n in 1 2 3 6; do
  [ "$(exit_of "book$n")" = 0 ] && [ -e "$scratch/books/book$n/finished" ] ||
    { echo "book$n did not finish"; cat "$scratch/jobs.log"; exit 1; }
done
[ "$(exit_of book4)" = 2 ] || { echo "book4 lost its pages, but the job log says $(exit_of book4)"; exit 1; }
[ "$(exit_of book5)" = 1 ] || { echo "book5 has no dictionary, but the job log says $(exit_of book5)"; exit 1; }
[ ! -e "$scratch/books/book4/finished" ] && [ ! -e "$scratch/books/book5/finished" ]
[ "$(grep -c "Error opening output file" "$scratch/books/book4/console.txt")" -eq 8 ]

# A book added in the middle of the list, and book4 mended: the same
# command runs them and leaves every finished book alone.
make_book book3a 2
mkdir "$scratch/books/book4/out"
stamp=$(stat -c %Y.%i "$scratch/books/book1/console.txt" "$scratch/books/book6/out/001.txt")
sleep 1
(cd "$scratch/books" && find . -mindepth 1 -maxdepth 1 -type d -printf '%P\n' | sort |
  parallel --will-cite --jobs 6 --joblog "$scratch/jobs2.log" "$job") || true
[ "$(stat -c %Y.%i "$scratch/books/book1/console.txt" "$scratch/books/book6/out/001.txt")" = "$stamp" ] ||
  { echo "a finished book was run again"; exit 1; }
for book in book3a book4; do
  [ -e "$scratch/books/$book/finished" ] && [ -s "$scratch/books/$book/out/001.txt" ] ||
    { echo "$book did not run"; cat "$scratch/jobs2.log"; exit 1; }
done
echo "books through GNU parallel: as one by one, failures in the job log, finished books left alone"
