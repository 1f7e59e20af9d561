// The word list that every reading of a page word is checked against.
// Loaded once from "dic.txt" (one word per line), read-only afterwards.
//
// The file is read whole into one buffer and compacted in place into
// length-prefixed records; a flat open-addressing hash table indexes them.
// No word gets an allocation of its own, so millions of words load in
// about the time it takes to read the file.
//
// A word's place in the table comes from its letters folded through a
// LetterFold that maps letters the scanner confuses onto one of them; its
// tag comes from its exact letters. So all readings of a page word (which
// differ only in confused letters) probe the same few cache lines, and the
// tags tell them apart without touching the words.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace scanmend {

// Maps each byte to the representative of the letters it may be exchanged with.
using LetterFold = std::array<unsigned char, 256>;
LetterFold identityFold();

class Dictionary {
 public:
  // Longest word a line can contribute; the rest of a longer line is skipped.
  static constexpr std::size_t kMaxWordLength = 255;

  // Replaces the contents by the words of `fileBytes` (as read from disk).
  // `fold` only decides where words are kept, never what is found.
  void assign(std::string fileBytes, const LetterFold& fold = identityFold());

  bool contains(std::string_view word) const;

  // For asking about many readings of one word: where words that fold like
  // `word` are kept, and whether two letters fold together. containsAt(w, p)
  // answers contains(w) for any w that folds to the same letters as the
  // word that gave p.
  std::uint64_t placeOf(std::string_view word) const { return foldedHash(word); }
  bool foldsTogether(unsigned char a, unsigned char b) const { return fold_[a] == fold_[b]; }
  bool containsAt(std::string_view word, std::uint64_t place) const;
  std::size_t size() const { return wordCount_; }
  std::size_t countOfLength(std::size_t length) const {
    return length <= kMaxWordLength ? countByLength_[length] : 0;
  }

  // The words of one length in ascending byte order. Built on first use and
  // kept: only words whose readings are too many to try one by one need it.
  const std::vector<std::string_view>& sortedWordsOfLength(std::size_t length) const;

 private:
  std::string_view recordAt(std::uint64_t offset) const;
  std::size_t findSlot(std::string_view word, std::uint64_t place) const;
  std::uint64_t foldedHash(std::string_view word) const;

  std::string records_;               // [length byte][word bytes] per distinct word
  std::vector<std::uint64_t> slots_;  // 0, or (record offset + 1) << 16 | hash tag
  LetterFold fold_ = identityFold();
  std::size_t wordCount_ = 0;
  std::array<std::size_t, kMaxWordLength + 1> countByLength_{};
  mutable std::array<std::vector<std::string_view>, kMaxWordLength + 1> sortedByLength_;
  mutable std::array<bool, kMaxWordLength + 1> sortedBuilt_{};
};

// Prints "Reading dictionary ... " and loads `fileName` into `dictionary`,
// then prints "done!". When the file cannot be read it prints
// "Dictionary file not found!" instead and returns false.
bool loadDictionary(Dictionary& dictionary, const std::string& fileName, std::ostream& console,
                    const LetterFold& fold = identityFold());

bool containsWord(const Dictionary& dictionary, std::string_view word);

}  // namespace scanmend
