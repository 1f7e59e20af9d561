#include "profile/learning.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

#include "base/letters.h"
#include "book/word_core.h"
#include "profile/alignment.h"
#include "profile/evidence.h"
#include "profile/readings.h"

namespace scanmend {
namespace {

// The samples bound the work on large books: the most frequent unknown
// words carry most of the misreadings' occurrences.
constexpr std::size_t kUnknownSample = 2000;
constexpr std::size_t kKnownSample = 2000;
constexpr std::size_t kDictionarySample = 5000;
constexpr std::size_t kLearningWords = 6000;
constexpr std::size_t kMinLength = 3;
constexpr int kRounds = 4;
constexpr std::size_t kExamples = 3;

// A reading that keeps less than this share, or resolves fewer words,
// after the rounds is noise.
constexpr double kLeastProbability = 0.003;
constexpr std::int64_t kLeastWords = 2;
// What stays as scanned counts one word more than the rounds saw: a book
// that shows every "sz" as "\xDF" may still hold an "Auszug", which must
// keep a reading of its own.
constexpr double kStayingWord = 1.0;
// The share of the scanned letters that the first guess gives their
// readings.
constexpr double kFirstShare = 0.3;
// How many occurrences of a scanned letter the prior counts for.
constexpr double kPriorOccurrences = 100;
// A word that the dictionary lacks is right as it stands as surely as a
// misreading of this probability would make it a dictionary word: the
// rounds learn nothing from the book's names, its foreign words and the
// spellings that the table lacks, whose only readings are rare
// exchanges, "Seckel" read as "Deckel".
constexpr double kRightUnknown = 0.01;
// ... unless the misreading that its likeliest reading needs is shown by
// many distinct words of the book: a letter that the OCR misreads rarely
// but all over the book ("r" read for "t" in one word in thirty) has a
// small probability, and without this every round would give its words
// more to their own letters and less to it, until it was lost.
constexpr double kSurelyShownWords = 10;
constexpr double kLeastDoubt = 0.1;
// The first guess for an exchange that only reviewed words show.
constexpr double kReviewedGuess = 0.01;
constexpr double kOwnSpellingWeight = 0.5;

using UnitKey = std::pair<std::string, bool>;  // scanned, at the end

// A spelling of the period that the book surely uses: a word that only
// rules it rarely follows explain may as well be a misreading.
bool isOwnSpelling(const KnownWord& why) {
  return why.why == KnownWord::Why::Spelling && why.weight >= kOwnSpellingWeight;
}

bool isLearnable(const BookWord& word) {
  return word.text.size() >= kMinLength && isOcrWord(word.text);
}

// `own` are words of the dictionary's own: the book's known words and an
// even spread of the dictionary, so that a rare letter group still has
// enough of them to give its rate.
// The first profile, and the prior without the readings that the book
// contradicts (`usual`), which the rounds then start from too.
Profile initialProfile(const std::vector<std::string_view>& unknown,
                       const std::vector<std::string_view>& own, const SortedWords& lexicon,
                       const KnownWords& known, const Profile* given, Profile& usual) {
  const Misreadings found =
      findMisreadings(unknown, own, lexicon, known.spelling(),
                      known.ruleWeights().empty() ? nullptr : &known.ruleWeights(), given);
  const Profile* prior = nullptr;
  if (given != nullptr) {
    std::vector<ProfileEntry> kept;
    for (const ProfileEntry& entry : given->entries()) {
      ProfileEntry& copy = kept.emplace_back(ProfileEntry{entry.scanned, entry.atEnd, {}});
      for (const Reading& reading : entry.readings)
        if (!found.contradicted.contains({entry.scanned, entry.atEnd, reading.text}))
          copy.readings.push_back(reading);
    }
    usual.assign(std::move(kept));
    prior = &usual;
  }
  const std::map<ExchangeKey, std::int64_t>& evidence = found.exchanges;

  // A first guess that the rounds correct: the readings share a part of
  // the scanned letters by the words that they resolve. A reading that is
  // the likeliest for almost no word is gone before the rounds search
  // with it.
  std::map<UnitKey, double> unitWords;
  for (const auto& [key, words] : evidence)
    unitWords[{std::get<0>(key), std::get<1>(key)}] += static_cast<double>(words);
  auto guess = [&](const ExchangeKey& key) {
    return kFirstShare * static_cast<double>(evidence.at(key)) /
           unitWords[{std::get<0>(key), std::get<1>(key)}];
  };
  std::set<ExchangeKey> chosen;
  for (const auto& [key, words] : evidence) chosen.insert(key);
  std::map<ExchangeKey, std::int64_t> likeliest;
  for (const auto& keys : found.resolving) {
    const ExchangeKey* best = nullptr;
    double bestGuess = 0;
    for (const ExchangeKey* key : keys) {
      const double g = guess(*key);
      if (best == nullptr || g > bestGuess) {
        best = key;
        bestGuess = g;
      }
    }
    if (best != nullptr) ++likeliest[*best];
  }
  std::erase_if(chosen, [&](const ExchangeKey& key) { return likeliest[key] < kLeastWords; });

  std::map<UnitKey, ProfileEntry> entries;
  for (const ExchangeKey& key : chosen) {
    const auto& [scanned, atEnd, reading] = key;
    ProfileEntry& entry = entries[{scanned, atEnd}];
    entry.scanned = scanned;
    entry.atEnd = atEnd;
    entry.readings.push_back({reading, 0.0, evidence.at(key), {}});
  }
  std::vector<ProfileEntry> guessed;
  for (auto& [key, entry] : entries) {
    for (Reading& reading : entry.readings)
      reading.probability = guess({entry.scanned, entry.atEnd, reading.text});
    guessed.push_back(std::move(entry));
  }
  // The prior's readings, where the book's evidence has none of its own.
  if (prior != nullptr) {
    for (const ProfileEntry& usual : prior->entries()) {
      const auto same = std::find_if(guessed.begin(), guessed.end(), [&](const ProfileEntry& e) {
        return e.scanned == usual.scanned && e.atEnd == usual.atEnd;
      });
      ProfileEntry& entry =
          same != guessed.end()
              ? *same
              : guessed.emplace_back(ProfileEntry{usual.scanned, usual.atEnd, {}});
      for (const Reading& reading : usual.readings)
        if (std::none_of(entry.readings.begin(), entry.readings.end(),
                         [&](const Reading& r) { return r.text == reading.text; }))
          entry.readings.push_back({reading.text, reading.probability, 0, {}});
    }
    // A guess above what the letter can bear is scaled down.
    for (ProfileEntry& entry : guessed) {
      double sum = 0;
      for (const Reading& reading : entry.readings) sum += reading.probability;
      if (sum > 0.95)
        for (Reading& reading : entry.readings) reading.probability *= 0.95 / sum;
    }
  }
  Profile profile;
  profile.assign(std::move(guessed));
  return profile;
}

// The exchanges that the reviewed words show, added where the profile
// lacks them, so that the rounds weigh them.
Profile withReviewed(Profile profile, const std::vector<ReviewedReading>& reviewed) {
  std::vector<ProfileEntry> entries = profile.entries();
  for (const ReviewedReading& word : reviewed)
    for (const AlignedStep& step : alignWords(word.read, word.meant)) {
      const std::string scanned = word.read.substr(step.at, step.length);
      if (scanned == step.meant || step.meant.size() > 2) continue;
      const bool atEnd = step.at + step.length == word.read.size();
      auto entry = std::find_if(entries.begin(), entries.end(), [&](const ProfileEntry& e) {
        return e.scanned == scanned && e.atEnd == atEnd;
      });
      if (entry == entries.end()) entry = entries.insert(entries.end(), {scanned, atEnd, {}});
      if (std::none_of(entry->readings.begin(), entry->readings.end(),
                       [&](const Reading& r) { return r.text == step.meant; }))
        entry->readings.push_back({step.meant, kReviewedGuess, 1, {}});
    }
  profile.assign(std::move(entries));
  return profile;
}

struct Tally {
  double weight = 0;
  std::int64_t words = 0;  // distinct words whose likeliest reading takes it
  std::vector<std::pair<std::int64_t, std::string>> examples;
};

// Whether a word that the dictionary lacks may be right as it stands,
// and how surely: the period's spelling by its rules' weights, a compound
// fully, any other word as one that a rare misreading would explain as
// well. A listed word is among its own readings.
struct AsPrinted {
  bool listed = false;
  double weight = 0;  // of a word that the dictionary lacks but the book may print
  bool unknown = false;
};

// How far an unknown word is right as it stands, from 1 down to
// kLeastDoubt: the fewer distinct words show the least shown misreading
// that its likeliest reading takes, the more.
double doubtOf(std::string_view word, const Candidate& likeliest, const Profile& profile) {
  double doubt = 1.0;
  for (const ReadingStep& step : likeliest.steps) {
    const std::string_view scanned = word.substr(step.at, step.length);
    if (step.reading == scanned) continue;
    const ProfileEntry* entry = profile.find(scanned, step.at + step.length == word.size());
    if (entry == nullptr) continue;
    for (const Reading& reading : entry->readings)
      if (reading.text == step.reading)
        doubt = std::min(doubt,
                         std::clamp(kSurelyShownWords /
                                        std::max<double>(1.0, static_cast<double>(reading.words)),
                                    kLeastDoubt, 1.0));
  }
  return doubt;
}

class Rounds {
 public:
  Rounds(const KnownWords& known, const Profile* prior,
         const std::vector<ReviewedReading>& reviewed)
      : known_(known), prior_(prior), reviewed_(reviewed) {}

  // One round: every word's readings weighed by their channels, and the
  // word as it stands where it may be right. A word whose one reading is
  // itself reads the same in every later round, the profile only losing
  // readings: it moves from `open` to `settled`, where its own letters
  // are counted without a search.
  Profile reestimate(const Profile& profile, std::vector<const BookWord*>& open,
                     std::vector<const BookWord*>& settled);

 private:
  const AsPrinted& asPrinted(const BookWord* word) {
    const auto [place, added] = asPrinted_.try_emplace(word);
    if (added) {
      const KnownWord why = known_.of(word->text);
      place->second.listed =
          why.why == KnownWord::Why::Listed || why.why == KnownWord::Why::Capitalised;
      place->second.unknown = !why.known();
      place->second.weight = why.beyondTheDictionary() ? why.weight : 0.0;
    }
    return place->second;
  }

  const KnownWords& known_;
  const Profile* prior_;
  const std::vector<ReviewedReading>& reviewed_;
  std::unordered_map<const BookWord*, AsPrinted> asPrinted_;
};

Profile Rounds::reestimate(const Profile& profile, std::vector<const BookWord*>& open,
                           std::vector<const BookWord*>& settled) {
  const SortedWords& lexicon = known_.lexicon();
  const Profile* prior = prior_;
  std::map<ExchangeKey, Tally> tallies;
  auto stays = [&](std::string_view scanned, bool atEnd, double weight) {
    if (profile.find(scanned, atEnd) != nullptr)
      tallies[{std::string(scanned), atEnd, std::string(scanned)}].weight += weight;
  };
  auto staysAll = [&](std::string_view text, double weight) {
    stays(text.substr(text.size()), true, weight);  // nothing left off at the end
    for (std::size_t at = 0; at < text.size(); ++at) {
      if (at + 1 < text.size()) stays(text.substr(at, 2), at + 2 == text.size(), weight);
      stays(text.substr(at, 1), at + 1 == text.size(), weight);
    }
  };
  for (const BookWord* word : settled) staysAll(word->text, static_cast<double>(word->count));
  std::vector<const BookWord*> stillOpen;
  for (const BookWord* word : open) {
    const std::vector<Candidate> candidates = readingsOf(word->text, profile, lexicon);
    if (candidates.empty()) continue;  // and never will have one
    if (candidates.size() == 1 && candidates[0].text == word->text) {
      settled.push_back(word);
    } else {
      stillOpen.push_back(word);
    }
    double total = 0;
    for (const Candidate& candidate : candidates) total += candidate.channel;
    const AsPrinted& printed = asPrinted(word);
    if (!printed.listed) {
      const double doubt = printed.unknown ? doubtOf(word->text, candidates.front(), profile) : 0.0;
      const double itself = stayChannel(word->text, profile) *
                            (printed.unknown ? kRightUnknown * doubt : printed.weight);
      total += itself;
      const double share = static_cast<double>(word->count) * itself / total;
      staysAll(word->text, share);
    }
    for (std::size_t c = 0; c < candidates.size(); ++c) {
      const Candidate& candidate = candidates[c];
      const double weight = static_cast<double>(word->count) * candidate.channel / total;
      for (const ReadingStep& step : candidate.steps) {
        const bool atEnd = step.at + step.length == word->text.size();
        const std::string_view scanned = std::string_view(word->text).substr(step.at, step.length);
        if (profile.find(scanned, atEnd) == nullptr) continue;  // counts for nothing
        Tally& tally = tallies[{std::string(scanned), atEnd, step.reading}];
        tally.weight += weight;
        if (c == 0 && step.reading != scanned) {
          ++tally.words;
          if (tally.examples.size() < kExamples)
            tally.examples.emplace_back(word->count, word->text + ">" + candidate.text);
        }
      }
    }
  }
  open = std::move(stillOpen);
  // What a person decided counts wholly, each scanned letter where it
  // stands.
  for (const ReviewedReading& word : reviewed_) {
    const auto count = static_cast<double>(word.count);
    for (const AlignedStep& step : alignWords(word.read, word.meant)) {
      const std::string_view scanned = std::string_view(word.read).substr(step.at, step.length);
      const bool atEnd = step.at + step.length == word.read.size();
      if (profile.find(scanned, atEnd) != nullptr) {
        Tally& tally = tallies[{std::string(scanned), atEnd, step.meant}];
        tally.weight += count;
        if (step.meant != scanned) {
          // Surely this book's: it needs no second word.
          tally.words += kLeastWords;
          if (tally.examples.size() < kExamples)
            tally.examples.emplace_back(word.count, word.read + ">" + word.meant);
        }
      }
      if (step.length == 1 && step.meant == scanned && step.at + 1 < word.read.size())
        stays(std::string_view(word.read).substr(step.at, 2), step.at + 2 == word.read.size(),
              count);
    }
  }
  std::map<UnitKey, double> totals;
  // Every scanned letter of the profile in a word's path is in one step,
  // and so is every group of the profile that the path reads letter by
  // letter: the steps of a scanned group add up to all its occurrences in
  // the words read.
  for (const auto& [key, tally] : tallies)
    if (profile.find(std::get<0>(key), std::get<1>(key)) != nullptr)
      totals[{std::get<0>(key), std::get<1>(key)}] += tally.weight;
  std::vector<ProfileEntry> entries;
  for (const ProfileEntry& entry : profile.entries()) {
    ProfileEntry& updated = entries.emplace_back(ProfileEntry{entry.scanned, entry.atEnd, {}});
    const double total = totals[{entry.scanned, entry.atEnd}];
    const ProfileEntry* usual =
        prior != nullptr ? prior->find(entry.scanned, entry.atEnd) : nullptr;
    const double priorWeight = usual != nullptr ? kPriorOccurrences : 0.0;
    for (const Reading& reading : entry.readings) {
      const auto found = tallies.find({entry.scanned, entry.atEnd, reading.text});
      double expected = 0;
      if (usual != nullptr)
        for (const Reading& r : usual->readings)
          if (r.text == reading.text) expected = r.probability;
      if ((found == tallies.end() || total <= 0) && expected == 0) continue;
      const double weight = found == tallies.end() ? 0.0 : found->second.weight;
      Reading kept{reading.text,
                   (weight + priorWeight * expected) / (total + priorWeight + kStayingWord),
                   found == tallies.end() ? 0 : found->second.words,
                   {}};
      if (found != tallies.end())
        for (const auto& example : found->second.examples) kept.examples.push_back(example.second);
      kept.fromPrior = expected > 0;
      updated.readings.push_back(std::move(kept));
    }
  }
  Profile next;
  next.assign(std::move(entries));
  return next;
}

Profile withoutNoise(const Profile& profile) {
  std::vector<ProfileEntry> entries;
  for (const ProfileEntry& entry : profile.entries()) {
    ProfileEntry& clean = entries.emplace_back(ProfileEntry{entry.scanned, entry.atEnd, {}});
    for (const Reading& reading : entry.readings)
      if (reading.probability >= kLeastProbability &&
          (reading.words >= kLeastWords || reading.fromPrior))
        clean.readings.push_back(reading);
  }
  Profile kept;
  kept.assign(std::move(entries));
  return kept;
}

}  // namespace

Profile learnProfile(const std::vector<BookWord>& words, const KnownWords& knownWords,
                     const Profile* prior, const std::vector<ReviewedReading>& reviewed) {
  const SortedWords& lexicon = knownWords.lexicon();
  std::vector<const BookWord*> unknown;
  std::vector<const BookWord*> known;
  std::vector<const BookWord*> learning;
  for (const BookWord& word : words) {  // most frequent first
    if (!isLearnable(word)) continue;
    // A reviewed word teaches what the person decided, not its readings.
    if (std::any_of(reviewed.begin(), reviewed.end(),
                    [&](const ReviewedReading& r) { return r.read == word.text; }))
      continue;
    if (learning.size() < kLearningWords) learning.push_back(&word);
    if (containsOrCapitalised(lexicon, word.text) ||
        (unknown.size() < kUnknownSample && isOwnSpelling(knownWords.of(word.text))))
      known.push_back(&word);
    else if (unknown.size() < kUnknownSample)
      unknown.push_back(&word);
  }
  // An even spread of the known words, not only the frequent short ones,
  // taken in turn with an even spread of the dictionary.
  std::vector<std::string_view> book;
  const std::size_t step = known.size() / kKnownSample + 1;
  for (std::size_t k = 0; k < known.size(); k += step) book.push_back(known[k]->text);
  std::vector<std::string_view> listed;
  const std::size_t every = lexicon.size() / kDictionarySample + 1;
  for (std::size_t k = 0; k < lexicon.size(); k += every) {
    const std::string_view word = lexicon.word(k);
    if (word.size() >= kMinLength && isLetterWord(word)) listed.push_back(word);
  }
  std::vector<std::string_view> own;
  for (std::size_t k = 0; k < std::max(book.size(), listed.size()); ++k) {
    if (k < book.size()) own.push_back(book[k]);
    if (k < listed.size()) own.push_back(listed[k]);
  }
  std::vector<std::string_view> unknownTexts;
  for (const BookWord* word : unknown) unknownTexts.push_back(word->text);

  Profile usual;
  Profile profile = initialProfile(unknownTexts, own, lexicon, knownWords, prior, usual);
  if (!reviewed.empty()) profile = withReviewed(std::move(profile), reviewed);
  // Noise goes after every round: the readings that resolve nothing would
  // only widen the next round's search.
  std::vector<const BookWord*> settled;
  Rounds rounds(knownWords, prior != nullptr ? &usual : nullptr, reviewed);
  for (int round = 0; round < kRounds && !profile.empty(); ++round)
    profile = withoutNoise(rounds.reestimate(profile, learning, settled));
  return profile;
}

}  // namespace scanmend
