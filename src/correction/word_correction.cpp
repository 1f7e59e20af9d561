#include "correction/word_correction.h"

#include <algorithm>
#include <vector>

#include "correction/substitution_rules.h"

namespace scanmend {
namespace {

// Below this many readings each one is looked up by hash; above it the
// sorted words of the word's length are walked by prefix, which costs at
// most a few binary searches per dictionary word of that length however
// many readings there are. Both give the same set of hits.
constexpr std::size_t kMaxReadingsToEnumerate = 512;

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

void enumerateReadings(std::string& reading, const std::vector<Choice>& choices,
                       const Dictionary& dictionary, DictionaryReadings& readings) {
  std::vector<std::size_t> digit(choices.size(), 0);
  for (;;) {
    if (dictionary.contains(reading)) addReading(readings, reading);
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

bool isSmallVowel(unsigned char byte) {
  switch (byte) {
    case 'a': case 'e': case 'i': case 'o': case 'u':
    case 0xE4: case 0xF6: case 0xFC:  // ä ö ü
      return true;
    default:
      return false;
  }
}

}  // namespace

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
  word[0] = isSmallVowel(static_cast<unsigned char>(word[1])) ? 'J' : 'I';
  return word;
}

std::string correctWord(std::string_view word, CorrectionContext& context) {
  RunStats& stats = context.runStats;
  ++stats.totalWords;
  DictionaryReadings readings =
      findDictionaryReadings(word, context.confusionTable, context.optionSet, context.dictionary);
  if (readings.count == 1) {
    ++(readings.merged == word ? stats.correctUnchanged : stats.changedIncorrect);
    return std::move(readings.merged);
  }
  if (readings.count > 1) {
    ++stats.ambiguousWords;
    return std::move(readings.merged);
  }

  // No reading is known: the fixed rules may still rewrite the word, and
  // what they rewrite is taken without asking the dictionary again.
  std::string result(word);
  bool changed = false;
  const auto take = [&](std::string rewritten) {
    if (rewritten == result) return;
    result = std::move(rewritten);
    changed = true;
  };
  if (context.optionSet.contains(OptionWord::I)) take(applyIJRule(result));
  if (context.optionSet.contains(OptionWord::German))
    take(applySubstitutionRules(result, context.optionSet));
  if (changed) {
    ++stats.changedIncorrect;
    return result;
  }
  ++stats.unknownWords;
  countUnknownWord(context.unknownWordCounts, word);
  return std::string(word);
}

}  // namespace scanmend
