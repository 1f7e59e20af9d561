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

std::string capitalised(std::string_view word) {
  std::string out(word);
  out[0] = static_cast<char>(capitalOf(static_cast<unsigned char>(out[0])));
  return out;
}

}  // namespace

KnownWord KnownWords::of(std::string_view word) const {
  if (word.empty()) return {};
  if (lexicon_.contains(word)) return {KnownWord::Why::Listed, {}};
  if (containsOrCapitalised(lexicon_, word)) return {KnownWord::Why::Capitalised, {}};
  if (!isLetterWord(word)) return {};
  if (std::optional<std::string> modern = spelling_.modernFormOf(word, lexicon_))
    return {KnownWord::Why::Spelling, std::move(*modern)};
  if (std::string parts = compoundParts(word, 2); !parts.empty())
    return {KnownWord::Why::Compound, std::move(parts)};
  return {};
}

bool KnownWords::knownPart(std::string_view part, bool withSpelling) const {
  if (containsOrCapitalised(lexicon_, part) || lexicon_.contains(capitalised(part))) return true;
  return withSpelling && (spelling_.modernFormOf(part, lexicon_).has_value() ||
                          spelling_.modernFormOf(capitalised(part), lexicon_).has_value());
}

std::string KnownWords::compoundParts(std::string_view word, int depth) const {
  if (word.size() < kLeastHead + kLeastTail) return {};
  for (std::size_t split = kLeastHead; split + kLeastTail <= word.size(); ++split) {
    const std::string_view tail = word.substr(split);
    for (const std::string_view joint : kJoints) {
      if (split < kLeastHead + joint.size()) continue;
      const std::string_view head = word.substr(0, split);
      if (!head.ends_with(joint)) continue;
      const std::string_view stem = head.substr(0, split - joint.size());
      if (stem.size() < kLeastHead || !knownPart(stem, false)) continue;
      // The tail a word of its own, as printed or of 1901, or a compound.
      if (knownPart(tail, true)) return std::string(head) + "+" + std::string(tail);
      if (depth > 1)
        if (std::string rest = compoundParts(capitalised(tail), depth - 1); !rest.empty())
          return std::string(head) + "+" + rest;
    }
  }
  return {};
}

}  // namespace scanmend
