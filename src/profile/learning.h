// Learns a book's misreading profile from its pages and the dictionary
// alone.
//
// First the evidence: which exchanges (a letter for another, one for two,
// two for one) turn the book's unknown words into dictionary words far
// more often than they turn its dictionary words into other dictionary
// words; words are each other's neighbours ("sch\xF6nen", "sch\xF6ner"), so
// only an exchange well above that rate is a misreading of the scanner.
// Then the probabilities, re-estimated for a few rounds from the readings
// that the profile gives the book's words, each word's readings weighed by
// their misreadings alone: the words' own frequencies would let frequent
// short words pull whole classes of exchanges to themselves.
//
// Only words of letters, three or more, are learned from: OCR debris
// ("|", "_", digits, single letters) lies one exchange away from the
// frequent short words and would teach that anything may be "zu".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "book/book.h"
#include "dictionary/sorted_words.h"
#include "profile/known_words.h"
#include "profile/profile.h"

namespace scanmend {

// `known` tells the words that are right though the dictionary lacks them:
// the book's own spellings of listed words teach no misreading. With a
// `prior`, the book starts from it: its readings count as if the book had
// shown each scanned letter a hundred times more, read as the prior reads
// it, so that a short book is corrected by what the OCR usually does and a
// long one by what it did here.
//
// The words that a person reviewed teach their misreadings for certain:
// each counts wholly for the exchanges that make the word meant of the
// word as read, in every round.
struct ReviewedReading {
  std::string read;
  std::string meant;
  std::int64_t count = 1;
};
Profile learnProfile(const std::vector<BookWord>& words, const KnownWords& known,
                     const Profile* prior = nullptr,
                     const std::vector<ReviewedReading>& reviewed = {});

}  // namespace scanmend
