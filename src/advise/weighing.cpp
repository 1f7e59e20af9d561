#include "advise/weighing.h"

#include "correction/word_correction.h"

namespace scanmend::advise {
namespace {

WordOutcome decide(const std::string& word, const RunTables& tables, const Dictionary& dictionary) {
  return decideWord(word, tables.confusionTable, tables.optionSet, dictionary);
}

bool differs(const OptionSet& a, const OptionSet& b, OptionWord word) {
  return a.contains(word) != b.contains(word);
}

}  // namespace

RunTables::RunTables(const std::vector<std::string>& arguments) {
  parseConfusionArguments(arguments, confusionTable);
  parseOptionWords(arguments, optionSet, confusionTable);
}

LetterIndex indexLetters(const std::vector<BookWord>& words) {
  LetterIndex index;
  std::array<std::size_t, 256> lastWord;
  lastWord.fill(static_cast<std::size_t>(-1));
  for (std::size_t i = 0; i < words.size(); ++i)
    for (const char letter : words[i].text) {
      const auto byte = static_cast<unsigned char>(letter);
      if (lastWord[byte] == i) continue;
      lastWord[byte] = i;
      index[byte].push_back(i);
    }
  return index;
}

Outcomes decideWords(const std::vector<BookWord>& words, const RunTables& tables,
                     const Dictionary& dictionary) {
  Outcomes outcomes;
  outcomes.reserve(words.size());
  for (const BookWord& word : words) outcomes.push_back(decide(word.text, tables, dictionary));
  return outcomes;
}

Outcomes redecideWords(const std::vector<BookWord>& words, const LetterIndex& index,
                       const RunTables& before, const Outcomes& previous, const RunTables& after,
                       const Dictionary& dictionary) {
  const OptionSet& a = before.optionSet;
  const OptionSet& b = after.optionSet;
  // The rule groups act only on words without a dictionary reading: those
  // that came out unknown or changed.
  const bool rules = differs(a, b, OptionWord::German) || differs(a, b, OptionWord::Bnu) ||
                     differs(a, b, OptionWord::Bov) || differs(a, b, OptionWord::BBV) ||
                     differs(a, b, OptionWord::I);
  Outcomes outcomes = previous;
  std::vector<bool> done(words.size(), false);
  const auto redecide = [&](std::size_t i) {
    if (done[i]) return;
    done[i] = true;
    outcomes[i] = decide(words[i].text, after, dictionary);
  };
  if (rules) {
    for (std::size_t i = 0; i < words.size(); ++i) {
      const WordOutcome::Kind kind = previous[i].kind;
      if (kind == WordOutcome::Kind::Unknown || kind == WordOutcome::Kind::ChangedIncorrect)
        redecide(i);
    }
  }
  for (int byte = 0; byte < 256; ++byte) {
    const auto letter = static_cast<unsigned char>(byte);
    // "finals" concerns the words that hold an f.
    const bool finals = letter == 'f' && differs(a, b, OptionWord::Finals);
    if (!finals && before.confusionTable.classOf(letter) == after.confusionTable.classOf(letter))
      continue;
    for (const std::size_t i : index[letter]) redecide(i);
  }
  return outcomes;
}

RunStats predictStatistics(const std::vector<BookWord>& words, const Outcomes& outcomes) {
  RunStats stats;
  for (std::size_t i = 0; i < words.size(); ++i)
    countOutcome(outcomes[i].kind, words[i].count, stats);
  return stats;
}

}  // namespace scanmend::advise
