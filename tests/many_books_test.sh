#!/usr/bin/env bash
# Corrects six small books (working directories) at once through GNU
# parallel and checks that every book's output files and console text are
# byte for byte those of correcting the books one after another.
#   many_books_test.sh SCANMEND_BINARY EXAMPLES_DIRECTORY SCRATCH_DIRECTORY
set -euo pipefail
scanmend=$(realpath "$1") examples=$(realpath "$2") scratch=$3
command -v parallel > /dev/null || { echo "GNU parallel is not installed (apt-get install parallel)"; exit 1; }
arguments="Ufs Bnu Bov BBV UEC I german finals ="

rm -rf "$scratch" && mkdir -p "$scratch/books"
# Six books that differ: page counts, a gap, a book without pages, a
# missing out/ and a dictionary that is missing.
for n in 1 2 3 4 5 6; do
  book=$scratch/books/book$n
  mkdir -p "$book/in" "$book/out"
  cp "$examples/dic.txt" "$book/"
  for page in $(seq 1 $((n * 2))); do
    cp "$examples/in/00$(( (page + n) % 3 + 1 )).txt" "$book/in/$(printf %03d "$page").txt"
  done
done
rm "$scratch/books/book2/in/003.txt"          # a gap: pages 4 on are never read
rm "$scratch/books/book3/in/"*                 # no pages at all
rmdir "$scratch/books/book4/out"               # every output page fails to open
rm "$scratch/books/book5/dic.txt"              # exit status 1
cp -r "$scratch/books" "$scratch/one-by-one"
cp -r "$scratch/books" "$scratch/parallel"

correct() {  # in the working directory of one book; the exit status goes to console.txt too
  "$scanmend" $arguments > console.txt && status=0 || status=$?
  echo "exit $status" >> console.txt
}
for book in "$scratch"/one-by-one/*/; do
  (cd "$book" && correct)
done

# The recipe of the README: one job per book directory, on every core.
export scanmend arguments
export -f correct
ls -d "$scratch"/parallel/*/ | parallel --will-cite --jobs 6 --joblog "$scratch/jobs.log" 'cd {} && correct'

diff -r "$scratch/one-by-one" "$scratch/parallel"
[ "$(tail -n +2 "$scratch/jobs.log" | wc -l)" -eq 6 ] || { echo "not every book ran"; exit 1; }
for n in 1 2 3 6; do
  grep -q "^exit 0" "$scratch/parallel/book$n/console.txt" || { echo "book$n did not run"; exit 1; }
done
grep -q "Total words:                  355" "$scratch/parallel/book1/console.txt"
grep -q "Total words:                  0" "$scratch/parallel/book3/console.txt"
grep -q "^exit 2" "$scratch/parallel/book4/console.txt"
[ "$(grep -c "Error opening output file" "$scratch/parallel/book4/console.txt")" -eq 8 ]
grep -q "Dictionary file not found!exit 1" "$scratch/parallel/book5/console.txt"
echo "six books through GNU parallel: output files and console text as one by one"
