#include "dictionary/dictionary.h"

#include <algorithm>
#include <cstring>

#include "base/large_buffers.h"
#include "base/word_hash.h"
#include "dictionary/listed_words.h"

namespace scanmend {

LetterFold identityFold() {
  LetterFold fold;
  for (std::size_t byte = 0; byte < fold.size(); ++byte)
    fold[byte] = static_cast<unsigned char>(byte);
  return fold;
}

std::size_t largestFoldGroup(const LetterFold& fold) {
  std::array<std::size_t, 256> members{};
  for (const unsigned char representative : fold) ++members[representative];
  return *std::max_element(members.begin(), members.end());
}

// The folded bytes go straight into the hash, eight at a time, as hashWord
// would take them from a folded copy. The home slot comes from the high
// bits of the hash, the tag from its low bits.
std::uint64_t Dictionary::foldedHash(std::string_view word) const {
  const std::size_t length = std::min(word.size(), kMaxWordLength);
  if (foldIsIdentity_) return hashWord(word.substr(0, length));  // the same hash, sooner
  const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
  return hashChunks(length, [&](std::size_t at, std::size_t count) {
    std::uint64_t chunk = 0;
    for (std::size_t i = 0; i < count; ++i) chunk |= std::uint64_t{fold_[bytes[at + i]]} << (8 * i);
    return chunk;
  });
}

bool Dictionary::foldsAlike(std::string_view a, std::string_view b) const {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (fold_[static_cast<unsigned char>(a[i])] != fold_[static_cast<unsigned char>(b[i])])
      return false;
  return true;
}

std::string_view Dictionary::recordAt(std::uint64_t slot) const {
  const std::uint64_t offset = (slot >> kTagBits) - 1;
  const auto length = static_cast<unsigned char>(records_[offset]);
  return std::string_view(records_).substr(offset + 1, length);
}

void Dictionary::assign(std::string bytes, const LetterFold& fold, ReadingSearch search) {
  walksPrefixes_ = search == ReadingSearch::PrefixWalk ||
                   (search == ReadingSearch::Automatic && largestFoldGroup(fold) > 2);
  fold_ = walksPrefixes_ ? identityFold() : fold;
  foldIsIdentity_ = fold_ == identityFold();
  records_ = std::move(bytes);
  ListedWords listed(records_);
  const std::size_t lines = listed.lineEnds();
  // Load factor at most 3/4, which keeps the table small beside the words.
  slots_.clear();
  reserveLarge(slots_, lines + lines / 3 + 1);
  slots_.assign(lines + lines / 3 + 1, 0);
  wordCount_ = 0;
  countByLength_.fill(0);

  // Each listed word is rewritten as a record at `out`, never past its own
  // start: the line's LF pays for the length byte. Only the first line can
  // reach one byte ahead, into its own line end, which has been read by then.
  //
  // Words go in batches: first each word's place is found and its slot
  // fetched ahead, then the batch is inserted, so that the table's cache
  // misses overlap instead of coming one after another.
  struct Line {
    std::string_view word;
    Place place;
  };
  constexpr std::size_t kBatch = 16;
  Line batch[kBatch];
  std::size_t out = 0;
  bool more = true;
  while (more) {
    std::size_t count = 0;
    std::string_view word;
    while (count < kBatch && (more = listed.next(word))) {
      const Place place = placeOf(foldedHash(word));
      __builtin_prefetch(&slots_[place.home]);
      batch[count++] = {word, place};
    }
    for (std::size_t i = 0; i < count; ++i) {
      const Line& line = batch[i];
      std::size_t index = line.place.home;
      bool duplicate = false;
      for (; slots_[index] != 0 && !duplicate; index = next(index))
        duplicate =
            (slots_[index] & kTagMask) == line.place.tag && recordAt(slots_[index]) == line.word;
      if (duplicate) continue;
      std::memmove(records_.data() + out + 1, line.word.data(), line.word.size());
      records_[out] = static_cast<char>(line.word.size());
      slots_[index] = ((out + 1) << kTagBits) | line.place.tag;
      out += 1 + line.word.size();
      ++wordCount_;
      ++countByLength_[line.word.size()];
    }
  }
  // No shrink_to_fit: the copy would double the peak memory of a load.
  records_.resize(out);
  prefixIndex_ = PrefixIndex();
  if (walksPrefixes_) prefixIndex_.build(records_);
}

bool Dictionary::contains(std::string_view word, std::uint64_t foldedHash) const {
  bool found = false;
  forEachWordFoldingLike(word, foldedHash,
                         [&](std::string_view candidate) { found |= candidate == word; });
  return found;
}

bool containsWord(const Dictionary& dictionary, std::string_view word) {
  return dictionary.contains(word);
}

}  // namespace scanmend
