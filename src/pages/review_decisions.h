// A person's decisions on a review (decisions.tsv, see review_table.h),
// brought back to a run of `correct` on the same sources: each row is
// checked against the sources as imported now, and only when every row
// fits is anything done. Then each decision is written into the corrected
// pages in its place, as the correction reads words: "accept" writes the
// word as the row shows it written, "reject" keeps the word as read, a
// word typed is written as typed. The learner is given the decisions too,
// in the forms it reads, to learn from them for the words not yet
// reviewed.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "pages/review_book.h"
#include "pages/review_table.h"

namespace scanmend::pages {

class ReviewDecisions {
 public:
  // Reads the file; false, with every row that cannot be read said.
  bool load(const std::string& path, std::ostream& err);
  // Checks every row against the book in the current directory, as
  // imported: the file is one of its sources, the word is there and reads
  // as the row says, the word to write is one word the pages can hold.
  // False, with every row that does not fit said by its line, file and
  // line there.
  bool check(std::ostream& err);
  // Writes the decisions for the learner: file page line word read
  // written decision, the words as the correction reads them, in UTF-8;
  // not those of a word without a letter, which it cannot learn from.
  bool writeForLearner(const std::string& path) const;
  // Writes each decision into its place in out/. False, with the reason
  // said, when a page cannot be read or written.
  bool apply(std::ostream& err) const;

  const std::vector<DecisionRow>& rows() const { return rows_; }

 private:
  struct Placed {
    std::size_t row = 0;   // in rows_
    std::size_t page = 0;  // in the book's pages
    std::size_t word = 0;  // the imported word that begins it
    std::string read;      // Windows-1252, as the correction read it
    std::string written;   // Windows-1252, as the row shows it written
    std::string target;    // Windows-1252, what is to stand there
  };

  std::string name_;  // the file's name, for messages
  std::vector<DecisionRow> rows_;
  ReviewBook book_;
  std::vector<Placed> placed_;
};

}  // namespace scanmend::pages
