#include "correction/word_correction.h"

#include <algorithm>
#include <vector>

#include "correction/substitution_rules.h"
#include "dictionary/word_hash.h"

namespace scanmend {
namespace {

// Below this many readings each one is looked up by hash; above it the
// sorted words of the word's length are walked by prefix, which costs at
// most a few binary searches per dictionary word of that length however
// many readings there are. Both give the same set of hits.
constexpr std::size_t kMaxReadingsToEnumerate = 4096;

// A position of the word whose letter may stand for more than one letter.
struct Choice {
  std::size_t position;
  std::string letters;  // distinct, in class order
};

void addReading(DictionaryReadings& readings, std::string_view reading) {
  if (readings.count++ == 0) {
    readings.merged.assign(reading);
    return;
  }
  for (std::size_t i = 0; i < reading.size(); ++i)
    if (readings.merged[i] != reading[i]) readings.merged[i] = '*';
}

bool allFoldTogether(const std::vector<Choice>& choices, const Dictionary& dictionary) {
  for (const Choice& choice : choices)
    for (const char letter : choice.letters)
      if (!dictionary.foldsTogether(static_cast<unsigned char>(letter),
                                    static_cast<unsigned char>(choice.letters[0])))
        return false;
  return true;
}

void enumerateReadings(std::string& reading, const std::vector<Choice>& choices,
                       const Dictionary& dictionary, DictionaryReadings& readings) {
  // Readings that fold alike are kept in one place: find it once.
  const bool samePlace = allFoldTogether(choices, dictionary);
  const std::uint64_t place = dictionary.placeOf(reading);
  std::vector<std::size_t> digit(choices.size(), 0);
  for (;;) {
    const bool known =
        samePlace ? dictionary.containsAt(reading, place) : dictionary.contains(reading);
    if (known) addReading(readings, reading);
    std::size_t c = 0;
    for (; c < choices.size(); ++c) {
      if (++digit[c] < choices[c].letters.size()) {
        reading[choices[c].position] = choices[c].letters[digit[c]];
        break;
      }
      digit[c] = 0;
      reading[choices[c].position] = choices[c].letters[0];
    }
    if (c == choices.size()) return;
  }
}

// Walks `words` (sorted, all of the reading's length) position by position,
// narrowing to the range that shares each allowed prefix.
class PrefixWalk {
 public:
  PrefixWalk(const std::vector<std::string_view>& words, std::string_view fixed,
             const std::vector<std::string>& allowed, DictionaryReadings& readings)
      : words_(words), fixed_(fixed), allowed_(allowed), readings_(readings) {}

  void walk(std::size_t position, std::size_t first, std::size_t last) {
    if (position == fixed_.size()) {
      for (std::size_t i = first; i < last; ++i) addReading(readings_, words_[i]);
      return;
    }
    const std::string& letters = allowed_[position];
    if (letters.empty()) {
      narrowTo(fixed_[position], position, first, last);
    } else {
      for (const char letter : letters) narrowTo(letter, position, first, last);
    }
  }

 private:
  void narrowTo(char letter, std::size_t position, std::size_t first, std::size_t last) {
    const auto byteAt = [position](std::string_view word) {
      return static_cast<unsigned char>(word[position]);
    };
    const auto wanted = static_cast<unsigned char>(letter);
    const auto begin = words_.begin();
    const auto low = std::partition_point(begin + first, begin + last,
                                          [&](std::string_view w) { return byteAt(w) < wanted; });
    const auto high = std::partition_point(low, begin + last,
                                           [&](std::string_view w) { return byteAt(w) <= wanted; });
    if (low != high) walk(position + 1, low - begin, high - begin);
  }

  const std::vector<std::string_view>& words_;
  std::string_view fixed_;
  const std::vector<std::string>& allowed_;
  DictionaryReadings& readings_;
};

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

DictionaryReadings findDictionaryReadings(std::string_view word, const ConfusionTable& table,
                                          const OptionSet& options, const Dictionary& dictionary) {
  DictionaryReadings readings;
  if (dictionary.countOfLength(word.size()) == 0) return readings;

  // The reading built from each position's first alternative, and the
  // positions that have more than one.
  std::string reading(word);
  std::vector<Choice> choices;
  std::size_t product = 1;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const auto letter = static_cast<unsigned char>(word[i]);
    const std::string_view letterClass = table.classOf(letter);
    if (letterClass.empty()) continue;
    // A final f stands only for f when "finals" is set and f is confused
    // with the long s.
    if (i + 1 == word.size() && letter == 'f' && options.contains(OptionWord::Finals) &&
        (letterClass == "sf" || letterClass == "fs")) {
      continue;
    }
    std::string letters;
    for (const char alternative : letterClass)
      if (letters.find(alternative) == std::string::npos) letters += alternative;
    reading[i] = letters[0];
    if (letters.size() == 1) continue;
    product = std::min(product * letters.size(), kMaxReadingsToEnumerate + 1);
    choices.push_back({i, std::move(letters)});
  }

  if (product <= kMaxReadingsToEnumerate) {
    enumerateReadings(reading, choices, dictionary, readings);
  } else {
    std::vector<std::string> allowed(word.size());
    for (Choice& choice : choices) {
      std::sort(choice.letters.begin(), choice.letters.end());
      allowed[choice.position] = std::move(choice.letters);
    }
    const auto& words = dictionary.sortedWordsOfLength(word.size());
    PrefixWalk(words, reading, allowed, readings).walk(0, 0, words.size());
  }
  return readings;
}

std::string applyIJRule(std::string word) {
  if (word.size() < 2 || (word[0] != 'I' && word[0] != 'J')) return word;
  word[0] = isSmallVowel(word[1]) ? 'J' : 'I';
  return word;
}

WordOutcome decideWord(std::string_view word, const ConfusionTable& table, const OptionSet& options,
                       const Dictionary& dictionary) {
  using Kind = WordOutcome::Kind;
  DictionaryReadings readings = findDictionaryReadings(word, table, options, dictionary);
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

WordOutcomeCache::Slot WordOutcomeCache::slotOf(std::string_view word) {
  const std::uint64_t hash = hashWord(word);
  return {static_cast<std::size_t>(hash) & (kSlots - 1), static_cast<std::uint32_t>(hash >> 32)};
}

WordOutcomeCache::Entry* WordOutcomeCache::find(std::string_view word, Slot slot) {
  if (slots_.empty()) return nullptr;
  const SlotState& state = slots_[slot.index];
  if (state.entry == 0 || state.tag != slot.tag) return nullptr;
  Entry& entry = entries_[state.entry - 1];
  return entry.word == word ? &entry : nullptr;
}

WordOutcomeCache::Entry* WordOutcomeCache::store(std::string_view word, Slot slot,
                                                 const WordOutcome& outcome) {
  if (word.size() > kMaxWordLength) return nullptr;
  if (slots_.empty()) {
    slots_.resize(kSlots);
    entries_.reserve(kSlots);
  }
  SlotState& state = slots_[slot.index];
  if (state.entry == 0) {
    entries_.emplace_back();
    state.entry = static_cast<std::uint32_t>(entries_.size());
  }
  state.tag = slot.tag;
  Entry& entry = entries_[state.entry - 1];
  entry.word.assign(word);
  entry.outcome.kind = outcome.kind;
  entry.outcome.result.assign(outcome.result);
  entry.unknownCount = nullptr;
  return &entry;
}

std::string correctWord(std::string_view word, CorrectionContext& context) {
  RunStats& stats = context.runStats;
  WordOutcomeCache& cache = context.outcomeCache;
  const WordOutcomeCache::Slot slot = WordOutcomeCache::slotOf(word);
  WordOutcomeCache::Entry* entry = cache.find(word, slot);
  WordOutcome decided;
  if (entry == nullptr) {
    decided = decideWord(word, context.confusionTable, context.optionSet, context.dictionary);
    entry = cache.store(word, slot, decided);
  }
  const WordOutcome& outcome = entry != nullptr ? entry->outcome : decided;

  ++stats.totalWords;
  switch (outcome.kind) {
    case WordOutcome::Kind::CorrectUnchanged:
      ++stats.correctUnchanged;
      break;
    case WordOutcome::Kind::ChangedIncorrect:
      ++stats.changedIncorrect;
      break;
    case WordOutcome::Kind::Ambiguous:
      ++stats.ambiguousWords;
      break;
    case WordOutcome::Kind::Unknown:
      ++stats.unknownWords;
      if (entry == nullptr) {
        countUnknownWord(context.unknownWordCounts, word);
      } else if (entry->unknownCount == nullptr) {
        entry->unknownCount = &countUnknownWord(context.unknownWordCounts, word);
      } else {
        ++*entry->unknownCount;
      }
      break;
  }
  return outcome.result;
}

}  // namespace scanmend
