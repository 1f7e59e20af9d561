#include "learn/learning.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

#include "base/letters.h"
#include "learn/readings.h"

namespace scanmend::learn {
namespace {

// The samples bound the work on large books: the most frequent unknown
// words carry most of the misreadings' occurrences.
constexpr std::size_t kUnknownSample = 3000;
constexpr std::size_t kKnownSample = 2000;
constexpr std::size_t kDictionarySample = 5000;
// The own words that give an exchange's own rate, at most.
constexpr std::int64_t kOwnHolding = 1500;
constexpr std::size_t kLearningWords = 6000;
constexpr std::size_t kMinLength = 3;
constexpr int kRounds = 4;
constexpr std::size_t kExamples = 3;

// What an exchange needs to count as a misreading: distinct unknown words
// that it resolves, how far above the dictionary's own rate it does, and
// how sure that excess is (in standard deviations of the count the own rate
// expects). In a book that misreads a letter often, the book's own
// dictionary words with that letter hold misread words too ("fein" for
// "sein"), which raises the own rate: the excess must be significant
// rather than large. Letter groups need more: every short word has dozens
// of neighbours at one group exchange.
struct Threshold {
  std::int64_t words;
  double ratio;
  double significance;
};
constexpr Threshold kSingle{3, 2.0, 3.0};
constexpr Threshold kGroup{5, 4.0, 5.0};
// A reading that keeps less than this share, or resolves fewer words,
// after the rounds is noise.
constexpr double kLeastProbability = 0.003;
constexpr std::int64_t kLeastWords = 2;
// What stays as scanned counts one word more than the rounds saw: a book
// that shows every "sz" as "\xDF" may still hold an "Auszug", which must
// keep a reading of its own.
constexpr double kStayingWord = 1.0;
// The share of the scanned letters that the first guess gives their
// readings.
constexpr double kFirstShare = 0.3;
// How many own words the rate shown at the other place of a word counts
// for, where an exchange is tried at the end of words or inside them.
constexpr double kSiblingPriorWords = 10;

struct ExchangeEvidence {
  std::int64_t unknownWords = 0;
  std::int64_t ownWords = 0;  // among the first ownTried own words
  std::size_t ownTried = 0;
};

using UnitKey = std::pair<std::string, bool>;                    // scanned, at the end
using ExchangeKey = std::tuple<std::string, bool, std::string>;  // scanned, at the end, reading

bool isLearnable(const BookWord& word) {
  return word.text.size() >= kMinLength && isLetterWord(word.text);
}

bool knownOrCapitalised(std::string_view word, const Lexicon& lexicon) {
  if (lexicon.contains(word)) return true;
  const auto first = static_cast<unsigned char>(word[0]);
  if (smallLetterOf(first) == first) return false;
  std::string small(word);
  small[0] = static_cast<char>(smallLetterOf(first));
  return lexicon.contains(small);
}

// Whether the word holds the scanned letters at the place; elsewhere than
// at the end means an occurrence that ends before the word does.
bool holds(std::string_view word, std::string_view unit, bool atEnd) {
  if (atEnd) return word.ends_with(unit);
  return word.substr(0, word.size() - 1).find(unit) != std::string_view::npos;
}

// How many of the words hold the scanned letters at the place.
std::int64_t holding(const std::vector<std::string_view>& words, std::string_view unit,
                     bool atEnd) {
  std::int64_t count = 0;
  for (const std::string_view text : words) count += holds(text, unit, atEnd);
  return count;
}

// `own` are words of the dictionary's own: the book's known words and an
// even spread of the dictionary, so that a rare letter group still has
// enough of them to give its rate.
Profile initialProfile(const std::vector<std::string_view>& unknown,
                       const std::vector<std::string_view>& own, const Lexicon& lexicon) {
  std::map<ExchangeKey, ExchangeEvidence> evidence;
  std::vector<std::vector<const ExchangeKey*>> resolving(unknown.size());
  for (std::size_t w = 0; w < unknown.size(); ++w)
    forEachOneExchange(
        unknown[w], lexicon,
        [&](std::string_view scanned, bool atEnd, std::string_view reading, std::string_view) {
          if (!isLetterWord(reading)) return;
          const auto place =
              evidence.try_emplace({std::string(scanned), atEnd, std::string(reading)}).first;
          ++place->second.unknownWords;
          resolving[w].push_back(&place->first);
        });

  // The words that hold a scanned letter or group at its place: how many
  // unknown words, and the first kOwnHolding own words, which give the own
  // rate of every reading of the letters.
  struct Holding {
    std::int64_t unknown = 0;
    std::vector<std::string_view> own;
  };
  std::map<UnitKey, Holding> holdingOf;
  auto holdingFor = [&](const std::string& scanned, bool atEnd) -> const Holding& {
    const auto [place, first] = holdingOf.try_emplace({scanned, atEnd});
    Holding& hold = place->second;
    if (first) {
      hold.unknown = holding(unknown, scanned, atEnd);
      for (const std::string_view word : own) {
        if (static_cast<std::int64_t>(hold.own.size()) == kOwnHolding) break;
        if (holds(word, scanned, atEnd)) hold.own.push_back(word);
      }
    }
    return hold;
  };
  // Whether the unknown words take the exchange far more often, and surely
  // so, than the own words do; their rate starts from priorRate, counted
  // as priorWords words, for letters that few own words hold. The own
  // rate is needed only for the exchanges that the unknown words support:
  // each is tried where it fits, not searched for, and only until the own
  // words that take it are too many, which more own words cannot mend.
  auto tells = [&](const ExchangeKey& key, ExchangeEvidence& e, double priorRate,
                   double priorWords) {
    const auto& [scanned, atEnd, reading] = key;
    const Threshold& needs = scanned.size() == 1 && reading.size() == 1 ? kSingle : kGroup;
    const Holding& hold = holdingFor(scanned, atEnd);
    auto passes = [&] {
      const double pageRate = static_cast<double>(e.unknownWords) /
                              static_cast<double>(std::max<std::int64_t>(1, hold.unknown));
      const double ownRate = (static_cast<double>(e.ownWords) + priorRate * priorWords) /
                             (static_cast<double>(hold.own.size()) + priorWords);
      const double expected = ownRate * static_cast<double>(hold.unknown);
      const double excess = (static_cast<double>(e.unknownWords) - expected) / std::sqrt(expected);
      return pageRate / ownRate >= needs.ratio && excess >= needs.significance;
    };
    bool passing = passes();
    for (; passing && e.ownTried < hold.own.size(); ++e.ownTried)
      if (exchangeMakesWord(hold.own[e.ownTried], scanned, atEnd, reading, lexicon)) {
        ++e.ownWords;
        passing = passes();
      }
    return passing;
  };
  std::set<ExchangeKey> chosen;
  for (auto& [key, e] : evidence) {
    const Threshold& needs =
        std::get<0>(key).size() == 1 && std::get<2>(key).size() == 1 ? kSingle : kGroup;
    if (e.unknownWords >= needs.words && tells(key, e, 0.5, 1.0)) chosen.insert(key);
  }
  // A misreading shown inside words needs fewer words at their end, and
  // the other way round ("dasz" and "sasz" beside "groszen" and
  // "wuszte"), but the rates must still tell: the own rate at the other
  // place starts from the own rate where it was shown.
  for (const ExchangeKey& key : std::vector<ExchangeKey>(chosen.begin(), chosen.end())) {
    const ExchangeKey sibling{std::get<0>(key), !std::get<1>(key), std::get<2>(key)};
    const auto found = evidence.find(sibling);
    if (found == evidence.end() || found->second.unknownWords < kLeastWords) continue;
    // A chosen exchange has counted all its own words.
    const ExchangeEvidence& shown = evidence[key];
    const Holding& hold = holdingFor(std::get<0>(key), std::get<1>(key));
    const double shownRate =
        (static_cast<double>(shown.ownWords) + 0.5) / (static_cast<double>(hold.own.size()) + 1.0);
    if (tells(sibling, found->second, shownRate, kSiblingPriorWords)) chosen.insert(sibling);
  }

  // A first guess that the rounds correct: the readings share a part of
  // the scanned letters by the words that they resolve. A reading that is
  // the likeliest for almost no word is gone before the rounds search
  // with it.
  std::map<UnitKey, double> unitWords;
  for (const ExchangeKey& key : chosen)
    unitWords[{std::get<0>(key), std::get<1>(key)}] +=
        static_cast<double>(evidence[key].unknownWords);
  auto guess = [&](const ExchangeKey& key) {
    return kFirstShare * static_cast<double>(evidence[key].unknownWords) /
           unitWords[{std::get<0>(key), std::get<1>(key)}];
  };
  std::map<ExchangeKey, std::int64_t> likeliest;
  for (const auto& keys : resolving) {
    const ExchangeKey* best = nullptr;
    double bestGuess = 0;
    for (const ExchangeKey* key : keys) {
      if (!chosen.contains(*key)) continue;
      const double g = guess(*key);
      if (best == nullptr || g > bestGuess) {
        best = key;
        bestGuess = g;
      }
    }
    if (best != nullptr) ++likeliest[*best];
  }
  std::erase_if(chosen, [&](const ExchangeKey& key) { return likeliest[key] < kLeastWords; });

  std::map<UnitKey, ProfileEntry> entries;
  for (const ExchangeKey& key : chosen) {
    const auto& [scanned, atEnd, reading] = key;
    ProfileEntry& entry = entries[{scanned, atEnd}];
    entry.scanned = scanned;
    entry.atEnd = atEnd;
    entry.readings.push_back({reading, 0.0, evidence[key].unknownWords, {}});
  }
  Profile profile;
  for (auto& [key, entry] : entries) {
    for (Reading& reading : entry.readings)
      reading.probability = guess({entry.scanned, entry.atEnd, reading.text});
    profile.set(std::move(entry));
  }
  return profile;
}

struct Tally {
  double weight = 0;
  std::int64_t words = 0;  // distinct words whose likeliest reading takes it
  std::vector<std::pair<std::int64_t, std::string>> examples;
};

// One round: every word's readings weighed by their channels. A word whose
// one reading is itself reads the same in every later round, the profile
// only losing readings: it moves from `open` to `settled`, where its own
// letters are counted without a search.
Profile reestimate(const Profile& profile, std::vector<const BookWord*>& open,
                   std::vector<const BookWord*>& settled, const Lexicon& lexicon) {
  std::map<ExchangeKey, Tally> tallies;
  auto stays = [&](std::string_view scanned, bool atEnd, double weight) {
    if (profile.find(scanned, atEnd) != nullptr)
      tallies[{std::string(scanned), atEnd, std::string(scanned)}].weight += weight;
  };
  for (const BookWord* word : settled) {
    const std::string_view text = word->text;
    const auto count = static_cast<double>(word->count);
    for (std::size_t at = 0; at < text.size(); ++at) {
      if (at + 1 < text.size()) stays(text.substr(at, 2), at + 2 == text.size(), count);
      stays(text.substr(at, 1), at + 1 == text.size(), count);
    }
  }
  std::vector<const BookWord*> stillOpen;
  for (const BookWord* word : open) {
    const std::vector<Candidate> candidates = readingsOf(word->text, profile, lexicon);
    if (candidates.empty()) continue;  // and never will have one
    if (candidates.size() == 1 && candidates[0].text == word->text) {
      settled.push_back(word);
    } else {
      stillOpen.push_back(word);
    }
    double total = 0;
    for (const Candidate& candidate : candidates) total += candidate.channel;
    for (std::size_t c = 0; c < candidates.size(); ++c) {
      const Candidate& candidate = candidates[c];
      const double weight = static_cast<double>(word->count) * candidate.channel / total;
      for (const ReadingStep& step : candidate.steps) {
        const bool atEnd = step.at + step.length == word->text.size();
        const std::string_view scanned = std::string_view(word->text).substr(step.at, step.length);
        if (profile.find(scanned, atEnd) == nullptr) continue;  // counts for nothing
        Tally& tally = tallies[{std::string(scanned), atEnd, step.reading}];
        tally.weight += weight;
        if (c == 0 && step.reading != scanned) {
          ++tally.words;
          if (tally.examples.size() < kExamples)
            tally.examples.emplace_back(word->count, word->text + ">" + candidate.text);
        }
      }
    }
  }
  open = std::move(stillOpen);
  std::map<UnitKey, double> totals;
  // Every scanned letter of the profile in a word's path is in one step,
  // and so is every group of the profile that the path reads letter by
  // letter: the steps of a scanned group add up to all its occurrences in
  // the words read.
  for (const auto& [key, tally] : tallies)
    if (profile.find(std::get<0>(key), std::get<1>(key)) != nullptr)
      totals[{std::get<0>(key), std::get<1>(key)}] += tally.weight;
  Profile next;
  for (const ProfileEntry& entry : profile.entries()) {
    ProfileEntry updated{entry.scanned, entry.atEnd, {}};
    const double total = totals[{entry.scanned, entry.atEnd}];
    for (const Reading& reading : entry.readings) {
      const auto found = tallies.find({entry.scanned, entry.atEnd, reading.text});
      if (found == tallies.end() || total <= 0) continue;
      Reading kept{
          reading.text, found->second.weight / (total + kStayingWord), found->second.words, {}};
      for (const auto& example : found->second.examples) kept.examples.push_back(example.second);
      updated.readings.push_back(std::move(kept));
    }
    next.set(std::move(updated));
  }
  return next;
}

Profile withoutNoise(const Profile& profile) {
  Profile kept;
  for (const ProfileEntry& entry : profile.entries()) {
    ProfileEntry clean{entry.scanned, entry.atEnd, {}};
    for (const Reading& reading : entry.readings)
      if (reading.probability >= kLeastProbability && reading.words >= kLeastWords)
        clean.readings.push_back(reading);
    kept.set(std::move(clean));
  }
  return kept;
}

}  // namespace

Profile learnProfile(const std::vector<BookWord>& words, const Lexicon& lexicon) {
  std::vector<const BookWord*> unknown;
  std::vector<const BookWord*> known;
  std::vector<const BookWord*> learning;
  for (const BookWord& word : words) {  // most frequent first
    if (!isLearnable(word)) continue;
    if (learning.size() < kLearningWords) learning.push_back(&word);
    if (knownOrCapitalised(word.text, lexicon))
      known.push_back(&word);
    else if (unknown.size() < kUnknownSample)
      unknown.push_back(&word);
  }
  // An even spread of the known words, not only the frequent short ones,
  // taken in turn with an even spread of the dictionary.
  std::vector<std::string_view> book;
  const std::size_t step = known.size() / kKnownSample + 1;
  for (std::size_t k = 0; k < known.size(); k += step) book.push_back(known[k]->text);
  std::vector<std::string_view> listed;
  const std::size_t every = lexicon.size() / kDictionarySample + 1;
  for (std::size_t k = 0; k < lexicon.size(); k += every) {
    const std::string_view word = lexicon.word(k);
    if (word.size() >= kMinLength && isLetterWord(word)) listed.push_back(word);
  }
  std::vector<std::string_view> own;
  for (std::size_t k = 0; k < std::max(book.size(), listed.size()); ++k) {
    if (k < book.size()) own.push_back(book[k]);
    if (k < listed.size()) own.push_back(listed[k]);
  }
  std::vector<std::string_view> unknownTexts;
  for (const BookWord* word : unknown) unknownTexts.push_back(word->text);

  Profile profile = initialProfile(unknownTexts, own, lexicon);
  // Noise goes after every round: the readings that resolve nothing would
  // only widen the next round's search.
  std::vector<const BookWord*> settled;
  for (int round = 0; round < kRounds && !profile.empty(); ++round)
    profile = withoutNoise(reestimate(profile, learning, settled, lexicon));
  return profile;
}

}  // namespace scanmend::learn
