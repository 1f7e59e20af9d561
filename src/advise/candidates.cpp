#include "advise/candidates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/letters.h"
#include "correction/options.h"

namespace scanmend::advise {
namespace {

// An exchange counts as a misreading when the unknown words take it at
// least twice as often as the dictionary's own words do.
constexpr double kMinimumConfidence = 0.5;
constexpr std::size_t kMostCandidates = 12;  // exchanges weighed as candidates, the best
constexpr double kChance = 0.005;

// "Uxy" or "Bxy".
std::string confusionWord(char form, unsigned char x, unsigned char y) {
  return std::string{form, static_cast<char>(x), static_cast<char>(y)};
}

std::string oneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// Whether the exchange resolves more unknown words than the dictionary's
// own neighbourhood explains: the chance of as many by accident (a Poisson
// count around the expected number) is below one in two hundred. Of the few
// hundred exchanges that find any word at all, one or two may pass by
// chance; the run that each candidate produces judges them next.
bool isSignificant(const PairEvidence& pair) {
  const double expected = std::max(pair.expected, 1e-9);
  double term = std::exp(-expected);  // P(X = 0)
  double below = 0;                   // P(X < words)
  for (std::int64_t k = 0; k < pair.words && below < 1; ++k) {
    below += term;
    term *= expected / static_cast<double>(k + 1);
  }
  return 1 - below < kChance;
}

// The option word whose letter pair is {x, y}, in either order, or null.
const OptionWordEntry* optionWordOfPair(unsigned char x, unsigned char y) {
  for (const OptionWordEntry& entry : optionWords()) {
    if (entry.pair.size() != 2) continue;
    const auto a = static_cast<unsigned char>(entry.pair[0]);
    const auto b = static_cast<unsigned char>(entry.pair[1]);
    if ((x == a && y == b) || (x == b && y == a)) return &entry;
  }
  return nullptr;
}

// Why the exchange scanned -> meant is the book's own, not a misreading,
// or "" where it may be one.
std::string ownExchange(unsigned char scanned, unsigned char meant, const Spelling& spelling) {
  if (smallLetterOf(scanned) == smallLetterOf(meant))
    return "only changes a letter's case: the book's capitals are its own";
  const std::string_view from(reinterpret_cast<const char*>(&scanned), 1);
  const std::string_view to(reinterpret_cast<const char*>(&meant), 1);
  if (spelling.explains(from, false, to) || spelling.explains(from, true, to))
    return "is the spelling of the period, not a misreading: declared, it would modernise "
           "the book";
  return "";
}

}  // namespace

std::int64_t minimumWordsFor(const Evidence& evidence) {
  return std::max<std::int64_t>(2, evidence.unknownWords / 500);
}

std::vector<std::string> candidateWords(const Evidence& evidence, std::int64_t minimumWords,
                                        const Spelling& spelling) {
  std::vector<const PairEvidence*> strong;
  for (const PairEvidence& pair : evidence.pairs)
    if (pair.confidence >= kMinimumConfidence && pair.words >= minimumWords &&
        isSignificant(pair) && ownExchange(pair.scanned, pair.meant, spelling).empty())
      strong.push_back(&pair);
  std::sort(strong.begin(), strong.end(), [](const PairEvidence* a, const PairEvidence* b) {
    return static_cast<double>(a->words) * a->confidence >
           static_cast<double>(b->words) * b->confidence;
  });
  if (strong.size() > kMostCandidates) strong.resize(kMostCandidates);

  std::vector<std::string> words;
  const auto add = [&words](std::string word) {
    if (std::find(words.begin(), words.end(), word) == words.end()) words.push_back(word);
  };
  const auto isStrong = [&strong](unsigned char scanned, unsigned char meant) {
    return std::any_of(strong.begin(), strong.end(), [&](const PairEvidence* pair) {
      return pair->scanned == scanned && pair->meant == meant;
    });
  };
  for (const PairEvidence* pair : strong) {
    const unsigned char x = pair->scanned;
    const unsigned char y = pair->meant;
    const OptionWordEntry* named = optionWordOfPair(x, y);
    if (named != nullptr) {
      add(std::string(named->spelling));
      // n and u stand for each other both ways; the other named pairs are
      // mostly misread one way, which is weighed beside them.
      if (!isConfusionWord(named->spelling) || named->word == OptionWord::Bnu) continue;
    } else if (isStrong(y, x)) {
      add(confusionWord('B', std::min(x, y), std::max(x, y)));
    }
    add(confusionWord('U', x, y));
  }
  return words;
}

std::vector<LeftOut> unsureExchanges(const Evidence& evidence, std::int64_t minimumWords,
                                     const Spelling& spelling) {
  std::vector<LeftOut> leftOut;
  for (const PairEvidence& pair : evidence.pairs) {
    if (pair.words < 2 || leftOut.size() == 8) continue;
    std::string reason;
    if (const std::string own = ownExchange(pair.scanned, pair.meant, spelling); !own.empty()) {
      if (pair.words < minimumWords) continue;
      reason = "resolves " + std::to_string(pair.words) + " unknown words, but " + own;
    } else if (pair.confidence < kMinimumConfidence) {
      if (pair.words < minimumWords) continue;
      reason = "resolves " + std::to_string(pair.words) + " unknown words, but only " +
               oneDecimal(pair.ratio) +
               " times as often as the dictionary's own words take it: word forms, not "
               "misreadings";
    } else if (!isSignificant(pair)) {
      reason = "resolves only " + std::to_string(pair.words) + " unknown words (";
      for (const auto& [scanned, reading] : pair.examples)
        reason.append(scanned).append(" -> ").append(reading).append(", ");
      reason.resize(reason.size() - 2);
      reason += "): too few to tell a misreading from chance";
    } else {
      continue;
    }
    leftOut.push_back({confusionWord('U', pair.scanned, pair.meant), reason});
  }
  return leftOut;
}

std::string namedBothWays(const std::string& word) {
  if (word.size() != 3 || word[0] != 'U') return "";
  const OptionWordEntry* named =
      optionWordOfPair(static_cast<unsigned char>(word[1]), static_cast<unsigned char>(word[2]));
  return named != nullptr && isConfusionWord(named->spelling) ? std::string(named->spelling) : "";
}

}  // namespace scanmend::advise
