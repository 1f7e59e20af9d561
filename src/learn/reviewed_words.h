// What a person decided in review: the rows of decisions.tsv (as the review
// page saves it), each a word as read, the word written and the decision:
// "accept" (the word written is right), "reject" (the word as read is) or
// the word typed. The learner takes them as the book's own ground truth:
// a form rejected is never changed, a word accepted or typed is known, and
// the misreadings that they show are learned for certain.
//
// The table is UTF-8 (with or without a byte-order mark) or Windows-1252,
// with a header naming its columns; the columns "read", "written" and
// "decision" are read, any others ignored, and a row without a decision is
// none. Where rows of one form disagree, the decision of most of them
// holds, and a tie keeps the word as read.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "book/book.h"
#include "profile/learning.h"

namespace scanmend::learn {

struct Verdict {
  bool keep = false;  // the word as read is right
  std::string meant;  // else the word it stands for
};

class ReviewedWords {
 public:
  // False, with the line and the reason in `error`, for a table that
  // cannot be read.
  static bool parse(std::string_view text, ReviewedWords& reviewed, std::string& error);

  bool empty() const { return verdicts_.empty(); }
  // The verdict on a form (the letters of a word, as the decider reads
  // it), or nullptr.
  const Verdict* of(std::string_view form) const;
  // The words meant, to be known as the dictionary's are.
  std::vector<std::string> meantWords() const;
  // The misreadings that the words meant show, each with the count of its
  // form in the book.
  std::vector<ReviewedReading> readings(const std::vector<BookWord>& words) const;

 private:
  std::map<std::string, Verdict, std::less<>> verdicts_;
};

}  // namespace scanmend::learn
