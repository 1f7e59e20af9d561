// Weighs what the OCR program said of each occurrence of a word (its
// confidence, the letters it saw otherwise; ocr.tsv, written by
// scanmend-pages import) against the decision made for the word's form.
//
// How much a confidence says is learned from the book itself: the
// confidences of the occurrences whose form the decision keeps as a
// dictionary word are set against those of the occurrences of words that
// the dictionary lacks and that are changed or stay unknown, bin by bin.
// Where the decision changes a word, the word as read is weighed by that
// ratio for each occurrence and the decision's own rule applied again: a
// form read with the confidence of the words read right keeps itself
// there. A word that the decision keeps is never changed for its
// confidence alone; one that has no reading may take a letter's
// alternative that makes a dictionary word.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "book/ocr_evidence.h"
#include "correction/word_outcome.h"
#include "dictionary/sorted_words.h"

namespace scanmend::learn {

// What the decision said of a form, as the weighing needs it.
struct FormVerdict {
  WordOutcome::Kind kind = WordOutcome::Kind::Unknown;
  double probability = 1;  // as in Decision
  std::string runnerUp;
  double runnerUpProbability = 0;
  double asRead = 0;
  double asReadOutweighedBy = 1;
};

class OcrWeighing {
 public:
  // `rows` from ocr.tsv; `pages` as read from in/, before any joining.
  OcrWeighing(std::vector<OcrWord> rows, const std::vector<std::string>& pages);
  // It points into its own rows.
  OcrWeighing(const OcrWeighing&) = delete;
  OcrWeighing& operator=(const OcrWeighing&) = delete;

  bool empty() const { return rows_.empty(); }
  // Whether any occurrence has a confidence to weigh.
  bool hasConfidences() const;

  // The pages as the correction reads them, after line ends were joined
  // (or the same pages): each word's evidence is found again, a word
  // joined of two halves taking the lower confidence.
  void followJoining(const std::vector<std::string>& pages);

  // The evidence of the `k`-th word of page `n` (both from 0), or null.
  const OcrWord* evidence(std::size_t n, std::size_t k) const;

  // Learning the ratio: one occurrence with its confidence, and whether
  // the decision keeps it as the dictionary word it is (`right`), or
  // changes it with certainty.
  void count(float confidence, bool right);

  // What the page shows for one occurrence of `word` with `evidence`,
  // given the decision on its form, which shows `shown` in its place
  // (empty for the form itself); `kind` is set with it.
  std::string reconsider(std::string_view word, std::string_view shown, const FormVerdict& verdict,
                         const OcrWord& evidence, const SortedWords& lexicon,
                         WordOutcome::Kind& kind);

  // How many occurrences the weighing turned.
  std::size_t turned() const { return turned_; }

 private:
  static std::size_t binOf(float confidence);
  double ratio(float confidence) const;

  std::vector<OcrWord> rows_;
  std::vector<std::vector<const OcrWord*>> byWord_;  // per page, per word
  std::vector<std::vector<std::size_t>> sizes_;      // the words' sizes before joining
  std::array<double, 6> right_{};
  std::array<double, 6> wrong_{};
  std::size_t turned_ = 0;
};

}  // namespace scanmend::learn
