#include "profile/readings.h"

#include <algorithm>
#include <tuple>

#include "base/letters.h"

namespace scanmend {
namespace {

// The ranges of the lexicon where `text` continues the reading at `range`;
// a capital that begins the word may also stand for its small letter.
template <typename Visit>
void continueWith(const SortedWords& lexicon, SortedWords::Range range, std::string_view text,
                  Visit&& visit) {
  if (range.depth == 0 && !text.empty()) {
    const auto first = static_cast<unsigned char>(text[0]);
    const unsigned char small = smallLetterOf(first);
    if (small != first) {
      const SortedWords::Range lowered =
          lexicon.narrow(lexicon.narrow(range, small), text.substr(1));
      if (!lowered.empty()) visit(lowered);
    }
  }
  const SortedWords::Range next = lexicon.narrow(range, text);
  if (!next.empty()) visit(next);
}

// A word of fewer letters takes only rules that put as many letters for
// as many, and at most this many rules make one word, as the spelling's
// own search has it.
constexpr std::size_t kShortestSpelled = 4;
constexpr int kMostRules = 3;

class ReadingWalk {
 public:
  ReadingWalk(std::string_view word, const Profile& profile, const SortedWords& lexicon,
              bool keepSteps, const SpellingReadings* spelling = nullptr)
      : word_(word), profile_(profile), lexicon_(lexicon), keepSteps_(keepSteps) {
    if (spelling == nullptr || word.size() < 2) return;
    const std::vector<SpellingRule>& rules = spelling->spelling.rules();
    for (std::size_t r = 0; r < rules.size(); ++r) {
      const double weight = r < spelling->weights.size() ? spelling->weights[r] : 1.0;
      if (weight < spelling->least) continue;
      if (word.size() < kShortestSpelled && rules[r].historical.size() != rules[r].modern.size())
        continue;
      rules_.push_back({&rules[r], weight});
    }
    // Where a rule's letters may begin as scanned, the letters are read
    // one by one, not in a run.
    mayBeginRule_.assign(word.size(), false);
    for (const Rule& rule : rules_)
      for (std::size_t at = word.find(rule.rule->historical.substr(0, 1));
           !rule.rule->historical.empty() && at != std::string_view::npos;
           at = word.find(rule.rule->historical[0], at + 1))
        mayBeginRule_[at] = true;
  }

  std::vector<Candidate> run(std::size_t most) {
    walk(0, lexicon_.all(), 1.0);
    std::sort(found_.begin(), found_.end(), [](const Candidate& a, const Candidate& b) {
      if (a.channel != b.channel) return a.channel > b.channel;
      return a.text < b.text;
    });
    if (found_.size() > most) found_.resize(most);
    return std::move(found_);
  }

 private:
  void walk(std::size_t at, SortedWords::Range range, double channel) {
    if (channel < kLeastChannel) return;
    if (at == word_.size()) {
      if (pending_.empty()) {
        end(range, channel);
      } else {
        spell(at, range, channel);
      }
      return;
    }
    // The letters that the profile holds nothing for read as they stand,
    // a run of them at once.
    std::size_t end = at;
    while (pending_.empty() && end < word_.size() && !held(end)) ++end;
    if (end > at) {
      const std::string_view run = word_.substr(at, end - at);
      continueWith(lexicon_, range, run, [&](SortedWords::Range next) {
        const std::size_t textLength = text_.size();
        text_.append(run);
        walk(end, next, channel);
        text_.resize(textLength);
      });
      return;
    }
    const ProfileEntry* pair = at + 1 < word_.size()
                                   ? profile_.find(word_.substr(at, 2), at + 2 == word_.size())
                                   : nullptr;
    const double pairStays = pair != nullptr ? pair->stay() : 1.0;
    if (pair != nullptr)
      steps_.push_back({static_cast<std::uint16_t>(at), 2, std::string(word_.substr(at, 2))});
    const std::string_view scanned = word_.substr(at, 1);
    const ProfileEntry* single = profile_.find(scanned, at + 1 == word_.size());
    step(at, 1, scanned, range, channel * pairStays * (single != nullptr ? single->stay() : 1.0));
    if (single != nullptr)
      for (const Reading& reading : single->readings)
        step(at, 1, reading.text, range, channel * pairStays * reading.probability);
    if (pair != nullptr) {
      steps_.pop_back();
      for (const Reading& reading : pair->readings)
        step(at, 2, reading.text, range, channel * reading.probability);
    }
  }

  void step(std::size_t at, std::size_t length, std::string_view reading, SortedWords::Range range,
            double channel) {
    if (channel < kLeastChannel) return;
    if (!rules_.empty()) {
      // The letters read go to the printed word, and from there through
      // the spelling's rules to the dictionary's.
      const std::size_t pendingLength = pending_.size();
      pending_.append(reading);
      steps_.push_back({static_cast<std::uint16_t>(at), static_cast<std::uint8_t>(length),
                        std::string(reading)});
      spell(at + length, range, channel);
      steps_.pop_back();
      pending_.resize(pendingLength);
      return;
    }
    continueWith(lexicon_, range, reading, [&](SortedWords::Range next) {
      const std::size_t textLength = text_.size();
      text_.append(reading);
      steps_.push_back({static_cast<std::uint16_t>(at), static_cast<std::uint8_t>(length),
                        std::string(reading)});
      walk(at + length, next, channel);
      steps_.pop_back();
      text_.resize(textLength);
    });
  }

  // The printed letters not yet read as the dictionary's (pending_), each
  // as it stands or by a rule whose letters they begin with, before the
  // scanned letters from `at` on; or, where they begin a rule's letters,
  // held until more are read.
  void spell(std::size_t at, SortedWords::Range range, double channel) {
    if (channel < kLeastChannel) return;
    if (pending_.empty()) {
      walk(at, range, channel);
      return;
    }
    const std::string held = pending_;
    const bool atStart = text_.empty();
    const auto take = [&](std::size_t printed, std::string_view letters, double weight) {
      continueWith(lexicon_, range, letters, [&](SortedWords::Range next) {
        const std::size_t textLength = text_.size();
        text_.append(held.substr(0, printed));
        pending_ = held.substr(printed);
        spell(at, next, channel * weight);
        pending_ = held;
        text_.resize(textLength);
      });
    };
    take(1, std::string_view(held).substr(0, 1), 1.0);
    bool mayGrow = false;
    for (const Rule& rule : rules_) {
      const std::string& historical = rule.rule->historical;
      if (historical.empty()) continue;
      if (historical.size() > held.size()) {
        mayGrow = mayGrow || (at < word_.size() && historical.starts_with(held));
        continue;
      }
      if (rulesUsed_ >= kMostRules || !held.starts_with(historical)) continue;
      switch (rule.rule->place) {
        case SpellingRule::Place::Start:
          if (!atStart) continue;
          break;
        case SpellingRule::Place::End:
          if (at < word_.size() || historical.size() != held.size()) continue;
          break;
        case SpellingRule::Place::Anywhere:
          break;
      }
      ++rulesUsed_;
      if (rule.rule->modern.empty()) {
        const std::size_t textLength = text_.size();
        text_.append(historical);
        pending_ = held.substr(historical.size());
        spell(at, range, channel * rule.weight);
        pending_ = held;
        text_.resize(textLength);
      } else {
        take(historical.size(), rule.rule->modern, rule.weight);
      }
      --rulesUsed_;
    }
    if (mayGrow) walk(at, range, channel);
  }

  // The word ends here: a word of the dictionary as read, or with the
  // letters that the OCR may have left off, or that the period leaves off
  // ("hab" of "habe").
  void end(SortedWords::Range range, double channel) {
    if (rulesUsed_ < kMostRules)
      for (const Rule& rule : rules_) {
        if (!rule.rule->historical.empty() || word_.size() < kShortestSpelled) continue;
        const SortedWords::Range longer = lexicon_.narrow(range, rule.rule->modern);
        if (!longer.empty() && lexicon_.holdsWord(longer)) record(channel * rule.weight);
      }
    endOfOcr(range, channel);
  }

  void endOfOcr(SortedWords::Range range, double channel) {
    const ProfileEntry* leftOff = profile_.find("", true);
    if (leftOff == nullptr) {
      if (lexicon_.holdsWord(range)) record(channel);
      return;
    }
    const auto at = static_cast<std::uint16_t>(word_.size());
    if (lexicon_.holdsWord(range)) {
      steps_.push_back({at, 0, ""});
      record(channel * leftOff->stay());
      steps_.pop_back();
    }
    for (const Reading& reading : leftOff->readings) {
      if (channel * reading.probability < kLeastChannel) continue;
      const SortedWords::Range longer = lexicon_.narrow(range, reading.text);
      if (longer.empty() || !lexicon_.holdsWord(longer)) continue;
      const std::size_t textLength = text_.size();
      text_.append(reading.text);
      steps_.push_back({at, 0, reading.text});
      record(channel * reading.probability);
      steps_.pop_back();
      text_.resize(textLength);
    }
  }

  // Whether the profile has readings of the letter at `at`, or of the
  // group of two that it begins.
  bool held(std::size_t at) const {
    if (!mayBeginRule_.empty() && mayBeginRule_[at]) return true;
    if (profile_.find(word_.substr(at, 1), at + 1 == word_.size()) != nullptr) return true;
    return at + 1 < word_.size() &&
           profile_.find(word_.substr(at, 2), at + 2 == word_.size()) != nullptr;
  }

  void record(double channel) {
    for (Candidate& candidate : found_) {
      if (candidate.text != text_) continue;
      if (channel > candidate.channel) {
        candidate.channel = channel;
        if (keepSteps_) candidate.steps = steps_;
      }
      return;
    }
    found_.push_back({text_, channel, keepSteps_ ? steps_ : std::vector<ReadingStep>{}});
  }

  struct Rule {
    const SpellingRule* rule;
    double weight;
  };

  std::string_view word_;
  const Profile& profile_;
  const SortedWords& lexicon_;
  const bool keepSteps_;
  std::vector<Rule> rules_;  // the spelling's rules that weigh enough, where asked for
  std::vector<bool> mayBeginRule_;
  std::string pending_;  // letters printed, not yet read as the dictionary's
  int rulesUsed_ = 0;
  std::string text_;
  std::vector<ReadingStep> steps_;
  std::vector<Candidate> found_;
};

class ExchangeWalk {
  // Ranges of at most this many words are scanned rather than walked.
  static constexpr std::size_t kScanOneForTwo = 48;

 public:
  using Found = std::function<void(std::string_view, bool, std::string_view, std::string_view)>;
  ExchangeWalk(std::string_view word, const SortedWords& lexicon, const Found& found)
      : word_(word), lexicon_(lexicon), found_(found) {}

  void run() { walk(0, lexicon_.all()); }

 private:
  void walk(std::size_t at, SortedWords::Range range) {
    if (at == word_.size()) return;
    continueWith(lexicon_, range, word_.substr(at, 1), [&](SortedWords::Range next) {
      text_.push_back(word_[at]);
      walk(at + 1, next);
      text_.pop_back();
    });
    lexicon_.forEachNext(range, [&](unsigned char byte, SortedWords::Range next) {
      // A word that begins with a capital keeps it: a small letter read
      // there is its capital ("Dater" is "Vater", with "vater" listed).
      const unsigned char read =
          at == 0 && isCapital(static_cast<unsigned char>(word_[0])) ? capitalOf(byte) : byte;
      text_.push_back(static_cast<char>(read));
      if (read != static_cast<unsigned char>(word_[at])) exchange(at, 1, 1, next);
      if (at + 1 < word_.size()) exchange(at, 2, 1, next);
      // One letter for two, but not in a word's first two letters, where
      // every two- and three-letter beginning of the dictionary would be
      // tried: the letter groups misread there are misread further in too.
      if (at > 1) oneForTwo(at, next);
      text_.pop_back();
    });
  }

  // The words of `range` that read the letter at `at` as two: those one
  // byte longer than the range's prefix, followed by the rest of the word.
  // A small range is scanned word by word, in the order of the second
  // byte, as the walk below would find them.
  void oneForTwo(std::size_t at, SortedWords::Range range) {
    const std::string_view rest = word_.substr(at + 1);
    if (range.end - range.begin <= kScanOneForTwo) {
      for (std::size_t w = range.begin; w < range.end; ++w) {
        const std::string_view listed = lexicon_.word(w);
        if (listed.size() != range.depth + 1 + rest.size() || !listed.ends_with(rest)) continue;
        text_.push_back(listed[range.depth]);
        exchanged(at, 1, 2, rest);
        text_.pop_back();
      }
      return;
    }
    lexicon_.forEachNext(range, [&](unsigned char second, SortedWords::Range after) {
      text_.push_back(static_cast<char>(second));
      exchange(at, 1, 2, after);
      text_.pop_back();
    });
  }

  // After its one exchange, the word must go on as it stands.
  void exchange(std::size_t at, std::size_t scanned, std::size_t read, SortedWords::Range next) {
    const std::string_view rest = word_.substr(at + scanned);
    if (!lexicon_.holdsWord(lexicon_.narrow(next, rest))) return;
    exchanged(at, scanned, read, rest);
  }

  void exchanged(std::size_t at, std::size_t scanned, std::size_t read, std::string_view rest) {
    scannedAt_ = at;
    scannedLength_ = scanned;
    readLength_ = read;
    const std::size_t length = text_.size();
    text_.append(rest);
    report();
    text_.resize(length);
  }

  void report() {
    const std::string_view scanned = word_.substr(scannedAt_, scannedLength_);
    const bool atEnd = scannedAt_ + scannedLength_ == word_.size();
    const std::size_t readAt = scannedAt_;
    const std::string_view reading = std::string_view(text_).substr(readAt, readLength_);
    if (scanned == reading) return;
    for (const auto& [s, end, r] : reported_)
      if (s == scanned && end == atEnd && r == reading) return;
    reported_.emplace_back(std::string(scanned), atEnd, std::string(reading));
    found_(scanned, atEnd, reading, text_);
  }

  std::string_view word_;
  const SortedWords& lexicon_;
  const Found& found_;
  std::string text_;
  std::size_t scannedAt_ = 0;
  std::size_t scannedLength_ = 0;
  std::size_t readLength_ = 0;
  std::vector<std::tuple<std::string, bool, std::string>> reported_;
};

}  // namespace

std::vector<Candidate> readingsOf(std::string_view word, const Profile& profile,
                                  const SortedWords& lexicon, std::size_t most) {
  return ReadingWalk(word, profile, lexicon, true).run(most);
}

std::vector<Candidate> readingsOnlyOf(std::string_view word, const Profile& profile,
                                      const SortedWords& lexicon, std::size_t most,
                                      const SpellingReadings* spelling) {
  return ReadingWalk(word, profile, lexicon, false, spelling).run(most);
}

void forEachOneExchange(
    std::string_view word, const SortedWords& lexicon,
    const std::function<void(std::string_view, bool, std::string_view, std::string_view)>& found) {
  ExchangeWalk(word, lexicon, found).run();
}

double stayChannel(std::string_view word, const Profile& profile) {
  const ProfileEntry* leftOff = profile.find("", true);
  double channel = leftOff != nullptr ? leftOff->stay() : 1.0;
  for (std::size_t at = 0; at < word.size(); ++at) {
    if (at + 1 < word.size())
      if (const ProfileEntry* pair = profile.find(word.substr(at, 2), at + 2 == word.size()))
        channel *= pair->stay();
    if (const ProfileEntry* single = profile.find(word.substr(at, 1), at + 1 == word.size()))
      channel *= single->stay();
  }
  return channel;
}

bool exchangeMakesWord(std::string_view word, std::string_view scanned, bool atEnd,
                       std::string_view reading, const SortedWords& lexicon) {
  if (scanned.empty() || reading.empty() || scanned == reading) return false;
  // The places the search tries: not one letter for two in the first two
  // letters.
  const bool oneForTwo = scanned.size() == 1 && reading.size() == 2;
  std::string exchanged;
  const bool capitalStart = isCapital(static_cast<unsigned char>(word[0]));
  auto makesWord = [&](std::size_t at) {
    const auto readFirst = static_cast<unsigned char>(reading[0]);
    // A capital that begins the word reads as a capital, which may stand
    // for the small letter of the dictionary's form.
    if (at == 0 && capitalStart && capitalOf(readFirst) != readFirst) return false;
    exchanged.assign(word.substr(0, at)).append(reading).append(word.substr(at + scanned.size()));
    if (lexicon.contains(exchanged)) return true;
    if (!capitalStart || (at == 0 && !isCapital(readFirst))) return false;
    exchanged[0] = static_cast<char>(smallLetterOf(static_cast<unsigned char>(exchanged[0])));
    return lexicon.contains(exchanged);
  };
  if (atEnd) {
    if (!word.ends_with(scanned)) return false;
    const std::size_t at = word.size() - scanned.size();
    return !(oneForTwo && at <= 1) && makesWord(at);
  }
  for (std::size_t at = word.find(scanned); at != std::string_view::npos;
       at = word.find(scanned, at + 1)) {
    if (at + scanned.size() == word.size()) break;
    if (oneForTwo && at <= 1) continue;
    if (makesWord(at)) return true;
  }
  return false;
}

}  // namespace scanmend
