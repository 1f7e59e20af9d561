// The dictionary as a sorted list, searched by narrowing a range of words
// one letter at a time: the learner's readings change a word's length
// (letter groups), which the core's lookups by length cannot follow, and
// a search only goes on along prefixes that some dictionary word has.
//
// The words are those a run of scanmend takes from the same dic.txt: a
// Ctrl-Z ends the list, each LF-ended line is a word (a CR before the LF
// dropped, at most 255 bytes kept), a last line without a line end is not.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scanmend::learn {

class Lexicon {
 public:
  // The words that share their first `depth` bytes: [begin, end) in
  // byte order, so a word that is the prefix of the others comes first.
  struct Range {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t depth = 0;
    bool empty() const { return begin == end; }
  };

  void assign(std::string fileBytes);

  std::size_t size() const { return words_.size(); }
  Range all() const { return {0, words_.size(), 0}; }
  // The words of `range` whose next byte is `byte`.
  Range narrow(Range range, unsigned char byte) const;
  // The words of `range` that continue with `text`.
  Range narrow(Range range, std::string_view text) const;
  // Whether `range` holds the word of exactly its depth's length.
  bool holdsWord(Range range) const {
    return !range.empty() && words_[range.begin].size() == range.depth;
  }
  bool contains(std::string_view word) const { return holdsWord(narrow(all(), word)); }

  // Calls visit(byte, narrowed) for each byte that follows the common
  // prefix in some word of `range`, in byte order.
  template <typename Visit>
  void forEachNext(Range range, Visit&& visit) const {
    std::size_t at = range.begin;
    if (holdsWord(range)) ++at;
    while (at < range.end) {
      const auto byte = static_cast<unsigned char>(words_[at][range.depth]);
      const Range next = narrow({at, range.end, range.depth}, byte);
      visit(byte, next);
      at = next.end;
    }
  }

 private:
  std::string bytes_;
  std::vector<std::string_view> words_;  // distinct, in unsigned byte order
};

}  // namespace scanmend::learn
