// The word list that every reading of a page word is checked against: the
// words of a dictionary file as ListedWords reads them (listed_words.h),
// each kept once. After assign the dictionary is read-only, so one
// instance can serve any number of lookups, in any order.
//
// The words are kept compacted in one buffer, indexed by a flat
// open-addressing hash table: millions of words load in about the time it
// takes to read the file. Where words are placed is chosen by a LetterFold
// (see assign); it decides how fast readings are found, never what is found.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/listed_words.h"
#include "dictionary/prefix_index.h"

namespace scanmend {

// Maps each byte to the representative of the letters it may be exchanged with.
using LetterFold = std::array<unsigned char, 256>;
LetterFold identityFold();
// The number of bytes in the largest group of letters that fold alike.
std::size_t largestFoldGroup(const LetterFold& fold);

// How the readings of a word are searched.
enum class ReadingSearch {
  Automatic,   // folded runs while the fold only pairs letters, else the prefix walk
  FoldedRuns,  // always place by the fold (larger groups make long runs)
  PrefixWalk,  // always place by the word's own letters and walk the sorted index
};

class Dictionary {
 public:
  // Longest word a line can contribute; the rest of a longer line is skipped.
  static constexpr std::size_t kMaxWordLength = ListedWords::kMaxWordLength;

  // Replaces the contents by the words of `fileBytes` (as read from disk).
  // `fold` and `search` decide where words are kept, never what is found:
  // folded by the reading fold of a run's confusions, all readings of a
  // page word live in one probe run, which one scan searches. That holds
  // while the fold only pairs letters; a fold that groups more (chained or
  // cyclic confusions) would put nearly all words of a length into one run,
  // so then words are placed by their own letters and a sorted index answers
  // the reading search by a prefix walk.
  void assign(std::string fileBytes, const LetterFold& fold = identityFold(),
              ReadingSearch search = ReadingSearch::Automatic);

  bool contains(std::string_view word) const { return contains(word, foldedHash(word)); }
  bool contains(std::string_view word, std::uint64_t foldedHash) const;

  // The hash of the word's folded letters, which places it and all words
  // that fold like it. Callers that search for a word more than once (or
  // fetch ahead) compute it once.
  std::uint64_t foldedHash(std::string_view word) const;
  // Starts fetching the table slots that a search with this hash reads first.
  void prefetch(std::uint64_t foldedHash) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[placeOf(foldedHash).home]);
  }
  std::size_t size() const { return wordCount_; }
  std::size_t countOfLength(std::size_t length) const {
    return length <= kMaxWordLength ? countByLength_[length] : 0;
  }

  const LetterFold& fold() const { return fold_; }
  bool walksPrefixes() const { return walksPrefixes_; }

  // Calls visit(w) for every word w that folds to the same letters as
  // `word`.
  template <typename Visit>
  void forEachWordFoldingLike(std::string_view word, std::uint64_t foldedHash, Visit visit) const;
  template <typename Visit>
  void forEachWordFoldingLike(std::string_view word, Visit visit) const {
    forEachWordFoldingLike(word, foldedHash(word), visit);
  }

  // Calls visit(w) for every word w with w[i] in letters[i] for each
  // position i. Only for a dictionary that walksPrefixes().
  template <typename Visit>
  void forEachWordWithLetters(std::span<const std::string_view> letters, Visit&& visit) const {
    assert(walksPrefixes_);
    prefixIndex_.forEachWordWithLetters(records_, letters, visit);
  }

 private:
  struct Place {
    std::size_t home;
    std::uint64_t tag;
  };
  Place placeOf(std::uint64_t foldedHash) const {
    const auto home = static_cast<std::size_t>(
        (static_cast<unsigned __int128>(foldedHash) * slots_.size()) >> 64);
    return {home, foldedHash & kTagMask};
  }
  bool foldsAlike(std::string_view a, std::string_view b) const;
  std::string_view recordAt(std::uint64_t slot) const;
  std::size_t next(std::size_t index) const { return index + 1 == slots_.size() ? 0 : index + 1; }

  static constexpr std::uint64_t kTagBits = 24;
  static constexpr std::uint64_t kTagMask = (std::uint64_t{1} << kTagBits) - 1;

  std::string records_;               // [length byte][word bytes] per distinct word
  std::vector<std::uint64_t> slots_;  // 0, or (record offset + 1) << 24 | folded-hash tag
  LetterFold fold_ = identityFold();
  bool foldIsIdentity_ = true;
  bool walksPrefixes_ = false;
  PrefixIndex prefixIndex_;  // built only when walksPrefixes_
  std::size_t wordCount_ = 0;
  std::array<std::size_t, kMaxWordLength + 1> countByLength_{};
};

template <typename Visit>
void Dictionary::forEachWordFoldingLike(std::string_view word, std::uint64_t foldedHash,
                                        Visit visit) const {
  if (countOfLength(word.size()) == 0) return;
  const Place place = placeOf(foldedHash);
  for (std::size_t index = place.home; slots_[index] != 0; index = next(index)) {
    if ((slots_[index] & kTagMask) != place.tag) continue;
    const std::string_view candidate = recordAt(slots_[index]);
    if (foldsAlike(candidate, word)) visit(candidate);
  }
}

bool containsWord(const Dictionary& dictionary, std::string_view word);

}  // namespace scanmend
