#include "advise/advice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "advise/evidence.h"
#include "advise/letters.h"
#include "advise/weighing.h"
#include "correction/word_correction.h"

namespace scanmend::advise {
namespace {

// An exchange counts as a misreading when the unknown words take it at
// least twice as often as the dictionary's own words do.
constexpr double kMinimumConfidence = 0.5;
constexpr std::size_t kMostCandidates = 12;  // exchanges weighed as candidates, the best
constexpr double kRuleConfidence = 0.9;
constexpr double kChance = 0.005;
constexpr std::size_t kExamples = 3;

// "Uxy" or "Bxy".
std::string confusionWord(char form, unsigned char x, unsigned char y) {
  return std::string{form, static_cast<char>(x), static_cast<char>(y)};
}

std::string oneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string describe(const std::string& word) {
  if (word == "I")
    return "I and J are confused both ways; an unknown word starting with I or J takes J "
           "before a small vowel, I otherwise";
  if (word == "german")
    return "the fixed Fraktur repairs of unknown words (\"fch\" to \"sch\", \"qn\" to \"qu\", "
           "...), \"a*s\" settled to \"aus\", every \"=\" made \"-\"";
  if (word == "finals") return "a word-final f stays f (no word ends in a long s)";
  if (word == "=") return "words broken at a line end with \"=\" are joined";
  if (word == "Bnu") return "n and u are confused both ways, with the n/u repair rules";
  if (word == "Bov") return "o and v are confused both ways, with the o/v repair rules";
  if (word == "BBV") return "B and V are confused both ways, with the \"Bor\" to \"Vor\" rule";
  if (word.size() == 3 && word[0] == 'U')
    return "the scanner's " + word.substr(1, 1) + " may be " + word.substr(2, 1);
  if (word.size() == 3 && word[0] == 'B')
    return word.substr(1, 1) + " and " + word.substr(2, 1) + " are confused both ways";
  return word;
}

// The letters whose class a confusion word sets.
std::string declaredLetters(const std::string& word) {
  if (word == "I") return "IJ";
  if (word.size() == 3 && word[0] == 'U') return word.substr(1, 1);
  if (word.size() == 3 && word[0] == 'B') return word.substr(1, 2);
  return "";
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

// The confusion words that the evidence suggests, best first.
std::vector<std::string> candidateWords(const Evidence& evidence, std::int64_t minimumWords) {
  std::vector<const PairEvidence*> strong;
  for (const PairEvidence& pair : evidence.pairs)
    if (pair.confidence >= kMinimumConfidence && pair.words >= minimumWords && isSignificant(pair))
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
    const auto is = [&](char a, char b) { return (x == a && y == b) || (x == b && y == a); };
    if (is('I', 'J')) {
      add("I");
    } else if (is('n', 'u')) {
      add("Bnu");
    } else if (is('o', 'v')) {
      add("Bov");
      add(confusionWord('U', x, y));
    } else if (is('B', 'V')) {
      add("BBV");
      add(confusionWord('U', x, y));
    } else {
      if (isStrong(y, x)) add(confusionWord('B', std::min(x, y), std::max(x, y)));
      add(confusionWord('U', x, y));
    }
  }
  return words;
}

// Weighs argument sets over one list of distinct words.
class Search {
 public:
  Search(const std::vector<BookWord>& words, const Dictionary& dictionary, const Evidence& evidence)
      : words_(words), dictionary_(dictionary), evidence_(evidence), index_(indexLetters(words)) {
    known_.reserve(words.size());
    capitalised_.reserve(words.size());
    for (const BookWord& word : words) {
      known_.push_back(dictionary.contains(word.text));
      capitalised_.push_back(!known_.back() && isCapitalisedForm(word.text, dictionary));
    }
  }

  Outcomes decide(const std::vector<std::string>& arguments) const {
    if (!arguments.empty()) return decideWords(words_, RunTables(arguments), dictionary_);
    Outcomes outcomes;  // no arguments: known words stand, the others are unknown
    outcomes.reserve(words_.size());
    for (std::size_t i = 0; i < words_.size(); ++i)
      outcomes.push_back(
          {known_[i] ? WordOutcome::Kind::CorrectUnchanged : WordOutcome::Kind::Unknown,
           words_[i].text});
    return outcomes;
  }
  Outcomes redecide(const std::vector<std::string>& before, const Outcomes& previous,
                    const std::vector<std::string>& after) const {
    return redecideWords(words_, index_, RunTables(before), previous, RunTables(after),
                         dictionary_);
  }

  // The estimated number of page words that come out right, beyond the
  // raw pages.
  double value(const Outcomes& outcomes, const std::vector<std::string>& arguments) const {
    const RunTables tables(arguments);
    double total = 0;
    for (std::size_t i = 0; i < words_.size(); ++i)
      total += valueOf(i, outcomes[i], tables.confusionTable);
    return total;
  }

  // Whether the outcome changes a word that the dictionary does not know.
  bool resolves(std::size_t i, const WordOutcome& outcome) const {
    return !known_[i] && outcome.kind == WordOutcome::Kind::ChangedIncorrect;
  }
  // Whether it makes a word that reads as correct ambiguous.
  bool putsAtRisk(std::size_t i, const WordOutcome& outcome) const {
    return known_[i] && outcome.kind == WordOutcome::Kind::Ambiguous;
  }

  const std::vector<BookWord>& words() const { return words_; }
  bool isCapitalised(std::size_t i) const { return capitalised_[i]; }

 private:
  // A changed word is right when every letter exchange that made it is a
  // misreading, and wrong (where the word was right as read) otherwise.
  // The fixed Fraktur rules exchange letters too (fch to sch: f for s);
  // where they make a dictionary word, that alone speaks for them.
  double valueOf(std::size_t i, const WordOutcome& outcome, const ConfusionTable& table) const {
    const auto count = static_cast<double>(words_[i].count);
    if (putsAtRisk(i, outcome)) return -count;
    if (!resolves(i, outcome)) return 0;
    if (capitalised_[i]) return -count;  // a sentence start ("Soll"), right as it stands
    const std::string& word = words_[i].text;
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

  const std::vector<BookWord>& words_;
  const Dictionary& dictionary_;
  const Evidence& evidence_;
  LetterIndex index_;
  std::vector<bool> known_;
  std::vector<bool> capitalised_;
};

// The named word for a one-way n/u, o/v or B/V word, or "".
std::string namedBothWays(const std::string& word) {
  if (word.size() != 3 || word[0] != 'U') return "";
  const std::string pair = word.substr(1);
  if (pair == "nu" || pair == "un") return "Bnu";
  if (pair == "ov" || pair == "vo") return "Bov";
  if (pair == "BV" || pair == "VB") return "BBV";
  return "";
}

std::vector<std::string> with(std::vector<std::string> arguments, const std::string& word) {
  arguments.push_back(word);
  return arguments;
}

std::vector<std::string> without(std::vector<std::string> arguments, const std::string& word) {
  arguments.erase(std::remove(arguments.begin(), arguments.end(), word), arguments.end());
  return arguments;
}

std::string gainText(const Search& search, const Outcomes& before, const Outcomes& after) {
  std::int64_t resolved = 0;
  std::int64_t atRisk = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (search.resolves(i, after[i]) && !search.resolves(i, before[i]))
      resolved += search.words()[i].count;
    if (search.putsAtRisk(i, after[i]) && !search.putsAtRisk(i, before[i]))
      atRisk += search.words()[i].count;
  }
  return "would resolve " + std::to_string(resolved) + " and put " + std::to_string(atRisk) +
         " correct words at risk";
}

Proposal describeEffect(const Search& search, const std::string& word, const Outcomes& before,
                        const Outcomes& after) {
  Proposal proposal;
  proposal.word = word;
  proposal.declares = describe(word);
  std::vector<std::size_t> resolved;
  for (std::size_t i = 0; i < before.size(); ++i) {
    const std::int64_t count = search.words()[i].count;
    if (search.resolves(i, after[i]) && after[i].result != before[i].result) {
      ++proposal.resolvedWords;
      proposal.resolvedOccurrences += count;
      resolved.push_back(i);
    }
    if (search.putsAtRisk(i, after[i]) && !search.putsAtRisk(i, before[i])) {
      ++proposal.atRiskWords;
      proposal.atRiskOccurrences += count;
    }
    if (search.putsAtRisk(i, before[i]) && !search.putsAtRisk(i, after[i])) {
      ++proposal.keptWords;
      proposal.keptOccurrences += count;
    }
  }
  std::stable_sort(resolved.begin(), resolved.end(), [&](std::size_t a, std::size_t b) {
    return search.words()[a].count > search.words()[b].count;
  });
  for (std::size_t k = 0; k < resolved.size() && k < kExamples; ++k)
    proposal.examples.emplace_back(search.words()[resolved[k]].text, after[resolved[k]].result);
  return proposal;
}

std::vector<BookWord> mostFrequent(std::vector<BookWord> words, std::size_t most) {
  std::stable_sort(words.begin(), words.end(),
                   [](const BookWord& a, const BookWord& b) { return a.count > b.count; });
  if (words.size() > most) words.resize(most);
  return words;
}

// The exchanges that found words but made no candidate: the few most
// telling, with the reason.
std::vector<LeftOut> unsureExchanges(const Evidence& evidence, std::int64_t minimumWords) {
  std::vector<LeftOut> leftOut;
  for (const PairEvidence& pair : evidence.pairs) {
    if (pair.words < 2 || leftOut.size() == 8) continue;
    std::string reason;
    if (pair.confidence < kMinimumConfidence) {
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

// The arguments chosen so far, with the run they produce and its value.
struct Choice {
  std::vector<std::string> arguments;
  Outcomes outcomes;
  double value = 0;
};

// Moves `choice` to `next` where that gains. Else leaves it and says what
// `next` would have done.
std::optional<std::string> tryChoice(const Search& search, Choice& choice,
                                     std::vector<std::string> next) {
  Outcomes outcomes = search.redecide(choice.arguments, choice.outcomes, next);
  const double value = search.value(outcomes, next);
  if (value <= choice.value) return gainText(search, choice.outcomes, outcomes);
  choice = {std::move(next), std::move(outcomes), value};
  return std::nullopt;
}

// What "=" does under `arguments`: the broken words, joined, that the run
// reads as dictionary words. `joined` gets all their occurrences.
Proposal weighJoining(const Book& book, const std::vector<std::string>& arguments,
                      const Dictionary& dictionary, std::int64_t& joined) {
  Proposal joining;
  joining.word = "=";
  joining.declares = describe("=");
  joining.lineEnds = book.lineEndMarkers;
  const RunTables tables(arguments);
  for (const BookWord& word : book.brokenWords) {
    joined += word.count;
    std::string whole = word.text;
    std::erase(whole, '=');
    const WordOutcome outcome =
        decideWord(whole, tables.confusionTable, tables.optionSet, dictionary);
    const bool read = outcome.kind == WordOutcome::Kind::CorrectUnchanged ||
                      (outcome.kind == WordOutcome::Kind::ChangedIncorrect &&
                       dictionary.contains(outcome.result));
    if (!read) continue;
    ++joining.resolvedWords;
    joining.resolvedOccurrences += word.count;
    if (joining.examples.size() < kExamples)
      joining.examples.emplace_back(word.text, outcome.result);
  }
  return joining;
}

}  // namespace

Advice adviseArguments(const Book& book, const Dictionary& dictionary, const Progress& progress) {
  const auto say = [&progress](const std::string& text) {
    if (progress) progress(text);
  };
  Advice advice;
  // Line joining changes which words there are: where the pages break
  // words at line ends, the evidence and the candidates are weighed on the
  // joined words, and "=" is decided last.
  const bool broken = book.lineEndMarkers > 0;
  const std::vector<BookWord>& words = broken ? book.joinedWords : book.words;
  say("gathering evidence from " + std::to_string(words.size()) + " distinct words");
  const Evidence evidence = gatherEvidence(words, dictionary);
  const Search search(words, dictionary, evidence);
  const std::int64_t minimumWords = std::max<std::int64_t>(2, evidence.unknownWords / 500);
  const std::vector<std::string> candidates = candidateWords(evidence, minimumWords);
  advice.leftOut = unsureExchanges(evidence, minimumWords);

  // Each candidate alone, then the best ones together, each kept only
  // while it still gains on top of those kept before.
  say("weighing " + std::to_string(candidates.size()) + " candidates");
  Choice choice;
  choice.outcomes = search.decide({});
  choice.value = search.value(choice.outcomes, {});
  std::vector<std::pair<double, std::string>> ranked;
  for (const std::string& candidate : candidates) {
    const Outcomes alone = search.redecide({}, choice.outcomes, {candidate});
    const double gain = search.value(alone, {candidate}) - choice.value;
    if (gain > 0) {
      ranked.emplace_back(gain, candidate);
    } else {
      advice.leftOut.push_back(
          {candidate, (gain < 0 ? "costs more than it gains: it " : "gains nothing: it ") +
                          gainText(search, choice.outcomes, alone)});
    }
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& [standalone, candidate] : ranked) {
    const std::string letters = declaredLetters(candidate);
    const auto taken = std::find_if(
        choice.arguments.begin(), choice.arguments.end(), [&](const std::string& word) {
          return declaredLetters(word).find_first_of(letters) != std::string::npos;
        });
    if (taken != choice.arguments.end()) {
      advice.leftOut.push_back(
          {candidate, "its letters are already declared by " + *taken + ", which gains more"});
    } else if (const auto why = tryChoice(search, choice, with(choice.arguments, candidate))) {
      advice.leftOut.push_back(
          {candidate, "gains nothing beside the words already chosen: it " + *why});
    }
  }

  // The option words, each kept where it gains.
  say("weighing the option words");
  const RunTables chosen(choice.arguments);
  const std::string_view fClass = chosen.confusionTable.classOf('f');
  std::vector<std::string> options;
  if (fClass == "fs" || fClass == "sf") options.push_back("finals");
  options.push_back("german");
  if (std::find(choice.arguments.begin(), choice.arguments.end(), "I") == choice.arguments.end())
    options.push_back("I");
  for (const std::string& option : options)
    if (const auto why = tryChoice(search, choice, with(choice.arguments, option)))
      advice.leftOut.push_back({option, "gains nothing on this book: it " + *why});

  // "Bnu", "Bov" and "BBV" also switch on the repair rules of their pair,
  // which may gain where the book shows only one way of it.
  for (const std::string& word : std::vector<std::string>(choice.arguments)) {
    const std::string named = namedBothWays(word);
    if (named.empty()) continue;
    std::vector<std::string> next = choice.arguments;
    std::replace(next.begin(), next.end(), word, named);
    if (std::find(next.begin(), next.end(), "german") == next.end()) next.push_back("german");
    if (tryChoice(search, choice, next)) continue;
    advice.leftOut.push_back(
        {word, named + " declares the same letters and gains more with its repair rules"});
    std::erase_if(advice.leftOut, [](const LeftOut& left) { return left.word == "german"; });
  }

  // "=" stays where the run reads most of the words it joins (as they are
  // or as readings); else the run goes over the words as the pages break them.
  std::int64_t joined = 0;
  const Proposal joining =
      broken ? weighJoining(book, choice.arguments, dictionary, joined) : Proposal();
  const bool join = broken && 2 * joining.resolvedOccurrences >= joined;
  if (broken && !join)
    advice.leftOut.push_back({"=", "of the words it would join, the run reads only " +
                                       std::to_string(joining.resolvedOccurrences) + " of " +
                                       std::to_string(joined) + " as dictionary words"});
  std::optional<Search> unjoined;
  if (broken && !join) {
    unjoined.emplace(book.words, dictionary, evidence);
    choice.outcomes = unjoined->decide(choice.arguments);
  }
  const Search& run = unjoined ? *unjoined : search;

  // What each chosen word does, beside all the others.
  say("describing the advice");
  for (const std::string& word : choice.arguments) {
    const Outcomes before =
        run.redecide(choice.arguments, choice.outcomes, without(choice.arguments, word));
    advice.proposals.push_back(describeEffect(run, word, before, choice.outcomes));
  }
  advice.arguments = choice.arguments;
  if (join) {
    advice.arguments.push_back("=");
    advice.proposals.push_back(joining);
  }
  advice.statistics = predictStatistics(run.words(), choice.outcomes);
  std::vector<BookWord> unknown;
  for (std::size_t i = 0; i < run.words().size(); ++i)
    if (choice.outcomes[i].kind == WordOutcome::Kind::Unknown && !run.isCapitalised(i) &&
        isPlainWord(run.words()[i].text))
      unknown.push_back(run.words()[i]);
  advice.unknown = mostFrequent(std::move(unknown), 12);
  advice.capitalised = mostFrequent(evidence.capitalised, evidence.capitalised.size());
  return advice;
}

}  // namespace scanmend::advise
