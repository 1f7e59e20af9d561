#include "advise/weighing.h"

#include <algorithm>

#include "correction/word_correction.h"

namespace scanmend::advise {
namespace {

// A rule of the fixed Fraktur tables that makes a dictionary word is taken
// as this likely right, where the evidence says less of its exchange.
constexpr double kRuleConfidence = 0.9;

WordOutcome decide(const std::string& word, const RunTables& tables, const Dictionary& dictionary) {
  return decideWord(word, tables.confusionTable, tables.optionSet, dictionary);
}

bool differIn(const OptionSet& a, const OptionSet& b, OptionScope scope) {
  for (const OptionWordEntry& entry : optionWords())
    if (entry.scope == scope && a.contains(entry.word) != b.contains(entry.word)) return true;
  return false;
}

}  // namespace

bool ArgumentSet::contains(const std::string& word) const {
  return std::find(arguments.begin(), arguments.end(), word) != arguments.end();
}

ArgumentSet ArgumentSet::with(const std::string& word) const {
  std::vector<std::string> words = arguments;
  words.push_back(word);
  return ArgumentSet(std::move(words));
}

ArgumentSet ArgumentSet::without(const std::string& word) const {
  std::vector<std::string> words = arguments;
  std::erase(words, word);
  return ArgumentSet(std::move(words));
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
      index[byte].push_back(static_cast<std::uint32_t>(i));
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
  Outcomes outcomes = previous;
  std::vector<bool> done(words.size(), false);
  const auto redecide = [&](std::size_t i) {
    if (done[i]) return;
    done[i] = true;
    outcomes[i] = decide(words[i].text, after, dictionary);
  };
  // The rule groups act only on words without a dictionary reading: those
  // that came out unknown or changed.
  if (differIn(a, b, OptionScope::UnresolvedWords)) {
    for (std::size_t i = 0; i < words.size(); ++i) {
      const WordOutcome::Kind kind = previous[i].kind;
      if (kind == WordOutcome::Kind::Unknown || kind == WordOutcome::Kind::ChangedIncorrect)
        redecide(i);
    }
  }
  const bool finals = differIn(a, b, OptionScope::FinalF);
  for (int byte = 0; byte < 256; ++byte) {
    const auto letter = static_cast<unsigned char>(byte);
    if (!(finals && letter == 'f') &&
        before.confusionTable.classOf(letter) == after.confusionTable.classOf(letter))
      continue;
    for (const std::uint32_t i : index[letter]) redecide(i);
  }
  return outcomes;
}

RunStats predictStatistics(const std::vector<BookWord>& words, const Outcomes& outcomes) {
  RunStats stats;
  for (std::size_t i = 0; i < words.size(); ++i)
    countOutcome(outcomes[i].kind, words[i].count, stats);
  return stats;
}

Weighing::Weighing(const ClassifiedWords& words, const Dictionary& dictionary,
                   const Evidence& evidence)
    : words_(words),
      dictionary_(dictionary),
      evidence_(evidence),
      index_(indexLetters(words.words)) {}

Outcomes Weighing::decide(const ArgumentSet& set) const {
  if (!set.arguments.empty()) return decideWords(words(), set.tables, dictionary_);
  Outcomes outcomes;  // no arguments: known words stand, the others are unknown
  outcomes.reserve(words().size());
  for (std::size_t i = 0; i < words().size(); ++i)
    outcomes.push_back(
        {words_.known[i] ? WordOutcome::Kind::CorrectUnchanged : WordOutcome::Kind::Unknown,
         words()[i].text});
  return outcomes;
}

Outcomes Weighing::redecide(const ArgumentSet& before, const Outcomes& previous,
                            const ArgumentSet& after) const {
  return redecideWords(words(), index_, before.tables, previous, after.tables, dictionary_);
}

double Weighing::value(const Outcomes& outcomes, const ArgumentSet& set) const {
  double total = 0;
  for (std::size_t i = 0; i < words().size(); ++i)
    total += valueOf(i, outcomes[i], set.tables.confusionTable);
  return total;
}

// The fixed Fraktur rules exchange letters too (fch to sch: f for s);
// where they make a dictionary word, that alone speaks for them.
double Weighing::valueOf(std::size_t i, const WordOutcome& outcome,
                         const ConfusionTable& table) const {
  const auto count = static_cast<double>(words()[i].count);
  if (putsAtRisk(i, outcome)) return -count;
  if (!resolves(i, outcome)) return 0;
  // A sentence start ("Soll") or the period's spelling ("Theil"): right
  // as it stands.
  if (words_.capitalised[i] || words_.periodSpelling[i]) return -count;
  const std::string& word = words()[i].text;
  double confidence = 1;
  for (std::size_t k = 0; k < word.size(); ++k) {
    const auto scanned = static_cast<unsigned char>(word[k]);
    const auto meant = static_cast<unsigned char>(outcome.result[k]);
    if (scanned == meant) continue;
    double exchange = evidence_.confidence(scanned, meant);
    const bool byRule =
        table.classOf(scanned).find(static_cast<char>(meant)) == std::string_view::npos;
    if (byRule && exchange < kRuleConfidence && dictionary_.contains(outcome.result))
      exchange = kRuleConfidence;
    confidence = std::min(confidence, exchange);
  }
  return count * (2 * confidence - 1);
}

}  // namespace scanmend::advise
