// The dictionary's words sorted in byte order, searched by narrowing a
// range of words one letter at a time: the second view of a dictionary
// file beside the hashed lookup (dictionary.h), for searches whose readings
// change a word's length (letter groups), which lookups by length cannot
// follow. A search only goes on along prefixes that some dictionary word
// has. The words are those ListedWords reads from the file's bytes, each
// kept once. Build it only where such searches are made: it sorts the
// whole list.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scanmend {

class SortedWords {
  static constexpr std::uint32_t kNoNode = UINT32_MAX;

 public:
  // The words that share their first `depth` bytes: [begin, end) in
  // byte order, so a word that is the prefix of the others comes first.
  struct Range {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t depth = 0;
    std::uint32_t node = kNoNode;  // the range's place in the index of short prefixes
    bool empty() const { return begin == end; }
  };

  void assign(std::string fileBytes);

  std::size_t size() const { return starts_.size() - 1; }
  Range all() const { return {0, size(), 0, nodes_.empty() ? kNoNode : 0}; }
  // The words of `range` whose next byte is `byte`.
  Range narrow(Range range, unsigned char byte) const;
  // The words of `range` that continue with `text`.
  Range narrow(Range range, std::string_view text) const;
  // Whether `range` holds the word of exactly its depth's length.
  bool holdsWord(Range range) const { return !range.empty() && length(range.begin) == range.depth; }
  bool contains(std::string_view word) const;
  // The word at `index` of the byte order, below size().
  std::string_view word(std::size_t index) const {
    return std::string_view(text_).substr(starts_[index], length(index));
  }

  // Calls visit(byte, narrowed) for each byte that follows the common
  // prefix in some word of `range`, in byte order.
  template <typename Visit>
  void forEachNext(Range range, Visit&& visit) const {
    if (range.node != kNoNode) {
      const Node& node = nodes_[range.node];
      for (std::uint32_t b = node.first; b < node.last; ++b) {
        const Branch& branch = branches_[b];
        visit(branch.byte, Range{branch.begin, branch.end, range.depth + 1, branch.node});
      }
      return;
    }
    std::size_t at = range.begin;
    if (holdsWord(range)) ++at;
    while (at < range.end) {
      const unsigned char byte = byteAt(at, range.depth);
      const Range next{at, endOfByte(at, range.end, range.depth), range.depth + 1};
      visit(byte, next);
      at = next.end;
    }
  }

 private:
  // The branches of the prefixes shorter than kIndexedDepth, made once:
  // every search passes through them, and their ranges are the largest.
  static constexpr std::size_t kIndexedDepth = 3;
  struct Branch {
    unsigned char byte;
    std::uint32_t node;  // kNoNode at kIndexedDepth
    std::size_t begin;
    std::size_t end;
  };
  struct Node {
    std::uint32_t first;  // branches_[first, last), in byte order
    std::uint32_t last;
  };
  std::uint32_t index(Range range);

  // The end of the words from `from` on that hold from's byte at `depth`.
  std::size_t endOfByte(std::size_t from, std::size_t end, std::size_t depth) const;
  std::size_t length(std::size_t word) const { return starts_[word + 1] - starts_[word]; }
  // The byte at `depth` of a word longer than `depth`.
  unsigned char byteAt(std::size_t word, std::size_t depth) const {
    return static_cast<unsigned char>(text_[starts_[word] + depth]);
  }

  // The distinct words in unsigned byte order, one after the other, so
  // that neighbours in the order are neighbours in memory: word i is
  // text_[starts_[i], starts_[i + 1]).
  std::string text_;
  std::vector<std::size_t> starts_{0};
  std::vector<Node> nodes_;  // the root first
  std::vector<Branch> branches_;
};

// Whether `word` is listed, or is the capitalised form of a listed word
// (a sentence start: "Die" where the list holds "die").
bool containsOrCapitalised(const SortedWords& words, std::string_view word);

}  // namespace scanmend
