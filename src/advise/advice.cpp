#include "advise/advice.h"

#include <algorithm>
#include <cassert>
#include <optional>

#include "advise/candidates.h"
#include "advise/likely_readings.h"
#include "advise/weighing.h"
#include "base/letters.h"
#include "correction/options.h"
#include "correction/word_correction.h"
#include "profile/evidence.h"
#include "profile/learning.h"
#include "profile/ocr_prior.h"

namespace scanmend::advise {
namespace {

constexpr std::size_t kExamples = 3;
constexpr std::size_t kUnknownShown = 12;
constexpr std::size_t kReviewShown = 12;
// An unknown word seen this often, with no misreading to explain it, is
// likely a word the dictionary lacks (a name, a rare form).
constexpr std::int64_t kDictionaryWordCount = 3;

// The arguments chosen so far, with the run they produce and its value.
struct Choice {
  ArgumentSet set;
  Outcomes outcomes;
  double value = 0;
};

std::string gainText(const Weighing& weighing, const Outcomes& before, const Outcomes& after) {
  std::int64_t resolved = 0;
  std::int64_t atRisk = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (weighing.resolves(i, after[i]) && !weighing.resolves(i, before[i]))
      resolved += weighing.words()[i].count;
    if (weighing.putsAtRisk(i, after[i]) && !weighing.putsAtRisk(i, before[i]))
      atRisk += weighing.words()[i].count;
  }
  return "would resolve " + std::to_string(resolved) + " and put " + std::to_string(atRisk) +
         " correct words at risk";
}

// Moves `choice` to `next` where that gains. Else leaves it and says what
// `next` would have done.
std::optional<std::string> tryChoice(const Weighing& weighing, Choice& choice, ArgumentSet next) {
  Outcomes outcomes = weighing.redecide(choice.set, choice.outcomes, next);
  const double value = weighing.value(outcomes, next);
  if (value <= choice.value) return gainText(weighing, choice.outcomes, outcomes);
  choice = {std::move(next), std::move(outcomes), value};
  return std::nullopt;
}

// "would resolve N distinct words (M occurrences), for example a -> b; ..."
std::string resolvedText(const Weighing& weighing, const Outcomes& before, const Outcomes& after) {
  std::vector<std::size_t> resolved;
  std::int64_t occurrences = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (!weighing.resolves(i, after[i]) || after[i].result == before[i].result) continue;
    resolved.push_back(i);
    occurrences += weighing.words()[i].count;
  }
  std::stable_sort(resolved.begin(), resolved.end(), [&](std::size_t a, std::size_t b) {
    return weighing.words()[a].count > weighing.words()[b].count;
  });
  std::string text = "would resolve " + std::to_string(resolved.size()) + " distinct words (" +
                     std::to_string(occurrences) + " occurrences)";
  for (std::size_t k = 0; k < resolved.size() && k < kExamples; ++k)
    text.append(k == 0 ? ", for example " : "; ")
        .append(weighing.words()[resolved[k]].text)
        .append(" -> ")
        .append(after[resolved[k]].result);
  return text;
}

Choice rawPages(const Weighing& weighing) {
  Choice choice;
  choice.outcomes = weighing.decide(choice.set);
  choice.value = weighing.value(choice.outcomes, choice.set);
  return choice;
}

// Each candidate alone, then the best ones together, each kept only while
// it still gains on top of those kept before, and only where no word kept
// before declares one of its letters (a letter has one class).
void chooseConfusionWords(const Weighing& weighing, const std::vector<std::string>& candidates,
                          Choice& choice, std::vector<LeftOut>& leftOut) {
  struct Ranked {
    double gain;
    std::string candidate;
    std::string alone;  // what it resolves alone
  };
  std::vector<Ranked> ranked;
  for (const std::string& candidate : candidates) {
    const ArgumentSet alone({candidate});
    const Outcomes outcomes = weighing.redecide(choice.set, choice.outcomes, alone);
    const double gain = weighing.value(outcomes, alone) - choice.value;
    if (gain > 0) {
      ranked.push_back({gain, candidate, resolvedText(weighing, choice.outcomes, outcomes)});
    } else {
      leftOut.push_back(
          {candidate, (gain < 0 ? "costs more than it gains: it " : "gains nothing: it ") +
                          gainText(weighing, choice.outcomes, outcomes)});
    }
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const Ranked& a, const Ranked& b) { return a.gain > b.gain; });
  for (const auto& [standalone, candidate, alone] : ranked) {
    const std::string letters = declaredLetters(candidate);
    const std::vector<std::string>& chosen = choice.set.arguments;
    const auto taken = std::find_if(chosen.begin(), chosen.end(), [&](const std::string& word) {
      return declaredLetters(word).find_first_of(letters) != std::string::npos;
    });
    if (taken != chosen.end()) {
      const std::string shared(1, letters[letters.find_first_of(declaredLetters(*taken))]);
      leftOut.push_back({candidate, "a letter has one class, and " + shared +
                                        " has its class from " + *taken + " (" +
                                        describeArgument(*taken) + "), which gains more; alone " +
                                        candidate + " " + alone});
    } else if (const auto why = tryChoice(weighing, choice, choice.set.with(candidate))) {
      leftOut.push_back({candidate, "gains nothing beside the words already chosen: it " + *why});
    }
  }
}

// The option words that act on the words, each kept where it gains.
void chooseOptionWords(const Weighing& weighing, Choice& choice, std::vector<LeftOut>& leftOut) {
  std::vector<std::string> options;
  if (isLongSClass(choice.set.tables.confusionTable.classOf('f')))
    options.emplace_back(entryOf(OptionWord::Finals).spelling);
  options.emplace_back(entryOf(OptionWord::German).spelling);
  const std::string ij(entryOf(OptionWord::I).spelling);
  if (!choice.set.contains(ij)) options.push_back(ij);
  for (const std::string& option : options)
    if (const auto why = tryChoice(weighing, choice, choice.set.with(option)))
      leftOut.push_back({option, "gains nothing on this book: it " + *why});
}

// "Bnu", "Bov" and "BBV" also switch on the repair rules of their pair,
// which may gain where the book shows only one way of it.
void preferNamedPairs(const Weighing& weighing, Choice& choice, std::vector<LeftOut>& leftOut) {
  const std::string german(entryOf(OptionWord::German).spelling);
  for (const std::string& word : std::vector<std::string>(choice.set.arguments)) {
    const std::string named = namedBothWays(word);
    if (named.empty()) continue;
    std::vector<std::string> next = choice.set.arguments;
    std::replace(next.begin(), next.end(), word, named);
    if (std::find(next.begin(), next.end(), german) == next.end()) next.push_back(german);
    if (tryChoice(weighing, choice, ArgumentSet(std::move(next)))) continue;
    leftOut.push_back(
        {word, named + " declares the same letters and gains more with its repair rules"});
    std::erase_if(leftOut, [&](const LeftOut& left) { return left.word == german; });
  }
}

// What "=" does under `set`: the broken words, joined, that the run reads
// as dictionary words. `joined` gets all their occurrences.
Proposal weighJoining(const Book& book, const ArgumentSet& set, const Dictionary& dictionary,
                      std::int64_t& joined) {
  Proposal joining;
  joining.word = entryOf(OptionWord::Join).spelling;
  joining.declares = describeArgument(joining.word);
  joining.lineEnds = book.lineEndMarkers;
  for (const BookWord& word : book.brokenWords) {
    joined += word.count;
    std::string whole = word.text;
    std::erase(whole, '=');
    const WordOutcome outcome =
        decideWord(whole, set.tables.confusionTable, set.tables.optionSet, dictionary);
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

Proposal describeEffect(const Weighing& weighing, const std::string& word, const Outcomes& before,
                        const Outcomes& after) {
  Proposal proposal;
  proposal.word = word;
  proposal.declares = describeArgument(word);
  std::vector<std::size_t> resolved;
  for (std::size_t i = 0; i < before.size(); ++i) {
    const std::int64_t count = weighing.words()[i].count;
    if (weighing.resolves(i, after[i]) && after[i].result != before[i].result) {
      ++proposal.resolvedWords;
      proposal.resolvedOccurrences += count;
      resolved.push_back(i);
      if (!weighing.dictionary().contains(after[i].result)) {
        ++proposal.nonWords;
        proposal.nonWordOccurrences += count;
      }
    }
    if (weighing.putsAtRisk(i, after[i]) && !weighing.putsAtRisk(i, before[i])) {
      ++proposal.atRiskWords;
      proposal.atRiskOccurrences += count;
    }
    if (weighing.putsAtRisk(i, before[i]) && !weighing.putsAtRisk(i, after[i])) {
      ++proposal.keptWords;
      proposal.keptOccurrences += count;
    }
  }
  std::stable_sort(resolved.begin(), resolved.end(), [&](std::size_t a, std::size_t b) {
    return weighing.words()[a].count > weighing.words()[b].count;
  });
  for (std::size_t k = 0; k < resolved.size() && k < kExamples; ++k)
    proposal.examples.emplace_back(weighing.words()[resolved[k]].text, after[resolved[k]].result);
  return proposal;
}

// What each chosen word does, beside all the others.
std::vector<Proposal> describeChoice(const Weighing& weighing, const Choice& choice) {
  std::vector<Proposal> proposals;
  for (const std::string& word : choice.set.arguments) {
    const Outcomes before =
        weighing.redecide(choice.set, choice.outcomes, choice.set.without(word));
    proposals.push_back(describeEffect(weighing, word, before, choice.outcomes));
  }
  return proposals;
}

// The plain words that the run leaves unknown, which a dictionary might
// list, less the capitalised forms; most frequent first.
std::vector<BookWord> leftUnknown(const Weighing& weighing, const Outcomes& outcomes) {
  std::vector<BookWord> unknown;
  for (std::size_t i = 0; i < weighing.words().size(); ++i)
    if (outcomes[i].kind == WordOutcome::Kind::Unknown && !weighing.classified().capitalised[i] &&
        isPlainWord(weighing.words()[i].text))
      unknown.push_back(weighing.words()[i]);
  return mostFrequentFirst(std::move(unknown));
}

bool listed(const std::vector<BookWord>& sorted, const std::string& word) {
  const auto at =
      std::lower_bound(sorted.begin(), sorted.end(), word,
                       [](const BookWord& a, const std::string& b) { return a.text < b; });
  return at != sorted.end() && at->text == word;
}

// Leaves out of `words` those that, once listed, would become a reading of
// a book word that the suggested run reads as a dictionary word now: that
// word would turn ambiguous ("hier" in a book that misreads H as h, once
// "Hier" is listed). Listed words that only give unknown words a reading
// stay.
void dropHarmfulAdditions(const Weighing& run, const Choice& choice,
                          std::vector<std::string>& words) {
  if (words.empty()) return;
  std::string lines;
  for (const std::string& word : words) lines.append(word).append("\n");
  Dictionary added;
  added.assign(std::move(lines), identityFold(), ReadingSearch::PrefixWalk);
  const RunTables& tables = choice.set.tables;
  std::vector<std::string> harmful;
  for (std::size_t i = 0; i < run.words().size(); ++i) {
    if (choice.outcomes[i].kind == WordOutcome::Kind::Unknown) continue;
    const std::string& text = run.words()[i].text;
    for (std::string& reading :
         listDictionaryReadings(text, tables.confusionTable, tables.optionSet, added))
      if (reading != text) harmful.push_back(std::move(reading));
  }
  std::sort(harmful.begin(), harmful.end());
  std::erase_if(words, [&](const std::string& word) {
    return std::binary_search(harmful.begin(), harmful.end(), word);
  });
}

// What the unknown words likely are, and which of them, with the
// capitalised forms, are safe to add to the dictionary.
void adviseOnTheDictionary(const Book& book, const Weighing& run, const Evidence& evidence,
                           const Profile& profile, const KnownWords& known, const Choice& choice,
                           Advice& advice) {
  const LikelyReadings likely(run.classified(), run.dictionary(), evidence, choice.set.tables,
                              profile, known.lexicon());
  for (const BookWord& word : leftUnknown(run, choice.outcomes)) {
    const bool shown = advice.unknown.size() < kUnknownShown;
    if (!shown && word.count < kDictionaryWordCount) break;
    // The period's spelling of a dictionary word is right as it stands,
    // and no word for the dictionary of today.
    if (const KnownWord why = known.of(word.text); why.why == KnownWord::Why::Spelling) {
      if (shown) advice.unknown.push_back({word.text, word.count, "", why.detail});
      continue;
    }
    std::optional<std::string> reading = likely.of(word.text, word.count);
    // A capital read where the dictionary has the small letter: a sentence start.
    if (reading && isCapital(static_cast<unsigned char>(word.text[0])) &&
        !isCapital(static_cast<unsigned char>((*reading)[0])))
      (*reading)[0] = static_cast<char>(capitalOf(static_cast<unsigned char>((*reading)[0])));
    if (shown) advice.unknown.push_back({word.text, word.count, reading.value_or(""), ""});
    if (!reading && word.count >= kDictionaryWordCount && !listed(book.brokenPieces, word.text))
      advice.dictionaryWords.push_back(word.text);
  }
  for (const BookWord& word : advice.capitalised)
    if (isPlainWord(word.text) && !listed(book.brokenPieces, word.text) &&
        !likely.of(word.text, word.count))
      advice.dictionaryWords.push_back(word.text);
  std::sort(advice.dictionaryWords.begin(), advice.dictionaryWords.end());
  dropHarmfulAdditions(run, choice, advice.dictionaryWords);
}

// The words the run leaves for review: those marked with "*", with their
// readings, and those that the rules rewrite into non-words.
void collectReview(const Weighing& run, const Choice& choice, Advice& advice) {
  std::vector<std::size_t> marked;
  std::vector<std::size_t> rewritten;
  for (std::size_t i = 0; i < run.words().size(); ++i) {
    const WordOutcome& outcome = choice.outcomes[i];
    if (outcome.kind == WordOutcome::Kind::Ambiguous) marked.push_back(i);
    if (run.resolves(i, outcome) && !run.dictionary().contains(outcome.result))
      rewritten.push_back(i);
  }
  const auto byCount = [&](std::size_t a, std::size_t b) {
    return run.words()[a].count > run.words()[b].count;
  };
  std::stable_sort(marked.begin(), marked.end(), byCount);
  std::stable_sort(rewritten.begin(), rewritten.end(), byCount);
  const RunTables& tables = choice.set.tables;
  for (std::size_t k = 0; k < marked.size() && k < kReviewShown; ++k) {
    const BookWord& word = run.words()[marked[k]];
    advice.marked.push_back({word.text, word.count, choice.outcomes[marked[k]].result,
                             listDictionaryReadings(word.text, tables.confusionTable,
                                                    tables.optionSet, run.dictionary())});
  }
  for (std::size_t k = 0; k < rewritten.size() && k < kReviewShown; ++k) {
    const BookWord& word = run.words()[rewritten[k]];
    advice.rewrittenToNonWords.push_back(
        {word.text, word.count, choice.outcomes[rewritten[k]].result, {}});
  }
}

}  // namespace

Advice adviseArguments(const Book& book, const Dictionary& dictionary, const KnownWords& known,
                       const Progress& progress) {
  assert(dictionary.walksPrefixes());
  const auto say = [&progress](const std::string& text) {
    if (progress) progress(text);
  };
  Advice advice;
  // Line joining changes which words there are: where the pages break
  // words at line ends, the evidence and the candidates are weighed on the
  // joined words, and "=" is decided last.
  const bool broken = book.lineEndMarkers > 0;
  const ClassifiedWords words =
      classifyWords(broken ? book.joinedWords : book.words, dictionary, &known);
  say("gathering evidence from " + std::to_string(words.words.size()) + " distinct words");
  const Evidence evidence = gatherEvidence(words, dictionary);
  say("learning the book's misreadings");
  const std::vector<BookWord> byCount = mostFrequentFirst(words.words);
  const std::vector<OcrPrior>& priors = shippedPriors();
  const Profile profile =
      learnProfile(byCount, known, &priors[likeliestPrior(byCount, known, priors)].profile);
  const Weighing weighing(words, dictionary, evidence);
  const std::int64_t minimumWords = minimumWordsFor(evidence);
  const std::vector<std::string> candidates =
      candidateWords(evidence, minimumWords, known.spelling());
  advice.leftOut = unsureExchanges(evidence, minimumWords, known.spelling());

  say("weighing " + std::to_string(candidates.size()) + " candidates");
  Choice choice = rawPages(weighing);
  chooseConfusionWords(weighing, candidates, choice, advice.leftOut);
  say("weighing the option words");
  chooseOptionWords(weighing, choice, advice.leftOut);
  preferNamedPairs(weighing, choice, advice.leftOut);

  // "=" stays where the run reads most of the words it joins (as they are
  // or as readings); else the run goes over the words as the pages break them.
  std::int64_t joined = 0;
  const Proposal joining = broken ? weighJoining(book, choice.set, dictionary, joined) : Proposal();
  const bool join = broken && 2 * joining.resolvedOccurrences >= joined;
  std::optional<ClassifiedWords> unjoinedWords;
  std::optional<Weighing> unjoined;
  if (broken && !join) {
    advice.leftOut.push_back({joining.word, "of the words it would join, the run reads only " +
                                                std::to_string(joining.resolvedOccurrences) +
                                                " of " + std::to_string(joined) +
                                                " as dictionary words"});
    unjoinedWords.emplace(classifyWords(book.words, dictionary, &known));
    unjoined.emplace(*unjoinedWords, dictionary, evidence);
    choice.outcomes = unjoined->decide(choice.set);
  }
  const Weighing& run = unjoined ? *unjoined : weighing;

  say("describing the advice");
  advice.proposals = describeChoice(run, choice);
  advice.arguments = choice.set.arguments;
  if (join) {
    advice.arguments.push_back(joining.word);
    advice.proposals.push_back(joining);
  }
  advice.statistics = predictStatistics(run.words(), choice.outcomes);
  advice.capitalised = mostFrequentFirst(evidence.capitalised);
  adviseOnTheDictionary(book, run, evidence, profile, known, choice, advice);
  collectReview(run, choice, advice);
  return advice;
}

}  // namespace scanmend::advise
