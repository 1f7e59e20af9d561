// A book's misreading profile: what the scanner made of which letters in
// this book. The folder profile/ offers the profile and everything that
// makes or reads one:
//  - profile.h: the profile, and profile.tsv read and written;
//  - readings.h: the dictionary readings of a scanned word through a
//    profile, each with its probability; a word's one-exchange neighbours;
//  - evidence.h: which exchanges are the scanner's misreadings, measured
//    against the dictionary's own neighbourhood;
//  - learning.h: a profile learned from a book's words and the dictionary.
// A caller needs the dictionary's sorted view (dictionary/sorted_words.h)
// for readings, evidence and learning, and a book's words (book/book.h)
// for learning.
//
// For a scanned letter or group of two letters, the profile holds the
// readings it stands for in this book, each with its probability, the
// share of that scanned letter or group that stands for the reading. What
// is left of the share stays as scanned. The end of a word has readings of
// its own: the long s, most often read as "f", never ends a word, so a
// final "f" is mostly an f. The profile is written as profile.tsv, which a
// user may edit and give back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "profile/spelling.h"

namespace scanmend {

struct Reading {
  std::string text;  // no letter (one the OCR added), one or two; never the scanned ones
  double probability = 0;
  std::int64_t words = 0;             // distinct words of the book it resolved
  std::vector<std::string> examples;  // "scanned>reading", the most frequent first
  bool fromPrior = false;             // the prior holds it: kept though the book shows it little
};

struct ProfileEntry {
  // One or two bytes; none, at the end, for the letters the OCR leaves
  // off a word ("dur" for "durch").
  std::string scanned;
  bool atEnd = false;  // where they end the word; elsewhere when false
  std::vector<Reading> readings;
  // The share that stays as scanned.
  double stay() const;
};

// A rule of the period's spelling as the book follows it: how surely
// (weight, from 0 to 1), in how many of its words, with examples.
struct SpellingUse {
  SpellingRule rule;
  double weight = 0;
  std::int64_t words = 0;
  std::vector<std::string> examples;
};

class Profile {
 public:
  // Sets the entry of its scanned letters and place, replacing an earlier
  // one; one without readings is dropped.
  void set(ProfileEntry entry);
  // Replaces all entries by these at once; of two with the same scanned
  // letters and place, the later stands.
  void assign(std::vector<ProfileEntry> entries);
  // The entry of one or two scanned bytes at the end of a word or
  // elsewhere, or nullptr.
  const ProfileEntry* find(std::string_view scanned, bool atEnd) const;
  const std::vector<ProfileEntry>& entries() const { return entries_; }
  bool empty() const { return entries_.empty(); }

  // The spelling rules that the book follows, beside its misreadings.
  const std::vector<SpellingUse>& spelling() const { return spelling_; }
  void setSpelling(std::vector<SpellingUse> spelling) { spelling_ = std::move(spelling); }

 private:
  void reindex();
  std::vector<ProfileEntry> entries_;             // in byte order of the scanned letters
  std::array<std::array<int, 256>, 2> single_{};  // entry + 1 by place and byte, 0 for none
  std::array<std::unordered_map<std::uint16_t, int>, 2> pairs_;
  int leftOff_ = 0;  // entry + 1 of the letters left off at the end, 0 for none
  std::vector<SpellingUse> spelling_;
};

// profile.tsv: a header line, then per scanned letters and place their
// readings, the most probable first, and a last row for what stays as
// scanned: "scanned\tplace\treading\tprobability\twords\texamples\tkind",
// Windows-1252, the place "end" or "other", the examples separated by
// blanks, the kind "misreading". An empty reading is a letter that the OCR
// added. Then the spelling rules that the book follows: the historical
// letters, the place ("start", "end" or "anywhere"), the letters of 1901,
// the rule's weight, the words and examples, and the kind "spelling".
std::string formatProfile(const Profile& profile);

// Reads a profile as formatProfile writes it, in Windows-1252 or UTF-8
// (which it converts), and the rows of the six columns that profiles had
// before they showed the spelling. The rows that keep the scanned letters
// are not read: what stays is always what the readings leave. False, with
// the line and the reason in `error`, for a row that cannot be read or
// readings of one scanned group that add up to more than 1.
bool parseProfile(std::string_view text, Profile& profile, std::string& error);

}  // namespace scanmend
