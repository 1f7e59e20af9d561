#include "advise/weighing.h"

#include "correction/word_correction.h"

namespace scanmend::advise {
namespace {

WordOutcome decide(const std::string& word, const RunTables& tables, const Dictionary& dictionary) {
  return decideWord(word, tables.confusionTable, tables.optionSet, dictionary);
}

bool sameOptions(const OptionSet& a, const OptionSet& b) {
  for (const OptionWord word : {OptionWord::I, OptionWord::Join, OptionWord::Bnu, OptionWord::Bov,
                                OptionWord::BBV, OptionWord::German, OptionWord::Finals})
    if (a.contains(word) != b.contains(word)) return false;
  return true;
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
  if (!sameOptions(before.optionSet, after.optionSet)) return decideWords(words, after, dictionary);
  Outcomes outcomes = previous;
  std::vector<bool> done(words.size(), false);
  for (int byte = 0; byte < 256; ++byte) {
    const auto letter = static_cast<unsigned char>(byte);
    if (before.confusionTable.classOf(letter) == after.confusionTable.classOf(letter)) continue;
    for (const std::size_t i : index[letter]) {
      if (done[i]) continue;
      done[i] = true;
      outcomes[i] = decide(words[i].text, after, dictionary);
    }
  }
  return outcomes;
}

RunStats predictStatistics(const std::vector<BookWord>& words, const Outcomes& outcomes) {
  RunStats stats;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::int64_t count = words[i].count;
    stats.totalWords += count;
    switch (outcomes[i].kind) {
      case WordOutcome::Kind::CorrectUnchanged:
        stats.correctUnchanged += count;
        break;
      case WordOutcome::Kind::ChangedIncorrect:
        stats.changedIncorrect += count;
        break;
      case WordOutcome::Kind::Ambiguous:
        stats.ambiguousWords += count;
        break;
      case WordOutcome::Kind::Unknown:
        stats.unknownWords += count;
        break;
    }
  }
  return stats;
}

}  // namespace scanmend::advise
