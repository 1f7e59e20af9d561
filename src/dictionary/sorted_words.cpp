#include "dictionary/sorted_words.h"

#include <algorithm>
#include <cstring>

#include "base/large_buffers.h"
#include "base/letters.h"
#include "dictionary/listed_words.h"

namespace scanmend {
namespace {

// Below this many words a range is searched from its start: the words lie
// side by side in memory, so a scan beats the jumps of a binary search.
constexpr std::size_t kScanLimit = 12;

bool lessBytes(std::string_view a, std::string_view b) {
  const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  return order != 0 ? order < 0 : a.size() < b.size();
}

// A word with its first eight bytes as one number, most significant first,
// so that most comparisons of the sort are one comparison of numbers.
struct SortKey {
  std::uint64_t head = 0;
  std::string_view word;
};

SortKey keyOf(std::string_view word) {
  SortKey key{0, word};
  for (std::size_t i = 0; i < 8; ++i)
    key.head = key.head << 8 | (i < word.size() ? static_cast<unsigned char>(word[i]) : 0U);
  return key;
}

// A function object, which the sort inlines, unlike a pointer to a function.
constexpr auto lessKey = [](const SortKey& a, const SortKey& b) {
  if (a.head != b.head) return a.head < b.head;
  return lessBytes(a.word, b.word);
};

// Sorts by the words' first two bytes in place, bucket by bucket, then
// each bucket by itself: a bucket is small enough to sort in the cache,
// where one sort of the whole list would wait on memory at every step.
void sortKeys(std::vector<SortKey>& keys) {
  constexpr std::size_t kBuckets = 1 << 16;
  auto bucketOf = [](const SortKey& key) { return static_cast<std::size_t>(key.head >> 48); };
  std::vector<std::size_t> start(kBuckets + 1, 0);
  for (const SortKey& key : keys) ++start[bucketOf(key) + 1];
  for (std::size_t b = 0; b < kBuckets; ++b) start[b + 1] += start[b];
  std::vector<std::size_t> next(start.begin(), start.end() - 1);
  for (std::size_t b = 0; b < kBuckets; ++b) {
    while (next[b] < start[b + 1]) {
      SortKey key = keys[next[b]];
      // Each key goes to the next free place of its bucket, and the key
      // found there moves on in turn, until one belongs here.
      for (std::size_t to = bucketOf(key); to != b; to = bucketOf(key))
        std::swap(key, keys[next[to]++]);
      keys[next[b]++] = key;
    }
  }
  for (std::size_t b = 0; b < kBuckets; ++b)
    std::sort(keys.begin() + static_cast<std::ptrdiff_t>(start[b]),
              keys.begin() + static_cast<std::ptrdiff_t>(start[b + 1]), lessKey);
}

}  // namespace

void SortedWords::assign(std::string fileBytes) {
  nodes_.clear();
  branches_.clear();
  std::vector<SortKey> keys;
  ListedWords listed(fileBytes);
  // Sized at once: growing a list of this size would copy it, and fault
  // in fresh memory, several times over.
  reserveLarge(keys, listed.lineEnds());
  for (std::string_view word; listed.next(word);) keys.push_back(keyOf(word));
  // Word lists come sorted more often than not, but rarely in byte order.
  if (!std::is_sorted(keys.begin(), keys.end(), lessKey)) sortKeys(keys);

  auto distinct = [&](std::size_t i) { return i == 0 || keys[i].word != keys[i - 1].word; };
  std::size_t words = 0;
  std::size_t textBytes = 0;
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (distinct(i)) {
      ++words;
      textBytes += keys[i].word.size();
    }
  text_.clear();
  text_.shrink_to_fit();
  reserveLarge(text_, textBytes);
  starts_.assign(1, 0);
  starts_.shrink_to_fit();
  reserveLarge(starts_, words + 1);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (!distinct(i)) continue;
    text_.append(keys[i].word);
    starts_.push_back(text_.size());
  }
  index(all());
  nodes_.shrink_to_fit();
  branches_.shrink_to_fit();
}

std::uint32_t SortedWords::index(Range range) {
  const auto id = static_cast<std::uint32_t>(nodes_.size());
  nodes_.push_back({});
  const auto first = static_cast<std::uint32_t>(branches_.size());
  forEachNext(range, [&](unsigned char byte, Range next) {
    branches_.push_back({byte, kNoNode, next.begin, next.end});
  });
  const auto last = static_cast<std::uint32_t>(branches_.size());
  nodes_[id] = {first, last};
  if (range.depth + 1 < kIndexedDepth)
    for (std::uint32_t b = first; b < last; ++b)
      branches_[b].node = index({branches_[b].begin, branches_[b].end, range.depth + 1});
  return id;
}

SortedWords::Range SortedWords::narrow(Range range, unsigned char byte) const {
  const std::size_t depth = range.depth;
  if (range.node != kNoNode) {
    const Node& node = nodes_[range.node];
    const auto first = branches_.begin() + node.first;
    const auto last = branches_.begin() + node.last;
    const auto found = std::lower_bound(
        first, last, byte, [](const Branch& b, unsigned char v) { return b.byte < v; });
    if (found == last || found->byte != byte) return {range.end, range.end, depth + 1};
    return {found->begin, found->end, depth + 1, found->node};
  }
  // Only the first word of a range can end at its depth: it is the prefix
  // itself, and it sorts before the words that continue it.
  std::size_t from = range.begin;
  if (from < range.end && length(from) == depth) ++from;
  auto below = [&](std::size_t word) { return byteAt(word, depth) < byte; };
  if (range.end - from <= kScanLimit) {
    while (from < range.end && below(from)) ++from;
  } else {
    std::size_t count = range.end - from;
    while (count > 0) {
      const std::size_t half = count / 2;
      if (below(from + half)) {
        from += half + 1;
        count -= half + 1;
      } else {
        count = half;
      }
    }
  }
  if (from == range.end || byteAt(from, depth) != byte) return {from, from, depth + 1};
  return {from, endOfByte(from, range.end, depth), depth + 1};
}

std::size_t SortedWords::endOfByte(std::size_t from, std::size_t end, std::size_t depth) const {
  // The words of one byte are usually few: gallop from the first of them,
  // then search the last stride.
  const unsigned char byte = byteAt(from, depth);
  auto same = [&](std::size_t word) { return byteAt(word, depth) == byte; };
  std::size_t lo = from + 1;  // [from, lo) all hold the byte
  std::size_t hi = lo;
  for (std::size_t step = 1; hi < end && same(hi); step *= 2) {
    lo = hi + 1;
    hi = lo + step;
  }
  hi = std::min(hi, end);
  while (lo < hi) {
    const std::size_t middle = lo + (hi - lo) / 2;
    if (same(middle))
      lo = middle + 1;
    else
      hi = middle;
  }
  return lo;
}

SortedWords::Range SortedWords::narrow(Range range, std::string_view text) const {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (range.empty()) break;
    if (range.end - range.begin == 1) {
      // One word left: the rest of the text either continues it or not.
      const std::string_view rest = text.substr(i);
      const std::size_t word = range.begin;
      const bool continues =
          length(word) >= range.depth + rest.size() &&
          std::memcmp(text_.data() + starts_[word] + range.depth, rest.data(), rest.size()) == 0;
      return {word, continues ? word + 1 : word, range.depth + rest.size()};
    }
    range = narrow(range, static_cast<unsigned char>(text[i]));
  }
  return range;
}

bool SortedWords::contains(std::string_view word) const {
  // Through the index, then one search for the whole rest among the words
  // that share the indexed prefix: a lookup, unlike a walk, needs no
  // range for every byte.
  Range range = all();
  std::size_t depth = 0;
  for (; depth < word.size() && range.node != kNoNode; ++depth) {
    range = narrow(range, static_cast<unsigned char>(word[depth]));
    if (range.empty()) return false;
  }
  const std::string_view rest = word.substr(depth);
  auto restOf = [&](std::size_t w) {
    return std::string_view(text_).substr(starts_[w] + depth, length(w) - depth);
  };
  std::size_t from = range.begin;
  std::size_t count = range.end - range.begin;
  while (count > 0) {
    const std::size_t half = count / 2;
    if (lessBytes(restOf(from + half), rest)) {
      from += half + 1;
      count -= half + 1;
    } else {
      count = half;
    }
  }
  return from < range.end && restOf(from) == rest;
}

bool containsOrCapitalised(const SortedWords& words, std::string_view word) {
  if (word.empty()) return false;
  if (words.contains(word)) return true;
  const auto first = static_cast<unsigned char>(word[0]);
  if (smallLetterOf(first) == first) return false;
  std::string small(word);
  small[0] = static_cast<char>(smallLetterOf(first));
  return words.contains(small);
}

}  // namespace scanmend
