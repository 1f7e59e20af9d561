// The command line is the tool's only configuration. Its arguments fill two
// tables: the ConfusionTable (which letters the scanner mistakes for which)
// and the OptionSet (which fixed rule groups are switched on).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace scanmend {

// Maps a byte to its confusion class: the letters it may really stand for.
// A byte without an entry stands only for itself.
class ConfusionTable {
 public:
  // The class of `letter`, or an empty view when it has none.
  std::string_view classOf(unsigned char letter) const { return classes_[letter]; }
  // Gives `letter` the class `letters`, replacing any earlier one.
  void assign(unsigned char letter, std::string letters) { classes_[letter] = std::move(letters); }

 private:
  std::array<std::string, 256> classes_;
};

// The option words a run can switch on. "Bun", "Bvo" and "BVB" on the
// command line enter the same words as "Bnu", "Bov" and "BBV".
enum class OptionWord {
  I,
  Join /* "=" */,
  Bnu,
  Bov,
  BBV,
  German /* "german" */,
  Finals /* "finals" */
};

class OptionSet {
 public:
  bool contains(OptionWord word) const { return (bits_ & bit(word)) != 0; }
  void insert(OptionWord word) { bits_ |= bit(word); }

 private:
  static unsigned bit(OptionWord word) { return 1u << static_cast<unsigned>(word); }
  unsigned bits_ = 0;
};

// First pass: the three-byte "Uxy" and "Bxy" arguments fill the table.
void parseConfusionArguments(const std::vector<std::string>& arguments, ConfusionTable& table);

// Second pass: the option words fill the set; "I" also gives I and J the
// class "IJ", after (and so over) anything the first pass gave them.
void parseOptionWords(const std::vector<std::string>& arguments, OptionSet& options,
                      ConfusionTable& table);

}  // namespace scanmend
