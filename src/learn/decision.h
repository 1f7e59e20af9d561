// Decides every word of a book by its likeliest reading: each dictionary
// reading weighed by the probability that the scanner made the page's word
// of it (the profile) times the probability of the word itself, estimated
// from the book's occurrences, each occurrence leaving out only itself.
//
// The frequencies are found in rounds: each form's occurrences go to its
// readings by their channels, then by their channels times the
// frequencies of the round before, so that a word read right hundreds of
// times is not given away to a frequent neighbour through a rare
// exchange ("uns" is no "und"), while a form that a frequent misreading
// makes ("fein" for "sein", "ift" for "ist") goes to its reading.
//
// A word that is right as it stands though the dictionary may lack it (a
// listed word, the book's own spelling of one, a compound of such words, a
// word that the book uses on several pages and that reads as no word of
// the book) has itself among its readings. A listed word keeps itself
// unless another reading is far likelier; the others against any likelier
// reading, and where another reading is at least as likely it is left as
// a suspect for review. Any other word may still be right and missing from the
// dictionary, and keeps itself against readings that only rare
// misreadings reach. A
// word without a reading may still be settled by the I/J rule (an I read
// for a J before a vowel) or the fixed Fraktur repairs, where they give a
// dictionary word.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/word_hash.h"
#include "book/book.h"
#include "correction/word_outcome.h"
#include "profile/known_words.h"
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
  // The word as read among its readings: its probability, 0 where it is
  // none, and how many times likelier another reading must be to be
  // chosen over it.
  double asRead = 0;
  double asReadOutweighedBy = 1;
  // Why a word that the dictionary lacks was kept as it stands, or empty:
  // "spelling of Teil", "compound Guts+besitzer", "the book's own word".
  std::string kept;
  // A dictionary word kept as it stands though a misreading of it is at
  // least as likely (the runner-up): a real-word error to review.
  bool suspect = false;
};

// Decisions below this probability are uncertain: they count as ambiguous,
// and --mark-uncertain marks them.
inline constexpr double kCertain = 0.5;

class Decider {
 public:
  // `known`, `profile` and `words` must outlive the decider; `words` are
  // the book's distinct words, which give the words' frequencies.
  // With `occurrencesWeighed`, the OCR's confidence weighs each occurrence
  // of a word that the decision changes, and turns back those read with
  // the confidence of right words: a dictionary word then needs a reading
  // only four times likelier to be changed.
  Decider(const KnownWords& known, const Profile& profile, const std::vector<BookWord>& words,
          bool occurrencesWeighed = false);
  // The decider keeps views of the words and the profile: no temporaries.
  Decider(const KnownWords&, const Profile&, std::vector<BookWord>&&) = delete;
  Decider(const KnownWords&, Profile&&, const std::vector<BookWord>&) = delete;

  Decision decide(std::string_view word) const;

 private:
  // Why a form stands for itself.
  enum class Stands : std::uint8_t { No, Listed, Beyond };
  // Each of the book's words without its marks: how often the book shows
  // it and whether on more than one page, whether it stands for itself,
  // and its readings with the share of its occurrences that each takes
  // (weighed_[first, first + readings)).
  struct Seen {
    std::int64_t count = 0;
    std::int64_t page = -1;  // one of its pages
    std::uint32_t first = 0;
    std::uint32_t readings = 0;
    Stands stands = Stands::No;
    bool severalPages = false;
  };
  struct Weighed {
    std::uint32_t reading;  // the reading's number
    double channel;
    double share;
  };
  Decision decideCore(std::string_view core) const;
  // The dictionary's words and the book's forms beyond it that a form
  // reads as, the likeliest first.
  std::vector<Candidate> readingsOfForm(std::string_view core) const;
  // The frequencies of the readings from the forms' counts and shares.
  void tallyShares();
  // How often the book shows a reading, for deciding one occurrence of a
  // form seen `count` times that gives it `share` of each: that occurrence
  // left out, and the form's others too unless they vouch for the reading
  // (vouches()) or the book prints the reading as it is somewhere:
  // "Grasen", made of "Grafen" by the long s but never printed, gets
  // nothing from "Grafen", or every misreading that makes a word would
  // confirm itself.
  double prior(std::uint32_t reading, double count, double share, bool vouched) const;
  // Whether a form's own occurrences vouch for a reading: `itself` where
  // the reading is the form.
  static bool vouches(const Seen& seen, bool itself);
  // The same for a reading of a form that the book does not show.
  double priorOf(std::string_view text) const;
  // Whether the core, which the dictionary lacks, is used often enough to
  // be the book's own word, and whether it is.
  static bool mayBeBookWord(std::string_view core, const Seen& seen);
  bool isBookWord(std::string_view core, const Seen& seen) const;
  // How surely the book spells so, for a form that the period's spelling
  // explains; 1 for any other.
  double spellingWeight(std::string_view core) const;
  // The number of a reading, given it where it is new.
  std::uint32_t idOf(std::string_view text);

  const KnownWords& known_;
  const SortedWords& lexicon_;
  const double realWordOdds_;
  const Profile& profile_;
  std::unordered_map<std::string_view, Seen> seen_;
  SortedWords bookForms_;  // the forms that stand beyond the dictionary
  // Why a form that the dictionary lacks stands for itself.
  std::unordered_map<std::string_view, std::string> kept_;
  std::unordered_map<std::string_view, double> spellingWeight_;
  std::vector<Weighed> weighed_;
  // The readings by number: their texts (views of the keys of
  // readingId_), whether the book prints them as they are, and how often
  // the book shows them.
  std::unordered_map<std::string, std::uint32_t, TransparentWordHash, std::equal_to<>> readingId_;
  std::vector<std::string_view> readingText_;
  std::vector<bool> printed_;
  std::vector<double> frequency_;
};

}  // namespace scanmend::learn
