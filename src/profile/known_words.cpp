#include "profile/known_words.h"

#include "base/letters.h"

namespace scanmend {
namespace {

// The parts of a compound are words of their own: the first at least this
// long (an article or a pronoun is no first part: "Derkauf" is no
// "Der+kauf"), the last at least that long.
constexpr std::size_t kLeastHead = 4;
constexpr std::size_t kLeastTail = 4;
// The letters that join the parts of a compound ("Guts+besitzer",
// "Sonnen+schein").
constexpr std::string_view kJoints[] = {"", "s", "es", "n", "en"};
// A part of a compound needs rules the book surely follows.
constexpr double kOwnSpellingWeight = 0.5;

std::string capitalised(std::string_view word) {
  std::string out(word);
  out[0] = static_cast<char>(capitalOf(static_cast<unsigned char>(out[0])));
  return out;
}

}  // namespace

KnownWord KnownWords::of(std::string_view word) const {
  if (word.empty()) return {};
  if (lexicon_.contains(word)) return {KnownWord::Why::Listed, {}, {}, 1.0};
  if (const auto first = static_cast<unsigned char>(word[0]); isCapital(first)) {
    std::string small(word);
    small[0] = static_cast<char>(smallLetterOf(first));
    if (lexicon_.contains(small)) return {KnownWord::Why::Capitalised, {}, {}, 1.0};
  }
  if (!isLetterWord(word)) return {};
  if (const std::optional<SpellingForm>& form = explained(word)) {
    const double weight = weightOf(*form);
    if (weight >= kLeastSpellingWeight)
      return {KnownWord::Why::Spelling, form->modern, form->rules, weight};
  }
  if (std::string parts = compoundParts(word, 2); !parts.empty())
    return {KnownWord::Why::Compound, std::move(parts), {}, 1.0};
  return {};
}

double KnownWords::weightOf(const SpellingForm& form) const {
  double weight = 1.0;
  for (const std::uint16_t rule : form.rules)
    if (rule < weights_.size()) weight *= weights_[rule];
  return weight;
}

bool KnownWords::knownPart(std::string_view part) const {
  if (containsOrCapitalised(lexicon_, part) || lexicon_.contains(capitalised(part))) return true;
  // The period's spelling of a part, only by rules that the book follows:
  // "lihen" is no "liehen" in a book that prints "ie".
  const std::optional<SpellingForm> form =
      spelling_.explain(part, lexicon_, Spelling::FirstLetter::EitherCase,
                        weights_.empty() ? nullptr : &weights_, kOwnSpellingWeight);
  return form.has_value() && weightOf(*form) >= kOwnSpellingWeight;
}

const std::optional<SpellingForm>& KnownWords::explained(std::string_view word) const {
  const auto found = explained_.find(std::string(word));
  if (found != explained_.end()) return found->second;
  return explained_
      .emplace(std::string(word),
               spelling_.explain(word, lexicon_, Spelling::FirstLetter::CapitalAsSmall,
                                 weights_.empty() ? nullptr : &weights_, kLeastSpellingWeight))
      .first->second;
}

void KnownWords::weighRules(std::vector<double> weights) {
  weights_ = std::move(weights);
  explained_.clear();
}

std::string KnownWords::compoundParts(std::string_view word, int depth) const {
  if (word.size() < kLeastHead + kLeastTail) return {};
  // The first part is looked up as printed and with its first letter in
  // the other case ("Guts" of "gut", "besitzer" of "Besitzer"), one letter
  // at a time along the word.
  const auto first = static_cast<unsigned char>(word[0]);
  const unsigned char other = isCapital(first) ? smallLetterOf(first) : capitalOf(first);
  SortedWords::Range asPrinted = lexicon_.narrow(lexicon_.all(), first);
  SortedWords::Range otherCase = lexicon_.narrow(lexicon_.all(), other);
  for (std::size_t stem = 1; stem + kLeastTail <= word.size(); ++stem) {
    if (stem > 1) {
      const auto next = static_cast<unsigned char>(word[stem - 1]);
      asPrinted = lexicon_.narrow(asPrinted, next);
      otherCase = lexicon_.narrow(otherCase, next);
    }
    if (asPrinted.empty() && otherCase.empty()) return {};
    if (stem < kLeastHead || !(lexicon_.holdsWord(asPrinted) || lexicon_.holdsWord(otherCase)))
      continue;
    for (const std::string_view joint : kJoints) {
      const std::size_t split = stem + joint.size();
      if (split + kLeastTail > word.size() || word.compare(stem, joint.size(), joint) != 0)
        continue;
      const std::string_view head = word.substr(0, split);
      const std::string_view tail = word.substr(split);
      // The tail a word of its own, as printed or of 1901, or a compound.
      if (knownPart(tail)) return std::string(head) + "+" + std::string(tail);
      if (depth > 1)
        if (std::string rest = compoundParts(capitalised(tail), depth - 1); !rest.empty())
          return std::string(head) + "+" + rest;
    }
  }
  return {};
}

}  // namespace scanmend
