#include "correction/outcome_cache.h"

#include <bit>
#include <cstring>

namespace scanmend {

OutcomeCache::OutcomeCache(std::size_t slots) : slots_(std::bit_ceil(slots < 2 ? 2 : slots)) {}

bool OutcomeCache::find(std::string_view word, std::uint64_t hash, Entry& entry) const {
  if (word.size() > kMaxWordLength) return false;
  const Slot* set = &setOf(hash);
  for (const Slot* slot = set; slot != set + 2; ++slot) {
    if (slot->length != word.size() || std::memcmp(slot->word, word.data(), word.size()) != 0)
      continue;
    entry = {slot->kind, std::string_view(slot->result, word.size())};
    return true;
  }
  return false;
}

void OutcomeCache::remember(std::string_view word, std::uint64_t hash, const WordOutcome& outcome) {
  if (word.size() > kMaxWordLength || outcome.result.size() != word.size()) return;
  Slot* set = &setOf(hash);
  set[1] = set[0];
  set[0].length = static_cast<std::uint8_t>(word.size());
  set[0].kind = outcome.kind;
  std::memcpy(set[0].word, word.data(), word.size());
  std::memcpy(set[0].result, outcome.result.data(), word.size());
}

}  // namespace scanmend
