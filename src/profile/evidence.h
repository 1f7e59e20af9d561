// Evidence for misreadings: which exchanges of letters turn the book's
// unknown words into dictionary words, measured against how often the same
// exchange turns dictionary words into other dictionary words. Words are
// each other's neighbours ("sch\xF6nen", "sch\xF6ner"), so any exchange
// finds some unknown words; a misreading of the scanner finds far more of
// them than the dictionary's own neighbourhood explains.
//
// Two measures, for the two uses:
//  - gatherEvidence: one letter for another, anywhere in a word, over the
//    hashed dictionary's prefix walk: the letter pairs that a command line
//    of scanmend can declare, each with a confidence;
//  - findMisreadings: one letter for another, one for two and two for
//    one, at a word's end and elsewhere apart, over the sorted words: the
//    exchanges that a profile learns, each tested for a significant excess
//    over the dictionary's own rate.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "book/book.h"
#include "dictionary/dictionary.h"
#include "dictionary/sorted_words.h"
#include "profile/known_words.h"
#include "profile/profile.h"
#include "profile/spelling.h"

namespace scanmend {

struct PairEvidence {
  unsigned char scanned = 0;
  unsigned char meant = 0;
  std::int64_t words = 0;        // distinct unknown words that the exchange makes dictionary words
  std::int64_t occurrences = 0;  // their occurrences
  double pageRate = 0;           // words, per unknown word that holds the scanned letter
  double ownRate = 0;            // the same for dictionary words of the book
  double expected = 0;           // words that the dictionary's own rate would resolve
  double ratio = 0;              // pageRate / ownRate
  double confidence = 0;         // of a word it resolves, the share that is a real misreading
  std::vector<std::pair<std::string, std::string>> examples;  // the most frequent, OCR -> reading
};

struct Evidence {
  std::vector<PairEvidence> pairs;  // with at least one word, most words first
  std::int64_t unknownWords = 0;    // distinct unknown words weighed as evidence (a sample)
  // Unknown words that are only a capitalised form of a dictionary word
  // ("Die" when only "die" is listed): no misreading, and no evidence.
  std::vector<BookWord> capitalised;  // most frequent first

  // The confidence of the exchange, 0 when nothing speaks for it.
  double confidence(unsigned char scanned, unsigned char meant) const {
    return confidenceOf[scanned * 256u + meant];
  }
  std::vector<double> confidenceOf = std::vector<double>(256 * 256, 0.0);  // by exchange
};

// Whether `word` is unknown but its first letter made small gives a
// dictionary word.
bool isCapitalisedForm(const std::string& word, const Dictionary& dictionary);

// A book's distinct words, each looked up once: the evidence and every
// weighing read these classes instead of asking the dictionary again.
struct ClassifiedWords {
  const std::vector<BookWord>& words;
  std::vector<bool> known;        // a dictionary word as it stands
  std::vector<bool> capitalised;  // unknown, but a capitalised form of a dictionary word
  // Unknown, but the period's spelling of a dictionary word ("Theil"):
  // right as it stands, like a capitalised form.
  std::vector<bool> periodSpelling;
};
// `words` must outlive the result. With `known`, the period's spellings
// are told apart from the other unknown words.
ClassifiedWords classifyWords(const std::vector<BookWord>& words, const Dictionary& dictionary,
                              const KnownWords* known = nullptr);

// `dictionary` must search readings by the prefix walk.
Evidence gatherEvidence(const ClassifiedWords& words, const Dictionary& dictionary);

// An exchange: scanned letters (one or two), whether they end the word,
// and what they are read as (one or two letters).
using ExchangeKey = std::tuple<std::string, bool, std::string>;

struct Misreadings {
  // The exchanges that tell a misreading, with the distinct unknown words
  // that each makes dictionary words.
  std::map<ExchangeKey, std::int64_t> exchanges;
  // For each unknown word, in the order given, the misreadings that make it
  // a dictionary word (pointing into `exchanges`).
  std::vector<std::vector<const ExchangeKey*>> resolving;
  // The OCR's usual misreadings that the book contradicts: it holds their
  // scanned letters in many unknown words, which they make dictionary
  // words no more often than they do the dictionary's own words.
  std::set<ExchangeKey> contradicted;
};

// The exchanges that the `unknown` words take far more often, and surely
// so, than the `own` words (words of the dictionary's own: the book's
// known words, an even spread of the dictionary) do. Each exchange needs
// a few distinct unknown words; letter groups need more, and a higher
// excess. An exchange shown at a word's end needs fewer words inside
// words, and the other way round, and a letter misread the other way
// round fewer too, once the rate of the exchange shown is known.
// Exchanges that `spelling` explains, and those of a letter for its other
// case, are the book's own and never counted.
// Where the spelling's rules are weighed for the book, only those it uses
// (weighing a half at least) are its own. Given the OCR's `usual`
// misreadings, an exchange that they lack needs twice the words and the
// excess, a vowel read for a vowel four times the words: in an old print
// many words that the dictionary lacks are a vowel away from its words
// ("han", "Mar") by the period's language, not by the scanner.
Misreadings findMisreadings(const std::vector<std::string_view>& unknown,
                            const std::vector<std::string_view>& own, const SortedWords& lexicon,
                            const Spelling& spelling,
                            const std::vector<double>* ruleWeights = nullptr,
                            const Profile* usual = nullptr);

}  // namespace scanmend
