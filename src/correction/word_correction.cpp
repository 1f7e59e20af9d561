#include "correction/word_correction.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "correction/substitution_rules.h"

namespace scanmend {
namespace {

void addReading(DictionaryReadings& readings, std::string_view reading) {
  if (readings.count++ == 0) {
    readings.merged.assign(reading);
    return;
  }
  for (std::size_t i = 0; i < reading.size(); ++i)
    if (readings.merged[i] != reading[i]) readings.merged[i] = '*';
}

// The letters each position of a word may stand for.
class Alternatives {
 public:
  Alternatives(std::string_view word, const ConfusionTable& table, const OptionSet& options)
      : word_(word), table_(table), finals_(options.contains(OptionWord::Finals)) {}

  std::string_view at(std::size_t position) const {
    const auto letter = static_cast<unsigned char>(word_[position]);
    const std::string_view letterClass = table_.classOf(letter);
    // A final f stands only for f when "finals" is set and f is confused
    // with the long s.
    const bool finalF =
        position + 1 == word_.size() && letter == 'f' && finals_ && isLongSClass(letterClass);
    return letterClass.empty() || finalF ? word_.substr(position, 1) : letterClass;
  }

  // Whether `candidate` is one of the readings.
  bool allows(std::string_view candidate) const {
    if (candidate.size() != word_.size()) return false;
    for (std::size_t i = 0; i < candidate.size(); ++i) {
      const std::string_view letters = at(i);
      if (std::find(letters.begin(), letters.end(), candidate[i]) == letters.end()) return false;
    }
    return true;
  }

  // Whether every reading folds like the word itself.
  bool foldLikeTheWord(const LetterFold& fold) const {
    for (std::size_t i = 0; i < word_.size(); ++i)
      for (const char letter : at(i))
        if (fold[static_cast<unsigned char>(letter)] != fold[static_cast<unsigned char>(word_[i])])
          return false;
    return true;
  }

 private:
  std::string_view word_;
  const ConfusionTable& table_;
  bool finals_;
};

// Below this many readings, a word's readings are probed one by one.
constexpr std::size_t kFewReadings = 8;

// Visits each distinct reading of `word`: at each position, each distinct
// letter of letters[i].
template <typename Visit>
void forEachReading(std::string_view word, std::span<const std::string_view> letters, Visit visit) {
  std::string reading(word);
  std::vector<std::size_t> varying;
  for (std::size_t i = 0; i < word.size(); ++i) {
    reading[i] = letters[i][0];
    if (letters[i].size() > 1) varying.push_back(i);
  }
  std::vector<std::size_t> digit(varying.size(), 0);
  for (;;) {
    visit(std::string_view(reading));
    std::size_t v = 0;
    for (; v < varying.size(); ++v) {
      const std::string_view here = letters[varying[v]];
      // the next letter not named before it in the class ("Uff" names f twice)
      do {
        digit[v] = (digit[v] + 1) % here.size();
      } while (digit[v] != 0 &&
               here.substr(0, digit[v]).find(here[digit[v]]) != std::string_view::npos);
      reading[varying[v]] = here[digit[v]];
      if (digit[v] != 0) break;
    }
    if (v == varying.size()) return;
  }
}

// Visits one representative of each distinct folded form that the readings
// take under `fold`. A dictionary loaded with the readingFold of the same
// table folds all readings alike: then there is exactly one.
template <typename Visit>
void forEachFoldedForm(std::string_view word, const Alternatives& alternatives,
                       const LetterFold& fold, Visit visit) {
  // Per position, one letter for each distinct fold among its alternatives.
  std::vector<std::string> forms(word.size());
  for (std::size_t i = 0; i < word.size(); ++i) {
    for (const char letter : alternatives.at(i)) {
      const bool seen = std::any_of(forms[i].begin(), forms[i].end(), [&](char other) {
        return fold[static_cast<unsigned char>(other)] == fold[static_cast<unsigned char>(letter)];
      });
      if (!seen) forms[i] += letter;
    }
  }
  const std::vector<std::string_view> letters(forms.begin(), forms.end());
  forEachReading(word, letters, visit);
}

bool isSmallVowel(char letter) {
  // a e i o u, and a o u with umlaut
  constexpr std::string_view kSmallVowels = "aeiou\xE4\xF6\xFC";
  return kSmallVowels.find(letter) != std::string_view::npos;
}

}  // namespace

LetterFold readingFold(const ConfusionTable& table) {
  LetterFold fold = identityFold();
  const auto root = [&fold](unsigned char byte) {
    while (fold[byte] != byte) byte = fold[byte];
    return byte;
  };
  for (int letter = 0; letter < 256; ++letter) {
    for (const char member : table.classOf(static_cast<unsigned char>(letter))) {
      const unsigned char a = root(static_cast<unsigned char>(letter));
      const unsigned char b = root(static_cast<unsigned char>(member));
      fold[std::max(a, b)] = std::min(a, b);  // the smallest byte represents its group
    }
  }
  for (int byte = 0; byte < 256; ++byte) fold[byte] = root(static_cast<unsigned char>(byte));
  return fold;
}

namespace {

// Calls add(reading) for each dictionary reading of the word.
template <typename Add>
void forEachDictionaryReading(const PageWord& pageWord, const ConfusionTable& table,
                              const OptionSet& options, const Dictionary& dictionary, Add add) {
  const std::string_view word = pageWord.text;
  if (dictionary.countOfLength(word.size()) == 0) return;
  const Alternatives alternatives(word, table, options);
  if (dictionary.walksPrefixes()) {
    std::array<std::string_view, Dictionary::kMaxWordLength> letters;
    std::size_t product = 1;  // readings, counted up to a few
    for (std::size_t i = 0; i < word.size(); ++i) {
      letters[i] = alternatives.at(i);
      if (letters[i].size() > 1) product = std::min<std::size_t>(product * letters[i].size(), 64);
    }
    if (product == 1) {  // the word is its only reading: one hash probe decides
      if (dictionary.contains(word, pageWord.foldedHash)) add(word);
      return;
    }
    if (product <= kFewReadings) {  // probing each reading is cheaper than the walk
      forEachReading(word, std::span(letters.data(), word.size()), [&](std::string_view reading) {
        if (dictionary.contains(reading)) add(reading);
      });
      return;
    }
    dictionary.forEachWordWithLetters(std::span(letters.data(), word.size()), add);
    return;
  }
  const auto keep = [&](std::string_view candidate) {
    if (alternatives.allows(candidate)) add(candidate);
  };
  if (alternatives.foldLikeTheWord(dictionary.fold())) {
    // the usual case: one probe run holds them all
    dictionary.forEachWordFoldingLike(word, pageWord.foldedHash, keep);
  } else {
    forEachFoldedForm(word, alternatives, dictionary.fold(), [&](std::string_view form) {
      dictionary.forEachWordFoldingLike(form, keep);
    });
  }
}

}  // namespace

DictionaryReadings findDictionaryReadings(const PageWord& word, const ConfusionTable& table,
                                          const OptionSet& options, const Dictionary& dictionary) {
  DictionaryReadings readings;
  forEachDictionaryReading(word, table, options, dictionary,
                           [&readings](std::string_view reading) { addReading(readings, reading); });
  return readings;
}

std::vector<std::string> listDictionaryReadings(std::string_view word, const ConfusionTable& table,
                                                const OptionSet& options,
                                                const Dictionary& dictionary) {
  std::vector<std::string> readings;
  forEachDictionaryReading(PageWord(word, dictionary), table, options, dictionary,
                           [&readings](std::string_view reading) { readings.emplace_back(reading); });
  return readings;
}

std::string applyIJRule(std::string word) {
  if (word.size() < 2 || (word[0] != 'I' && word[0] != 'J')) return word;
  word[0] = isSmallVowel(word[1]) ? 'J' : 'I';
  return word;
}

WordOutcome decideWord(const PageWord& pageWord, const ConfusionTable& table,
                       const OptionSet& options, const Dictionary& dictionary) {
  using Kind = WordOutcome::Kind;
  const std::string_view word = pageWord.text;
  DictionaryReadings readings = findDictionaryReadings(pageWord, table, options, dictionary);
  if (readings.count == 1) {
    const Kind kind = readings.merged == word ? Kind::CorrectUnchanged : Kind::ChangedIncorrect;
    return {kind, std::move(readings.merged)};
  }
  if (readings.count > 1) return {Kind::Ambiguous, std::move(readings.merged)};

  // No reading is known: the fixed rules may still rewrite the word, and
  // what they rewrite is taken without asking the dictionary again.
  std::string result(word);
  bool changed = false;
  const auto take = [&](std::string rewritten) {
    if (rewritten == result) return;
    result = std::move(rewritten);
    changed = true;
  };
  if (options.contains(OptionWord::I)) take(applyIJRule(result));
  if (options.contains(OptionWord::German)) take(applySubstitutionRules(result, options));
  if (changed) return {Kind::ChangedIncorrect, std::move(result)};
  return {Kind::Unknown, std::string(word)};
}

void prefetchDecision(const PageWord& word, const CorrectionContext& context) {
  if (context.outcomeCache != nullptr) context.outcomeCache->prefetch(word.foldedHash);
  context.dictionary.prefetch(word.foldedHash);
}

namespace {

void book(WordOutcome::Kind kind, std::string_view word, CorrectionContext& context) {
  countOutcome(kind, 1, context.runStats);
  if (kind == WordOutcome::Kind::Unknown) countUnknownWord(context.unknownWordCounts, word);
}

}  // namespace

void appendCorrectedWord(std::string& output, const PageWord& word, CorrectionContext& context) {
  OutcomeCache* cache = context.outcomeCache;
  OutcomeCache::Entry known;
  if (cache != nullptr && cache->find(word.text, word.foldedHash, known)) {
    book(known.kind, word.text, context);
    output += known.result;
    return;
  }
  const WordOutcome outcome =
      decideWord(word, context.confusionTable, context.optionSet, context.dictionary);
  if (cache != nullptr) cache->remember(word.text, word.foldedHash, outcome);
  book(outcome.kind, word.text, context);
  output += outcome.result;
}

std::string correctWord(const PageWord& word, CorrectionContext& context) {
  std::string result;
  appendCorrectedWord(result, word, context);
  return result;
}

}  // namespace scanmend
