#include "profile/evidence.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "base/letters.h"
#include "book/word_core.h"
#include "profile/readings.h"
#include "profile/spelling.h"

namespace scanmend {
namespace {

constexpr std::size_t kPairs = 256 * 256;
// The rates are measured on samples, which bound the work on large books:
// the most frequent unknown words (they carry most of the misreadings'
// occurrences) and an even spread of the book's dictionary words.
constexpr std::size_t kUnknownSample = 2500;
constexpr std::size_t kOwnSample = 2000;
constexpr std::size_t kExamples = 3;
// A rule of the spelling weighing this much is the book's own spelling.
constexpr double kOwnSpelling = 0.5;

std::size_t pairOf(unsigned char scanned, unsigned char meant) { return scanned * 256u + meant; }

// Calls found(pair, reading) once per exchange scanned -> meant that makes
// `word` a dictionary word, at one of its positions or at all positions of
// the scanned letter. The single exchanges come from the dictionary's
// prefix walk, with every letter allowed at the exchanged position: it
// only follows the prefixes that dictionary words have.
template <typename Found>
void forEachExchange(const std::string& word, std::string_view alphabet,
                     const Dictionary& dictionary, Found found) {
  std::vector<std::size_t> seen;
  const auto report = [&](unsigned char scanned, unsigned char meant, std::string_view reading) {
    const std::size_t pair = pairOf(scanned, meant);
    if (std::find(seen.begin(), seen.end(), pair) != seen.end()) return;
    seen.push_back(pair);
    found(pair, reading);
  };
  std::vector<std::string_view> letters(word.size());
  for (std::size_t i = 0; i < word.size(); ++i) letters[i] = std::string_view(word).substr(i, 1);
  for (std::size_t i = 0; i < word.size(); ++i) {
    letters[i] = alphabet;
    dictionary.forEachWordWithLetters(letters, [&](std::string_view reading) {
      if (reading[i] != word[i])
        report(static_cast<unsigned char>(word[i]), static_cast<unsigned char>(reading[i]),
               reading);
    });
    letters[i] = std::string_view(word).substr(i, 1);
  }
  // A letter misread at several places: every place at once.
  std::string variant;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (word.find(word[i]) != i || word.find(word[i], i + 1) == std::string::npos) continue;
    for (const char meant : alphabet) {
      if (meant == word[i]) continue;
      variant = word;
      std::replace(variant.begin(), variant.end(), word[i], meant);
      if (dictionary.contains(variant))
        report(static_cast<unsigned char>(word[i]), static_cast<unsigned char>(meant), variant);
    }
  }
}

void countHeldLetters(const std::string& word, std::array<std::int64_t, 256>& holding) {
  std::array<bool, 256> held{};
  for (const char c : word) held[static_cast<unsigned char>(c)] = true;
  for (std::size_t byte = 0; byte < 256; ++byte) holding[byte] += held[byte];
}

void addExample(PairEvidence& pair, const BookWord& word, std::string_view reading) {
  // The words come most frequent first: the first few are kept.
  if (pair.examples.size() < kExamples) pair.examples.emplace_back(word.text, reading);
}

// The own words that give an exchange's own rate, at most.
constexpr std::int64_t kOwnHolding = 1500;
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
// A usual misreading is contradicted where this many unknown words hold
// its scanned letters, the own words' rate expects this many of them to
// take it by chance, and they take it less than this many times as often.
constexpr std::int64_t kEnoughToContradict = 100;
constexpr double kExpectedToContradict = 3;
constexpr double kContradicted = 1.5;
constexpr std::size_t kOwnToContradict = 400;
// A mark that OCR writes for letters needs this many words, and its own
// rate starts near nothing.
constexpr std::int64_t kMarkWords = 2;
constexpr double kMarkOwnRate = 0.01;
// How many own words the rate shown at the other place of a word counts
// for, where an exchange is tried at the end of words or inside them.
constexpr double kSiblingPriorWords = 10;
// An exchange shown at the other place needs this many words at least.
constexpr std::int64_t kSiblingLeastWords = 2;

struct ExchangeEvidence {
  std::int64_t unknownWords = 0;
  std::int64_t ownWords = 0;  // among the first ownTried own words
  std::size_t ownTried = 0;
};

using UnitKey = std::pair<std::string, bool>;  // scanned, at the end

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

}  // namespace

bool isCapitalisedForm(const std::string& word, const Dictionary& dictionary) {
  if (word.empty() || !isCapital(static_cast<unsigned char>(word[0]))) return false;
  std::string small = word;
  small[0] = static_cast<char>(smallLetterOf(static_cast<unsigned char>(word[0])));
  return dictionary.contains(small);
}

ClassifiedWords classifyWords(const std::vector<BookWord>& words, const Dictionary& dictionary,
                              const KnownWords* known) {
  ClassifiedWords classified{words, {}, {}, {}};
  classified.known.reserve(words.size());
  classified.capitalised.reserve(words.size());
  classified.periodSpelling.reserve(words.size());
  for (const BookWord& word : words) {
    const bool listed = dictionary.contains(word.text);
    const bool capitalised = !listed && isCapitalisedForm(word.text, dictionary);
    classified.known.push_back(listed);
    classified.capitalised.push_back(capitalised);
    classified.periodSpelling.push_back(!listed && !capitalised && known != nullptr &&
                                        known->of(word.text).why == KnownWord::Why::Spelling);
  }
  return classified;
}

Evidence gatherEvidence(const ClassifiedWords& words, const Dictionary& dictionary) {
  assert(dictionary.walksPrefixes());
  Evidence evidence;
  std::vector<const BookWord*> known;
  std::vector<const BookWord*> unknown;
  std::array<bool, 256> inAlphabet{};
  for (std::size_t i = 0; i < words.words.size(); ++i) {
    const BookWord& word = words.words[i];
    if (words.known[i]) {
      known.push_back(&word);
      for (const char c : word.text)
        if (isLetter(static_cast<unsigned char>(c)))
          inAlphabet[static_cast<unsigned char>(c)] = true;
    } else if (words.capitalised[i]) {
      evidence.capitalised.push_back(word);
    } else if (isPlainWord(word.text) && !words.periodSpelling[i]) {
      unknown.push_back(&word);
    }
  }
  std::string alphabet;
  for (std::size_t byte = 0; byte < 256; ++byte)
    if (inAlphabet[byte]) alphabet += static_cast<char>(byte);
  const auto byCount = [](const auto& a, const auto& b) {
    if (a.count != b.count) return a.count > b.count;
    return a.text < b.text;
  };
  std::sort(evidence.capitalised.begin(), evidence.capitalised.end(), byCount);
  std::sort(unknown.begin(), unknown.end(), [&](auto* a, auto* b) { return byCount(*a, *b); });
  if (unknown.size() > kUnknownSample) unknown.resize(kUnknownSample);
  evidence.unknownWords = static_cast<std::int64_t>(unknown.size());

  std::vector<PairEvidence> pairs(kPairs);
  std::array<std::int64_t, 256> unknownHolding{};
  for (const BookWord* word : unknown) {
    countHeldLetters(word->text, unknownHolding);
    forEachExchange(word->text, alphabet, dictionary,
                    [&](std::size_t pair, std::string_view reading) {
                      ++pairs[pair].words;
                      pairs[pair].occurrences += word->count;
                      addExample(pairs[pair], *word, reading);
                    });
  }

  // The neighbourhood of the dictionary's own words, on an even sample of
  // the known words of the book.
  std::vector<std::int64_t> own(kPairs, 0);
  std::array<std::int64_t, 256> ownHolding{};
  const std::size_t step = known.size() / kOwnSample + 1;
  for (std::size_t k = 0; k < known.size(); k += step) {
    countHeldLetters(known[k]->text, ownHolding);
    forEachExchange(known[k]->text, alphabet, dictionary,
                    [&](std::size_t pair, std::string_view) { ++own[pair]; });
  }

  for (std::size_t p = 0; p < kPairs; ++p) {
    PairEvidence& pair = pairs[p];
    if (pair.words == 0) continue;
    pair.scanned = static_cast<unsigned char>(p / 256);
    pair.meant = static_cast<unsigned char>(p % 256);
    pair.pageRate =
        static_cast<double>(pair.words) / static_cast<double>(unknownHolding[pair.scanned]);
    pair.ownRate =
        (static_cast<double>(own[p]) + 0.5) / (static_cast<double>(ownHolding[pair.scanned]) + 1.0);
    pair.expected = pair.ownRate * static_cast<double>(unknownHolding[pair.scanned]);
    pair.ratio = pair.pageRate / pair.ownRate;
    pair.confidence = std::clamp(1.0 - 1.0 / pair.ratio, 0.0, 0.99);
    evidence.confidenceOf[p] = pair.confidence;
    evidence.pairs.push_back(std::move(pair));
  }
  std::sort(evidence.pairs.begin(), evidence.pairs.end(),
            [](const PairEvidence& a, const PairEvidence& b) {
              if (a.words != b.words) return a.words > b.words;
              return std::pair(a.scanned, a.meant) < std::pair(b.scanned, b.meant);
            });
  return evidence;
}

namespace {

// Vowels only: where an old print's words differ from the dictionary's
// by its language ("han", "vnd"), they differ mostly in vowels.
bool isVowels(std::string_view letters) {
  if (letters.empty()) return false;
  for (const char c : letters)
    if (std::string_view("aeiouyAEIOUY\xE4\xF6\xFC\xC4\xD6\xDC").find(c) == std::string_view::npos)
      return false;
  return true;
}

bool isCaseOnly(std::string_view scanned, std::string_view reading) {
  return scanned.size() == 1 && reading.size() == 1 && scanned != reading &&
         smallLetterOf(static_cast<unsigned char>(scanned[0])) ==
             smallLetterOf(static_cast<unsigned char>(reading[0]));
}

// A letter read in its other case ("frau" for "Frau") needs the evidence
// of a letter group: many words of a book hold a small letter where the
// dictionary has a capital without any misreading (a verb form the
// dictionary lacks, "wolle" beside "Wolle"; the end of a word broken at
// the line above, "stadt").
const Threshold& thresholdOf(const ExchangeKey& key) {
  const auto& [scanned, atEnd, reading] = key;
  const bool single = scanned.size() == 1 && reading.size() == 1;
  return single && !isCaseOnly(scanned, reading) ? kSingle : kGroup;
}

}  // namespace

Misreadings findMisreadings(const std::vector<std::string_view>& unknown,
                            const std::vector<std::string_view>& own, const SortedWords& lexicon,
                            const Spelling& spelling, const std::vector<double>* ruleWeights,
                            const Profile* usual) {
  std::map<ExchangeKey, ExchangeEvidence> evidence;
  std::vector<std::vector<const ExchangeKey*>> resolving(unknown.size());
  for (std::size_t w = 0; w < unknown.size(); ++w)
    forEachOneExchange(
        unknown[w], lexicon,
        [&](std::string_view scanned, bool atEnd, std::string_view reading, std::string_view) {
          // The period's spelling is the book's own: the scanner misreads
          // the shapes of letters.
          if (!isLetterWord(reading) ||
              spelling.explains(scanned, atEnd, reading, ruleWeights, kOwnSpelling))
            return;
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
  // An exchange that the OCR's usual misreadings lack needs the more:
  // in a book of many words that the dictionary lacks (an old print, a
  // foreign passage) every exchange of one vowel for another finds words,
  // so a vowel for a vowel needs the most. A long book still shows its
  // own misreadings often enough.
  const auto needsOf = [&](const ExchangeKey& key) {
    Threshold needs = thresholdOf(key);
    const auto& [scanned, atEnd, reading] = key;
    const ProfileEntry* entry = usual != nullptr ? usual->find(scanned, atEnd) : nullptr;
    // clang 14 captures no structured binding: `reading` goes in by a name of its own.
    const bool known =
        entry != nullptr &&
        std::any_of(entry->readings.begin(), entry->readings.end(),
                    [&wanted = reading](const Reading& r) { return r.text == wanted; });
    if (usual != nullptr && !known) {
      needs.words *= isVowels(scanned) && isVowels(reading) ? 4 : 2;
      needs.ratio *= 2;
      needs.significance += 2;
    }
    return needs;
  };
  auto tells = [&](const ExchangeKey& key, ExchangeEvidence& e, double priorRate,
                   double priorWords) {
    const auto& [scanned, atEnd, reading] = key;
    const Threshold needs = needsOf(key);
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
  // No dictionary word holds a mark that OCR writes for letters ("<" for
  // "ch"): read as letters, it is a misreading wherever the book shows it.
  for (auto& [key, e] : evidence) {
    const bool mark = holdsOcrMark(std::get<0>(key));
    if (e.unknownWords >= (mark ? kMarkWords : needsOf(key).words) &&
        tells(key, e, mark ? kMarkOwnRate : 0.5, 1.0))
      chosen.insert(key);
  }
  // A misreading shown inside words needs fewer words at their end, and
  // the other way round ("dasz" and "sasz" beside "groszen" and
  // "wuszte"), but the rates must still tell: the own rate at the other
  // place starts from the own rate where it was shown.
  // So does a letter misread the other way round ("uud" beside "nnd"),
  // where the book shows it.
  for (const ExchangeKey& key : std::vector<ExchangeKey>(chosen.begin(), chosen.end())) {
    if (isCaseOnly(std::get<0>(key), std::get<2>(key))) continue;
    const bool single = std::get<0>(key).size() == 1 && std::get<2>(key).size() == 1;
    for (const ExchangeKey& sibling :
         {ExchangeKey{std::get<0>(key), !std::get<1>(key), std::get<2>(key)},
          ExchangeKey{std::get<2>(key), std::get<1>(key), std::get<0>(key)}}) {
      if (chosen.contains(sibling) || (!single && std::get<0>(sibling) != std::get<0>(key)))
        continue;
      const auto found = evidence.find(sibling);
      if (found == evidence.end() || found->second.unknownWords < kSiblingLeastWords) continue;
      // A chosen exchange has counted all its own words.
      const ExchangeEvidence& shown = evidence[key];
      const Holding& hold = holdingFor(std::get<0>(key), std::get<1>(key));
      const double shownRate = (static_cast<double>(shown.ownWords) + 0.5) /
                               (static_cast<double>(hold.own.size()) + 1.0);
      if (tells(sibling, found->second, shownRate, kSiblingPriorWords)) chosen.insert(sibling);
    }
  }

  Misreadings found;
  for (const ExchangeKey& key : chosen) found.exchanges.emplace(key, evidence[key].unknownWords);
  // A usual misreading that a book of many unknown words holding its
  // letters takes no more often than its own words do is not this OCR's:
  // the words that it would make are the dictionary's missing forms
  // ("-em" beside "-en"), or the book's language.
  if (usual != nullptr)
    for (const ProfileEntry& entry : usual->entries())
      for (const Reading& reading : entry.readings) {
        const ExchangeKey key{entry.scanned, entry.atEnd, reading.text};
        if (entry.scanned.empty() || !isLetterWord(entry.scanned) || !isLetterWord(reading.text) ||
            chosen.contains(key))
          continue;
        const Holding& hold = holdingFor(entry.scanned, entry.atEnd);
        if (hold.unknown < kEnoughToContradict || hold.own.empty()) continue;
        std::int64_t ownWords = 0;
        const std::size_t tried = std::min<std::size_t>(hold.own.size(), kOwnToContradict);
        for (std::size_t k = 0; k < tried; ++k)
          ownWords +=
              exchangeMakesWord(hold.own[k], entry.scanned, entry.atEnd, reading.text, lexicon);
        const auto shown = evidence.find(key);
        const double taken =
            static_cast<double>(shown == evidence.end() ? 0 : shown->second.unknownWords);
        const double expected = static_cast<double>(ownWords) / static_cast<double>(tried) *
                                static_cast<double>(hold.unknown);
        if (expected >= kExpectedToContradict && taken < kContradicted * expected)
          found.contradicted.insert(key);
      }
  found.resolving.resize(resolving.size());
  for (std::size_t w = 0; w < resolving.size(); ++w)
    for (const ExchangeKey* key : resolving[w]) {
      const auto chosenAt = found.exchanges.find(*key);
      if (chosenAt != found.exchanges.end()) found.resolving[w].push_back(&chosenAt->first);
    }
  return found;
}

}  // namespace scanmend
