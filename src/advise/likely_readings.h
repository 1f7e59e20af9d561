// What an unknown word likely is: the dictionary word that the book's
// learned misreadings make of it, the likeliest first, or else the one
// that one misreading of this book turns into it. A word with such a reading is an OCR error,
// not a word for the dictionary: listed there, it would block its own
// correction for good ("Jeit" listed makes a later run keep "Jeit" instead
// of reading "Zeit").
//
// One misreading, on top of the confusions that the run declares:
//  - one letter exchanged where the book shows the exchange as a
//    misreading (the evidence), where it is one of the scanner's well-known
//    Fraktur misreadings, or where the result is a word of the book at
//    least as frequent as the unknown word ("Jeit" beside "Zeit");
//  - a small first letter read for a capital ("freiheit");
//  - one of the well-known letter-group misreadings ("dafs" for "dass",
//    "rn" for "m", "U" for "ll", "if" for "ist");
//  - one letter dropped or added, where the result is a word of the book at
//    least as frequent ("ondern" beside "sondern");
//  (the last two, and an exchange beside a word of the book, only for words
//  of four letters or more: short words all have such neighbours);
//  - one misread letter, where the result is a word of the book that the
//    dictionary lacks too, at least a quarter as frequent ("Sigifmund" beside
//    "Sigismund"): listed, it would turn that word's correct form, once it
//    is listed as well, into a "*".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/word_hash.h"
#include "correction/options.h"
#include "dictionary/dictionary.h"
#include "dictionary/sorted_words.h"
#include "profile/evidence.h"
#include "profile/profile.h"

namespace scanmend::advise {

class LikelyReadings {
 public:
  // All must outlive this object; `dictionary` walks prefixes, and
  // `lexicon` holds the same words, sorted.
  LikelyReadings(const ClassifiedWords& words, const Dictionary& dictionary,
                 const Evidence& evidence, const RunTables& tables, const Profile& profile,
                 const SortedWords& lexicon);

  // The likeliest reading of `word`, or nothing when no misreading
  // explains it. The small-letter form of a capitalised word is no reading:
  // a sentence start is no misreading.
  std::optional<std::string> of(std::string_view word, std::int64_t count) const;

 private:
  std::int64_t bookCount(std::string_view word) const;
  std::int64_t unknownCount(std::string_view word) const;
  // How likely the exchange is a misreading of this book, 0 when it is none.
  double misreadingWeight(unsigned char scanned, unsigned char meant) const;

  const Dictionary& dictionary_;
  const Evidence& evidence_;
  const RunTables& tables_;
  const Profile& profile_;
  const SortedWords& lexicon_;
  std::string alphabet_;
  using Counts =
      std::unordered_map<std::string, std::int64_t, TransparentWordHash, std::equal_to<>>;
  Counts known_;
  Counts unknown_;  // the book's plain words that the dictionary lacks
};

}  // namespace scanmend::advise
