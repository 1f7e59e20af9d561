#include "dictionary/prefix_index.h"

#include <algorithm>

namespace scanmend {

void PrefixIndex::build(std::string_view records) {
  // Bucket the records by length first (a counting sort), then sort each
  // bucket: most comparisons end in the integer keys.
  std::array<std::size_t, 257> count{};
  for (std::size_t at = 0; at < records.size(); at += 1 + static_cast<unsigned char>(records[at]))
    ++count[static_cast<unsigned char>(records[at])];
  lengthStart_[0] = 0;
  for (std::size_t length = 0; length < 256; ++length)
    lengthStart_[length + 1] = lengthStart_[length] + count[length];

  entries_.assign(lengthStart_[256], Entry{0, 0});
  std::array<std::size_t, 256> fill{};
  std::copy(lengthStart_.begin(), lengthStart_.end() - 1, fill.begin());
  for (std::size_t at = 0; at < records.size();) {
    const auto length = static_cast<unsigned char>(records[at]);
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i)
      key = (key << 8) | (i < length ? static_cast<unsigned char>(records[at + 1 + i]) : 0u);
    entries_[fill[length]++] = {key, at};
    at += 1 + length;
  }

  for (std::size_t length = 0; length < 256; ++length) {
    const auto begin = entries_.begin() + static_cast<std::ptrdiff_t>(lengthStart_[length]);
    const auto end = entries_.begin() + static_cast<std::ptrdiff_t>(lengthStart_[length + 1]);
    if (length <= 8) {  // the key is the whole word
      std::sort(begin, end, [](const Entry& a, const Entry& b) { return a.key < b.key; });
      continue;
    }
    std::sort(begin, end, [records](const Entry& a, const Entry& b) {
      if (a.key != b.key) return a.key < b.key;
      return wordAt(records, a).substr(8) < wordAt(records, b).substr(8);
    });
  }

  for (std::size_t length = 0; length < 256; ++length) {
    std::vector<std::size_t>& first = firstByteStart_[length];
    first.clear();
    if (length == 0 || lengthStart_[length] == lengthStart_[length + 1]) continue;
    first.assign(257, lengthStart_[length]);
    for (std::size_t k = lengthStart_[length]; k < lengthStart_[length + 1]; ++k)
      first[(entries_[k].key >> 56) + 1] = k + 1;
    for (std::size_t byte = 1; byte < 257; ++byte)
      first[byte] = std::max(first[byte], first[byte - 1]);
  }
}

PrefixIndex::Range PrefixIndex::narrow(std::string_view records, Range range, std::size_t depth,
                                       unsigned char letter) const {
  const auto first = entries_.begin() + static_cast<std::ptrdiff_t>(range.begin);
  const auto last = entries_.begin() + static_cast<std::ptrdiff_t>(range.end);
  const auto below = [&](const Entry& entry, unsigned value) {
    return byteAt(records, entry, depth) < value;
  };
  const auto begin = std::lower_bound(first, last, letter, below);
  const auto end = std::lower_bound(begin, last, letter + 1u, below);
  return {static_cast<std::size_t>(begin - entries_.begin()),
          static_cast<std::size_t>(end - entries_.begin())};
}

}  // namespace scanmend
