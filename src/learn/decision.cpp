#include "learn/decision.h"

#include <algorithm>
#include <iterator>

#include "base/letters.h"
#include "book/word_core.h"
#include "correction/options.h"
#include "correction/substitution_rules.h"
#include "correction/word_correction.h"
#include "profile/readings.h"

namespace scanmend::learn {
namespace {

// What a word never seen in the book weighs, against a word seen once.
constexpr double kUnseen = 0.5;
// How much likelier another reading must be than a dictionary word as
// it stands: a real word is read right far more often than a misreading
// makes it ("fein" is mostly "fein"), so it is changed only where the
// book's own words make the reading overwhelming, and else left for review
// as a suspect where the reading is at least as likely.
constexpr double kFarLikelier = 10.0;
constexpr double kFarLikelierWeighed = 4.0;
constexpr double kSuspect = 1.0;
// The share of a book's true words that its dictionary lacks: a word that
// is not listed may be right as it stands, and a reading that only a rare
// misreading reaches ("wolle" as "walle") must be likelier than that.
constexpr double kOutOfDictionary = 0.01;
// A word that the dictionary lacks is the book's own (a name, a place, a
// compound the book builds) where the book uses it this often, on more
// than one page, and it reads as no word that the book shows.
constexpr std::int64_t kBookWordCount = 3;
// Shorter words are all some word's misreading ("fr" for "Er").
constexpr std::size_t kBookWordLength = 3;
// Readings this likely together, against the word's letters standing as
// they are, make a word used often a misreading rather than the book's
// own; a name stands beside its dictionary neighbours only by rare
// misreadings ("Hans" and "Haus", by "n" for "u").
constexpr double kBookWordDoubt = 0.01;
// A form's readings, at most, the likeliest.
constexpr std::size_t kMostReadings = 32;
// A reading in the book's spelling takes only rules that the book follows
// at least this surely: those it hardly follows add little but time.
constexpr double kLeastSpelledReading = 0.2;
// Only a word that no misreading this likely, against its letters as they
// stand, makes a dictionary word is read in the book's spelling too.
constexpr double kSpellBelow = 0.1;
// The rounds that weigh each form's readings by how often the book shows
// them: the shares settle after a few.
constexpr int kRounds = 3;

// The same word but for the case of its first letter.
bool isCaseTwin(std::string_view a, std::string_view b) {
  return a.size() == b.size() && !a.empty() && a != b && a.substr(1) == b.substr(1) &&
         smallLetterOf(static_cast<unsigned char>(a[0])) ==
             smallLetterOf(static_cast<unsigned char>(b[0]));
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

Decider::Decider(const KnownWords& known, const Profile& profile,
                 const std::vector<BookWord>& words, bool occurrencesWeighed)
    : known_(known),
      lexicon_(known.lexicon()),
      realWordOdds_(occurrencesWeighed ? kFarLikelierWeighed : kFarLikelier),
      profile_(profile) {
  for (const BookWord& word : words) {
    const auto [begin, end] = coreOf(word.text);
    if (end - begin < 2) continue;
    Seen& seen = seen_[std::string_view(word.text).substr(begin, end - begin)];
    seen.count += word.count;
    // Only whether the form stands on more than one page counts.
    for (const std::int64_t page : word.pages) {
      if (seen.page >= 0 && seen.page != page) seen.severalPages = true;
      seen.page = page;
    }
  }
  // Why each form stands for itself. The forms that stand beyond the
  // dictionary (the book's spellings of listed words, its compounds) and
  // those that may be the book's own words are readings of the other forms
  // as the dictionary's words are: "feyn" is the "seyn" that the book
  // prints, "bottfried" its "Gottfried".
  std::string beyond;
  for (auto& [core, seen] : seen_) {
    const KnownWord why = known_.of(core);
    seen.stands = why.beyondTheDictionary() ? Stands::Beyond
                  : why.known()             ? Stands::Listed
                                            : Stands::No;
    if (why.why == KnownWord::Why::Spelling) {
      kept_[core] = "spelling of " + why.detail;
      if (why.weight < 1) spellingWeight_[core] = why.weight;
    }
    if (why.why == KnownWord::Why::Compound) kept_[core] = "compound " + why.detail;
    if (seen.stands == Stands::Beyond || mayBeBookWord(core, seen))
      beyond.append(core).append("\n");
  }
  bookForms_.assign(std::move(beyond));
  // Each form's readings in one list, itself among them where it stands
  // for itself. The book's own words are found once every form is known,
  // as they must read as no word that the book shows: a form that may be
  // one has a place for itself kept after its readings.
  for (auto& [core, seen] : seen_) {
    const std::vector<Candidate> candidates = readingsOfForm(core);
    seen.first = static_cast<std::uint32_t>(weighed_.size());
    seen.readings = static_cast<std::uint32_t>(candidates.size());
    bool itself = false;
    for (const Candidate& candidate : candidates) {
      weighed_.push_back({idOf(candidate.text), candidate.channel, 0});
      itself = itself || candidate.text == core;
    }
    if (!itself && (seen.stands == Stands::Beyond || mayBeBookWord(core, seen))) {
      weighed_.push_back({idOf(core), stayChannel(core, profile_) * spellingWeight(core), 0});
      if (seen.stands == Stands::Beyond) ++seen.readings;
    }
  }
  for (std::size_t id = 0; id < readingText_.size(); ++id) {
    const auto shown = seen_.find(readingText_[id]);
    printed_.push_back(shown != seen_.end() && shown->second.count > 0);
  }
  // A word read with its first letter in the other case is that word only
  // where the book prints it so: prints before the 18th century set many
  // nouns small ("fenster"), and a book that never prints "Fenster"
  // writes its own case.
  for (auto& [core, seen] : seen_)
    for (std::size_t r = seen.first; r < seen.first + seen.readings; ++r)
      if (!printed_[weighed_[r].reading] && isCaseTwin(readingText_[weighed_[r].reading], core))
        weighed_[r].channel = 0;
  std::vector<std::string_view> bookWords;
  for (const auto& [core, seen] : seen_)
    if (seen.stands == Stands::No && isBookWord(core, seen)) bookWords.push_back(core);
  for (const std::string_view core : bookWords) {
    Seen& seen = seen_.at(core);
    seen.stands = Stands::Beyond;
    kept_[core] = "the book's own word";
    ++seen.readings;  // its place after its readings
  }
  frequency_.assign(readingText_.size(), 0.0);
  // Each form's occurrences go to its readings, first by their channels,
  // then, round by round, by their channels times how often the book
  // shows each reading, every occurrence leaving out itself.
  for (auto& [core, seen] : seen_) {
    double total = 0;
    for (std::size_t r = seen.first; r < seen.first + seen.readings; ++r)
      total += weighed_[r].channel;
    for (std::size_t r = seen.first; r < seen.first + seen.readings; ++r)
      weighed_[r].share = total > 0 ? weighed_[r].channel / total : 0.0;
  }
  tallyShares();
  std::vector<double> shares(weighed_.size());
  for (int round = 0; round < kRounds; ++round) {
    for (auto& [core, seen] : seen_) {
      double total = 0;
      for (std::size_t r = seen.first; r < seen.first + seen.readings; ++r) {
        const Weighed& w = weighed_[r];
        shares[r] = w.channel * prior(w.reading, static_cast<double>(seen.count), w.share,
                                      vouches(seen, readingText_[w.reading] == core));
        total += shares[r];
      }
      for (std::size_t r = seen.first; r < seen.first + seen.readings; ++r)
        shares[r] = total > 0 ? shares[r] / total : 0.0;
    }
    for (std::size_t r = 0; r < weighed_.size(); ++r) weighed_[r].share = shares[r];
    tallyShares();
  }
}

void Decider::tallyShares() {
  std::fill(frequency_.begin(), frequency_.end(), 0.0);
  for (const auto& [core, seen] : seen_)
    for (std::size_t r = seen.first; r < seen.first + seen.readings; ++r)
      frequency_[weighed_[r].reading] += static_cast<double>(seen.count) * weighed_[r].share;
}

std::vector<Candidate> Decider::readingsOfForm(std::string_view core) const {
  // Readings as the dictionary has them and as the book spells them; the
  // form itself only where the dictionary lists it (a spelling of its own
  // stands for itself by its rules' weight, below).
  // A word that the dictionary lists needs no spelling of its own, nor
  // one that a likely misreading makes a dictionary word.
  std::vector<Candidate> readings = readingsOnlyOf(core, profile_, lexicon_);
  if (!containsOrCapitalised(lexicon_, core) &&
      (readings.empty() || readings.front().channel < kSpellBelow * stayChannel(core, profile_))) {
    const SpellingReadings spelling{known_.spelling(), known_.ruleWeights(), kLeastSpelledReading};
    readings = readingsOnlyOf(core, profile_, lexicon_, kMostReadings, &spelling);
    std::erase_if(readings, [&](const Candidate& c) { return c.text == core; });
  }
  if (bookForms_.size() == 0) return readings;
  bool added = false;
  for (Candidate& form : readingsOnlyOf(core, profile_, bookForms_)) {
    if (form.text == core) continue;  // itself, where it stands for itself
    const auto same = std::find_if(readings.begin(), readings.end(),
                                   [&](const Candidate& c) { return c.text == form.text; });
    if (same != readings.end()) {
      same->channel = std::max(same->channel, form.channel);
    } else {
      readings.push_back(std::move(form));
    }
    added = true;
  }
  if (added) {
    std::sort(readings.begin(), readings.end(), [](const Candidate& a, const Candidate& b) {
      if (a.channel != b.channel) return a.channel > b.channel;
      return a.text < b.text;
    });
    if (readings.size() > kMostReadings) readings.resize(kMostReadings);
  }
  return readings;
}

bool Decider::mayBeBookWord(std::string_view core, const Seen& seen) {
  return seen.stands == Stands::No && seen.count >= kBookWordCount && seen.severalPages &&
         core.size() >= kBookWordLength && isPlainWord(core) && !holdsForeignAccent(core);
}

bool Decider::isBookWord(std::string_view core, const Seen& seen) const {
  if (!mayBeBookWord(core, seen)) return false;
  // A word that reads as a word the book shows is a misreading used often;
  // so is one that a misreading of some likelihood makes of a dictionary
  // word, though the book never prints that word right: a scanner that
  // reads every "V" as "D" prints "Dater" on every page and "Vater" on
  // none.
  double channels = 0;
  for (std::size_t r = seen.first; r < seen.first + seen.readings; ++r) {
    const std::string_view reading = readingText_[weighed_[r].reading];
    // Itself, or itself with its first letter in the other case ("hand"
    // for "Hand"): a noun misread, or a word's end after a line break.
    if (reading.size() == core.size() && reading.substr(1) == core.substr(1) &&
        smallLetterOf(static_cast<unsigned char>(reading[0])) ==
            smallLetterOf(static_cast<unsigned char>(core[0])))
      return false;
    const auto shown = seen_.find(reading);
    if (shown != seen_.end() && shown->second.stands == Stands::Listed) return false;
    channels += weighed_[r].channel;
  }
  return channels < kBookWordDoubt * stayChannel(core, profile_);
}

double Decider::spellingWeight(std::string_view core) const {
  const auto found = spellingWeight_.find(core);
  return found == spellingWeight_.end() ? 1.0 : found->second;
}

std::uint32_t Decider::idOf(std::string_view text) {
  auto found = readingId_.find(text);
  if (found == readingId_.end()) {
    found = readingId_.emplace(std::string(text), static_cast<std::uint32_t>(readingText_.size()))
                .first;
    readingText_.push_back(found->first);
  }
  return found->second;
}

double Decider::prior(std::uint32_t reading, double count, double share, bool vouched) const {
  const double others = std::max(0.0, frequency_[reading] - count * share);
  // The other occurrences of the form being decided, where they vouch for
  // the reading.
  const double own = std::max(0.0, count - 1) * share;
  return others + (vouched || printed_[reading] ? own : 0.0) + kUnseen;
}

bool Decider::vouches(const Seen& seen, bool itself) {
  // A form that stands for itself vouches for itself alone: "Grafen" is
  // no "Grasen" by its own occurrences. A form that stands for nothing
  // vouches for each of its readings by its share: "fie", printed for
  // "sie" on every page, is "sie" though the book never prints "sie".
  return itself || seen.stands == Stands::No;
}

double Decider::priorOf(std::string_view text) const {
  const auto found = readingId_.find(text);
  return found == readingId_.end() ? kUnseen : prior(found->second, 1, 0, false);
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
  // A form the book does not show (a caller's own word) is read as one
  // seen once, that stands for itself where it is known.
  Seen unseen;
  const auto found = seen_.find(core);
  const Seen& seen = found != seen_.end() ? found->second : unseen;
  std::vector<Candidate> candidates;
  std::vector<double> shares;
  if (found != seen_.end()) {
    for (std::size_t r = seen.first; r < seen.first + seen.readings; ++r) {
      candidates.push_back(
          {std::string(readingText_[weighed_[r].reading]), weighed_[r].channel, {}});
      shares.push_back(weighed_[r].share);
    }
  } else {
    const KnownWord why = known_.of(core);
    unseen.stands = why.beyondTheDictionary() ? Stands::Beyond
                    : why.known()             ? Stands::Listed
                                              : Stands::No;
    candidates = readingsOfForm(core);
    std::erase_if(candidates, [&](const Candidate& c) {
      return isCaseTwin(c.text, core) && priorOf(c.text) <= kUnseen;
    });
    if (unseen.stands == Stands::Beyond &&
        std::none_of(candidates.begin(), candidates.end(),
                     [&](const Candidate& c) { return c.text == core; }))
      candidates.push_back({std::string(core), stayChannel(core, profile_) * why.weight, {}});
    shares.assign(candidates.size(), 0.0);
  }
  decision.readings = candidates.size();
  if (candidates.empty()) {
    // The fixed repairs, only where they give a dictionary word; an I/J
    // only where it makes a J of an I before a vowel: a J before a
    // consonant ("Jch", "Jn") is the print's own.
    std::string repaired = applyIJRule(std::string(core));
    if (repaired == core || repaired[0] != 'J' || !containsOrCapitalised(lexicon_, repaired))
      repaired = applySubstitutionRules(core, allRepairs());
    const bool gains = repaired != core && containsOrCapitalised(lexicon_, repaired);
    decision.result = decision.marked = gains ? repaired : std::string(core);
    decision.kind = gains ? WordOutcome::Kind::ChangedIncorrect : WordOutcome::Kind::Unknown;
    return decision;
  }
  std::vector<double> scores;
  double total = 0;
  std::size_t best = 0;
  std::size_t identity = candidates.size();
  for (std::size_t c = 0; c < candidates.size(); ++c) {
    const bool itself = candidates[c].text == core;
    const double likelihood = found != seen_.end() ? prior(weighed_[seen.first + c].reading,
                                                           static_cast<double>(seen.count),
                                                           shares[c], vouches(seen, itself))
                                                   : priorOf(candidates[c].text);
    scores.push_back(candidates[c].channel * likelihood);
    total += scores.back();
    if (scores[c] > scores[best]) best = c;
    if (itself) identity = c;
  }
  if (identity == candidates.size()) {
    // The word as it stands, one the dictionary lacks, as often as the
    // book prints it: its occurrences vouch for it as for its readings.
    const double unlisted = stayChannel(core, profile_) * kOutOfDictionary *
                            (std::max<double>(0, static_cast<double>(seen.count) - 1) + kUnseen);
    total += unlisted;
    decision.asRead = unlisted / total;
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
  if (identity < candidates.size()) {
    const double needed = seen.stands == Stands::Listed ? realWordOdds_ : 1.0;
    if (scores[best] <= needed * scores[identity]) chosen = identity;
    decision.asRead = scores[identity] / total;
    decision.asReadOutweighedBy = needed;
    decision.suspect = seen.stands == Stands::Listed && chosen == identity && best != identity &&
                       scores[best] >= kSuspect * scores[identity];
  }
  std::size_t second = candidates.size();
  for (std::size_t c = 0; c < candidates.size(); ++c)
    if (c != chosen && (second == candidates.size() || scores[c] > scores[second])) second = c;

  decision.result = candidates[chosen].text;
  decision.probability = scores[chosen] / total;
  if (second < candidates.size()) {
    decision.runnerUp = candidates[second].text;
    decision.runnerUpProbability = scores[second] / total;
  }
  if (chosen == identity)
    if (const auto reason = kept_.find(core); reason != kept_.end()) decision.kept = reason->second;
  const bool uncertain = candidates.size() >= 2 && decision.probability < kCertain;
  decision.marked = uncertain ? markedAmong(decision.result, candidates) : decision.result;
  decision.kind = uncertain                 ? WordOutcome::Kind::Ambiguous
                  : decision.result == core ? WordOutcome::Kind::CorrectUnchanged
                                            : WordOutcome::Kind::ChangedIncorrect;
  return decision;
}

}  // namespace scanmend::learn
