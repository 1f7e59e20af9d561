// Decides every word of a book by its likeliest reading: each dictionary
// reading weighed by the probability that the scanner made the page's word
// of it (the profile) times the probability of the word itself, estimated
// from the book's other words: a word's own occurrences do not vouch for
// its readings, or every misreading that makes a word ("gesunden" for
// "gefunden") would confirm itself. A word that reads as a dictionary word
// as it stands keeps it unless another reading is far likelier; one that
// does not may still be right and missing from the dictionary, and keeps
// itself against readings that only rare misreadings reach. A word
// without a reading may still be settled by the I/J rule or the fixed
// Fraktur repairs, where they give a dictionary word.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/word_hash.h"
#include "book/book.h"
#include "correction/word_outcome.h"
#include "dictionary/sorted_words.h"
#include "profile/profile.h"
#include "profile/readings.h"

namespace scanmend::learn {

struct Decision {
  std::string result;  // what the page shows in the word's place
  WordOutcome::Kind kind = WordOutcome::Kind::Unknown;
  double probability = 1;  // of the reading written, among the readings
  std::string runnerUp;    // the next likeliest reading, or empty
  double runnerUpProbability = 0;
  std::size_t readings = 0;
  // With --mark-uncertain: the word as scanmend marks it, "*" where the
  // readings of the result's length differ; the result itself when they
  // do not.
  std::string marked;
};

// Decisions below this probability are uncertain: they count as ambiguous,
// and --mark-uncertain marks them.
inline constexpr double kCertain = 0.5;

class Decider {
 public:
  // `lexicon`, `profile` and `words` must outlive the decider; `words` are
  // the book's distinct words, which give the words' frequencies.
  Decider(const SortedWords& lexicon, const Profile& profile, const std::vector<BookWord>& words);
  // The decider keeps views of the words and the profile: no temporaries.
  Decider(const SortedWords&, const Profile&, std::vector<BookWord>&&) = delete;
  Decider(const SortedWords&, Profile&&, const std::vector<BookWord>&) = delete;

  Decision decide(std::string_view word) const;

 private:
  Decision decideCore(std::string_view core) const;
  // How often the book shows `word`, leaving out `ownShare`: what the
  // word being decided gave it, which cannot vouch for itself.
  double prior(std::string_view word, double ownShare) const;

  const SortedWords& lexicon_;
  const Profile& profile_;
  std::unordered_map<std::string, double, TransparentWordHash, std::equal_to<>> frequency_;
  // Each of the book's words without its marks: how often the book shows
  // it, and its readings (weighed_[first, first + readings), their texts in
  // texts_), found once for the frequencies and kept for the decision.
  struct Seen {
    std::int64_t count = 0;
    std::size_t first = 0;
    std::size_t readings = 0;
  };
  struct Weighed {
    std::size_t at;
    std::size_t length;
    double channel;
  };
  std::vector<Candidate> readingsSeen(const Seen& seen) const;
  std::unordered_map<std::string_view, Seen> seen_;
  std::vector<Weighed> weighed_;
  std::string texts_;
};

}  // namespace scanmend::learn
