#include "advise/evidence.h"

#include <algorithm>
#include <array>
#include <cassert>

#include "base/letters.h"

namespace scanmend::advise {
namespace {

constexpr std::size_t kPairs = 256 * 256;
// The rates are measured on samples, which bound the work on large books:
// the most frequent unknown words (they carry most of the misreadings'
// occurrences) and an even spread of the book's dictionary words.
constexpr std::size_t kUnknownSample = 2500;
constexpr std::size_t kOwnSample = 2000;
constexpr std::size_t kExamples = 3;

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

}  // namespace

bool isCapitalisedForm(const std::string& word, const Dictionary& dictionary) {
  if (word.empty() || !isCapital(static_cast<unsigned char>(word[0]))) return false;
  std::string small = word;
  small[0] = static_cast<char>(smallLetterOf(static_cast<unsigned char>(word[0])));
  return dictionary.contains(small);
}

ClassifiedWords classifyWords(const std::vector<BookWord>& words, const Dictionary& dictionary) {
  ClassifiedWords classified{words, {}, {}};
  classified.known.reserve(words.size());
  classified.capitalised.reserve(words.size());
  for (const BookWord& word : words) {
    const bool known = dictionary.contains(word.text);
    classified.known.push_back(known);
    classified.capitalised.push_back(!known && isCapitalisedForm(word.text, dictionary));
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
    } else if (isPlainWord(word.text)) {
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

}  // namespace scanmend::advise
