// Finds the command line for a book: which confusion words and option
// words make the run correct the most words, judged by the run that each
// candidate set produces over the book's distinct words, weighted by their
// counts. A candidate gains where it turns unknown words into readings
// that the evidence for its letter exchanges makes likely right, and costs
// where it turns words that read correctly now into ambiguous ones.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "book/book.h"
#include "correction/run_stats.h"
#include "dictionary/dictionary.h"
#include "profile/known_words.h"

namespace scanmend::advise {

struct Proposal {
  std::string word;                // the command-line word, Windows-1252 bytes
  std::string declares;            // what it declares, Windows-1252 text
  std::int64_t resolvedWords = 0;  // unknown words that it changes (for "=": joined words read)
  std::int64_t resolvedOccurrences = 0;
  std::int64_t nonWords = 0;  // of the resolved words, those it makes no dictionary word
  std::int64_t nonWordOccurrences = 0;
  std::int64_t atRiskWords = 0;  // words that read as correct and that it makes ambiguous
  std::int64_t atRiskOccurrences = 0;
  std::int64_t keptWords = 0;  // words it keeps from being made ambiguous ("finals")
  std::int64_t keptOccurrences = 0;
  std::int64_t lineEnds = 0;  // for "=": the line ends with "=" in the pages
  std::vector<std::pair<std::string, std::string>> examples;  // OCR form -> reading
};

struct LeftOut {
  std::string word;
  std::string reason;  // Windows-1252 text
};

// A word that the suggested run leaves for the user to look at.
struct ReviewWord {
  std::string text;
  std::int64_t count = 0;
  std::string result;                 // what the run writes
  std::vector<std::string> readings;  // for a word marked with "*": its dictionary readings
};

// A word that the suggested run leaves unknown, with what it likely is.
struct UnknownWord {
  std::string text;
  std::int64_t count = 0;
  std::string likely;  // the dictionary word that a misreading of the book makes, or empty
  // The dictionary word of which it is the period's spelling ("Teil" for
  // "Theil"), or empty: such a word is right as it stands.
  std::string spellingOf;
};

struct Advice {
  std::vector<std::string> arguments;
  std::vector<Proposal> proposals;  // one per argument, in the order of the arguments
  std::vector<LeftOut> leftOut;
  RunStats statistics;                // what the suggested run prints
  std::vector<BookWord> capitalised;  // unknown only as capitals ("Die"), most frequent first
  // Left unknown by the suggested run, most frequent first: the plain words
  // among them, which a dictionary might list, less the capitalised forms.
  std::vector<UnknownWord> unknown;
  // The words safe to add to the dictionary, in byte order: the plain
  // capitalised forms, and the plain unknown words seen at least three
  // times that no misreading of the book and no spelling of the period
  // explains.
  std::vector<std::string> dictionaryWords;
  // For review after the run, most frequent first: the words it marks with
  // "*", and the words that the fixed rules rewrite into non-words.
  std::vector<ReviewWord> marked;
  std::vector<ReviewWord> rewrittenToNonWords;
};

using Progress = std::function<void(const std::string&)>;

// `dictionary` must search readings by the prefix walk, so that one
// dictionary serves every candidate set; `known` holds the same words,
// sorted, and the spelling of the period, from which the book's own
// misreadings are learned: no confusion word declares the period's
// spelling or a letter's other case, and no word that a misreading or a
// spelling explains is offered for the dictionary.
Advice adviseArguments(const Book& book, const Dictionary& dictionary, const KnownWords& known,
                       const Progress& progress = {});

}  // namespace scanmend::advise
