// A sorted index of the dictionary's words, searched by a prefix walk: it
// finds every word whose letter at each position is one of the letters
// allowed there. The walk only follows prefixes that some dictionary word
// has, so its cost is bounded by those prefixes, however many readings the
// allowed letters spell and however coarsely they are grouped.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace scanmend {

class PrefixIndex {
 public:
  // Indexes `records`: [length byte][word bytes], one per distinct word.
  // The index keeps offsets into them; every search gets them again.
  void build(std::string_view records);

  // Calls visit(w) for each indexed word w of length letters.size() with
  // w[i] in letters[i] for every i. A letter named twice counts once.
  template <typename Visit>
  void forEachWordWithLetters(std::string_view records, std::span<const std::string_view> letters,
                              Visit&& visit) const;

 private:
  // The first eight bytes of the word, big-endian and zero-padded, so that
  // the first eight levels of a walk compare integers instead of records.
  struct Entry {
    std::uint64_t key;
    std::uint64_t offset;
  };
  struct Range {
    std::size_t begin;
    std::size_t end;
  };
  static constexpr std::size_t kScanBelow = 8;  // ranges this small are checked word by word

  static unsigned char byteAt(std::string_view records, const Entry& entry, std::size_t depth) {
    if (depth < 8) return static_cast<unsigned char>(entry.key >> (56 - 8 * depth));
    return static_cast<unsigned char>(records[entry.offset + 1 + depth]);
  }
  static std::string_view wordAt(std::string_view records, const Entry& entry) {
    return records.substr(entry.offset + 1, static_cast<unsigned char>(records[entry.offset]));
  }
  // The entries of `range` (which share their first `depth` bytes) whose
  // byte at `depth` is `letter`.
  Range narrow(std::string_view records, Range range, std::size_t depth,
               unsigned char letter) const;

  template <typename Visit>
  void walk(std::string_view records, std::span<const std::string_view> letters, Range range,
            std::size_t depth, Visit& visit) const;

  std::vector<Entry> entries_;                  // sorted by length, then by bytes
  std::array<std::size_t, 257> lengthStart_{};  // entries of length n: [start[n], start[n + 1])
  // Per length, where the entries of each first byte start (257 each), or
  // empty for a length without words.
  std::array<std::vector<std::size_t>, 256> firstByteStart_;
};

template <typename Visit>
void PrefixIndex::forEachWordWithLetters(std::string_view records,
                                         std::span<const std::string_view> letters,
                                         Visit&& visit) const {
  if (letters.empty() || letters.size() >= lengthStart_.size() - 1) return;
  const std::vector<std::size_t>& first = firstByteStart_[letters.size()];
  if (first.empty()) return;
  // The first letter picks its range from the table; the walk goes on
  // from the second.
  const std::string_view here = letters[0];
  for (std::size_t j = 0; j < here.size(); ++j) {
    if (here.substr(0, j).find(here[j]) != std::string_view::npos) continue;
    const auto byte = static_cast<unsigned char>(here[j]);
    const Range range{first[byte], first[byte + 1]};
    if (range.begin < range.end) walk(records, letters, range, 1, visit);
  }
}

template <typename Visit>
void PrefixIndex::walk(std::string_view records, std::span<const std::string_view> letters,
                       Range range, std::size_t depth, Visit& visit) const {
  if (range.end - range.begin <= kScanBelow || depth == letters.size()) {
    for (std::size_t k = range.begin; k < range.end; ++k) {
      const std::string_view word = wordAt(records, entries_[k]);
      std::size_t i = depth;
      while (i < word.size() && letters[i].find(word[i]) != std::string_view::npos) ++i;
      if (i == word.size()) visit(word);
    }
    return;
  }
  const std::string_view here = letters[depth];
  for (std::size_t j = 0; j < here.size(); ++j) {
    if (here.substr(0, j).find(here[j]) != std::string_view::npos) continue;
    const Range next = narrow(records, range, depth, static_cast<unsigned char>(here[j]));
    if (next.begin < next.end) walk(records, letters, next, depth + 1, visit);
  }
}

}  // namespace scanmend
