// The dictionary readings of a scanned word: the dictionary words that the
// scanner may have turned into it, reached letter by letter (or group by
// group) through a profile, each with the probability of its misreadings.
// A word whose first letter is a capital also reads as its small-letter
// dictionary form and keeps the capital ("Vermutlich" for "vermutlich").
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/sorted_words.h"
#include "profile/profile.h"
#include "profile/spelling.h"

namespace scanmend {

// One scanned letter or group in the path of a reading: the scanned bytes
// [at, at + length) read as `reading` (the scanned bytes themselves when
// they stay).
struct ReadingStep {
  std::uint16_t at = 0;
  std::uint8_t length = 1;  // none for the letters read after the word's end
  std::string reading;
};

struct Candidate {
  std::string text;
  double channel = 0;  // the probability that the scanner made the word of it
  // The steps of the likeliest path through the letters and groups that
  // the profile holds: each such scanned letter in one step, and a step
  // of each such group of two that the path reads letter by letter.
  std::vector<ReadingStep> steps;
};

// Readings below this probability are not followed.
inline constexpr double kLeastChannel = 1e-7;

// The period's spelling as a book follows it, for readings that are the
// book's spelling of a dictionary word: a scanned word is read, through
// the profile, as the letters printed, and those, through the spelling's
// rules, as a dictionary word ("Creu\xDF" is the "Creutz" of "Kreuz").
// A reading so made is the word printed, weighed by the weights of the
// rules it takes; only rules that weigh `least` or more are tried.
struct SpellingReadings {
  const Spelling& spelling;
  const std::vector<double>& weights;  // by rule
  double least;
};

// The readings of `word` in `lexicon` under `profile`, each once with its
// likeliest path, the likeliest first; at most `most` of them.
std::vector<Candidate> readingsOf(std::string_view word, const Profile& profile,
                                  const SortedWords& lexicon, std::size_t most = 32);
// The same without their paths (`steps` empty), for callers that only
// weigh the readings.
std::vector<Candidate> readingsOnlyOf(std::string_view word, const Profile& profile,
                                      const SortedWords& lexicon, std::size_t most = 32,
                                      const SpellingReadings* spelling = nullptr);

// The probability that the scanner left every letter and group of `word`
// as it stands: the channel of the word itself, listed or not.
double stayChannel(std::string_view word, const Profile& profile);

// Calls found(scanned, atEnd, reading, result) for each dictionary word
// `result` that one exchange makes of `word`: one letter for another, one
// for two, or two for one; `atEnd` tells whether the scanned letters end
// the word. An exchange is reported once per word and place, where it
// first makes a dictionary word.
void forEachOneExchange(
    std::string_view word, const SortedWords& lexicon,
    const std::function<void(std::string_view scanned, bool atEnd, std::string_view reading,
                             std::string_view result)>& found);

// Whether one of the exchanges that forEachOneExchange reports as
// (scanned, atEnd, reading) makes a dictionary word of `word`.
bool exchangeMakesWord(std::string_view word, std::string_view scanned, bool atEnd,
                       std::string_view reading, const SortedWords& lexicon);

}  // namespace scanmend
