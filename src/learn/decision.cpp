#include "learn/decision.h"

#include <algorithm>

#include "base/letters.h"
#include "correction/options.h"
#include "correction/substitution_rules.h"
#include "correction/word_correction.h"
#include "profile/readings.h"

namespace scanmend::learn {
namespace {

// What a word never seen in the book weighs, against a word seen once.
constexpr double kUnseen = 0.5;
// How much likelier another reading must be than the word as it stands.
constexpr double kFarLikelier = 4.0;
// The share of a book's true words that its dictionary lacks: a word that
// is not listed may be right as it stands, and a reading that only a rare
// misreading reaches ("wolle" as "walle") must be likelier than that.
constexpr double kOutOfDictionary = 0.01;

// The letters of a word without the quotation marks, dashes and digits
// that OCR leaves at its ends ("\x84Ich"): [begin, end).
std::pair<std::size_t, std::size_t> coreOf(std::string_view word) {
  std::size_t begin = 0;
  std::size_t end = word.size();
  while (begin < end && !isLetter(static_cast<unsigned char>(word[begin]))) ++begin;
  while (end > begin && !isLetter(static_cast<unsigned char>(word[end - 1]))) --end;
  return {begin, end};
}

OptionSet allRepairs() {
  OptionSet options;
  for (const OptionWord word :
       {OptionWord::German, OptionWord::Bnu, OptionWord::Bov, OptionWord::BBV})
    options.insert(word);
  return options;
}

// The word with "*" where readings of its length differ from it.
std::string markedAmong(const std::string& result, const std::vector<Candidate>& candidates) {
  std::string marked = result;
  for (const Candidate& candidate : candidates) {
    if (candidate.text.size() != result.size()) continue;
    for (std::size_t i = 0; i < result.size(); ++i)
      if (candidate.text[i] != result[i]) marked[i] = '*';
  }
  return marked;
}

}  // namespace

Decider::Decider(const SortedWords& lexicon, const Profile& profile,
                 const std::vector<BookWord>& words)
    : lexicon_(lexicon), profile_(profile) {
  // The words' frequencies: a word that reads in one way counts whole for
  // that reading; one with several readings counts for each by the share
  // its misreadings give it.
  for (const BookWord& word : words) {
    const auto [begin, end] = coreOf(word.text);
    if (end - begin < 2) continue;
    const std::string_view core = std::string_view(word.text).substr(begin, end - begin);
    const auto [place, first] = seen_.try_emplace(core);
    Seen& seen = place->second;
    seen.count += word.count;
    std::vector<Candidate> candidates;
    if (first) {
      candidates = readingsOf(core, profile_, lexicon_);
      seen.first = weighed_.size();
      seen.readings = candidates.size();
      for (const Candidate& candidate : candidates) {
        weighed_.push_back({texts_.size(), candidate.text.size(), candidate.channel});
        texts_.append(candidate.text);
      }
    } else {
      candidates = readingsSeen(seen);
    }
    double total = 0;
    for (const Candidate& candidate : candidates) total += candidate.channel;
    for (const Candidate& candidate : candidates)
      frequency_[candidate.text] += static_cast<double>(word.count) * candidate.channel / total;
  }
}

std::vector<Candidate> Decider::readingsSeen(const Seen& seen) const {
  std::vector<Candidate> candidates;
  for (std::size_t r = seen.first; r < seen.first + seen.readings; ++r)
    candidates.push_back(
        {texts_.substr(weighed_[r].at, weighed_[r].length), weighed_[r].channel, {}});
  return candidates;
}

double Decider::prior(std::string_view word, double ownShare) const {
  const auto found = frequency_.find(word);
  return std::max(0.0, (found == frequency_.end() ? 0.0 : found->second) - ownShare) + kUnseen;
}

Decision Decider::decide(std::string_view word) const {
  const auto [begin, end] = coreOf(word);
  if (end - begin < 2) {
    Decision decision;
    decision.result = decision.marked = std::string(word);
    decision.kind =
        lexicon_.contains(word) ? WordOutcome::Kind::CorrectUnchanged : WordOutcome::Kind::Unknown;
    return decision;
  }
  Decision decision = decideCore(word.substr(begin, end - begin));
  const std::string before(word.substr(0, begin));
  const std::string after(word.substr(end));
  decision.result = before + decision.result + after;
  decision.marked = before + decision.marked + after;
  if (!decision.runnerUp.empty()) decision.runnerUp = before + decision.runnerUp + after;
  if (decision.kind == WordOutcome::Kind::CorrectUnchanged && decision.result != word)
    decision.kind = WordOutcome::Kind::ChangedIncorrect;
  return decision;
}

Decision Decider::decideCore(std::string_view core) const {
  Decision decision;
  const auto seen = seen_.find(core);
  const std::vector<Candidate> candidates =
      seen != seen_.end() ? readingsSeen(seen->second) : readingsOf(core, profile_, lexicon_);
  decision.readings = candidates.size();
  if (candidates.empty()) {
    // The fixed repairs, only where they give a dictionary word.
    std::string repaired = applyIJRule(std::string(core));
    if (repaired == core || !containsOrCapitalised(lexicon_, repaired))
      repaired = applySubstitutionRules(core, allRepairs());
    const bool gains = repaired != core && containsOrCapitalised(lexicon_, repaired);
    decision.result = decision.marked = gains ? repaired : std::string(core);
    decision.kind = gains ? WordOutcome::Kind::ChangedIncorrect : WordOutcome::Kind::Unknown;
    return decision;
  }
  const double own = seen == seen_.end() ? 0.0 : static_cast<double>(seen->second.count);
  double channels = 0;
  for (const Candidate& candidate : candidates) channels += candidate.channel;
  std::vector<double> scores;
  double total = 0;
  std::size_t best = 0;
  std::size_t identity = candidates.size();
  for (std::size_t c = 0; c < candidates.size(); ++c) {
    scores.push_back(candidates[c].channel *
                     prior(candidates[c].text, own * candidates[c].channel / channels));
    total += scores.back();
    if (scores[c] > scores[best]) best = c;
    if (candidates[c].text == core) identity = c;
  }
  if (identity == candidates.size()) {
    const double unlisted = stayChannel(core, profile_) * kOutOfDictionary * kUnseen;
    total += unlisted;
    if (unlisted >= scores[best]) {
      decision.result = decision.marked = std::string(core);
      decision.probability = unlisted / total;
      decision.runnerUp = candidates[best].text;
      decision.runnerUpProbability = scores[best] / total;
      decision.kind = WordOutcome::Kind::Unknown;
      return decision;
    }
  }
  std::size_t chosen = best;
  if (identity < candidates.size() && scores[best] < kFarLikelier * scores[identity])
    chosen = identity;
  std::size_t second = candidates.size();
  for (std::size_t c = 0; c < candidates.size(); ++c)
    if (c != chosen && (second == candidates.size() || scores[c] > scores[second])) second = c;

  decision.result = candidates[chosen].text;
  decision.probability = scores[chosen] / total;
  if (second < candidates.size()) {
    decision.runnerUp = candidates[second].text;
    decision.runnerUpProbability = scores[second] / total;
  }
  const bool uncertain = candidates.size() >= 2 && decision.probability < kCertain;
  decision.marked = uncertain ? markedAmong(decision.result, candidates) : decision.result;
  decision.kind = uncertain                 ? WordOutcome::Kind::Ambiguous
                  : decision.result == core ? WordOutcome::Kind::CorrectUnchanged
                                            : WordOutcome::Kind::ChangedIncorrect;
  return decision;
}

}  // namespace scanmend::learn
