// The command line is the tool's only configuration, and this is its
// vocabulary: every word a run understands, what it declares and what it
// switches on. Its arguments fill two tables: the ConfusionTable (which
// letters the scanner mistakes for which) and the OptionSet (which fixed
// rule groups are switched on). An argument that is none of these words
// means nothing and is ignored.
#pragma once

#include <array>
#include <span>
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

// What an option word acts on, which tells what a change of it can touch.
enum class OptionScope {
  Page,             // the page text before and after the words ("=")
  UnresolvedWords,  // words without a dictionary reading: rule groups, the I/J rule
  FinalF,           // readings of a word-final f ("finals")
};

struct OptionWordEntry {
  OptionWord word;
  std::string_view spelling;  // as the advice writes it
  std::string_view alias;     // the other spelling a run accepts, or empty
  // The letter pair that the word also declares confused both ways, as the
  // three-byte "B" word it is, or that it declares itself ("I"); else empty.
  std::string_view pair;
  OptionScope scope;
  std::string_view description;  // one line, Windows-1252 text
};

// Every option word, in the order of OptionWord.
std::span<const OptionWordEntry> optionWords();
const OptionWordEntry& entryOf(OptionWord word);
// The entry of a spelling or alias ("Bun" gives the entry of Bnu), or null.
const OptionWordEntry* findOptionWord(std::string_view argument);

// Whether `argument` is a confusion word: three bytes, "U" or "B" first.
bool isConfusionWord(std::string_view argument);
// The letters whose class an argument sets: both of "Bxy", the first of
// "Uxy", I and J for "I"; empty for every other argument.
std::string declaredLetters(std::string_view argument);
// A one-line description of any argument, Windows-1252 text.
std::string describeArgument(std::string_view argument);

// Whether a letter with this class is the long s misread as f, the one
// class under which "finals" keeps a word-final f.
inline bool isLongSClass(std::string_view letterClass) {
  return letterClass == "fs" || letterClass == "sf";
}

// First pass: the three-byte "Uxy" and "Bxy" arguments fill the table.
void parseConfusionArguments(const std::vector<std::string>& arguments, ConfusionTable& table);

// Second pass: the option words fill the set; "I" also gives I and J the
// class "IJ", after (and so over) anything the first pass gave them.
void parseOptionWords(const std::vector<std::string>& arguments, OptionSet& options,
                      ConfusionTable& table);

// The tables a run builds from its arguments: both passes, in their order,
// so that "I" decides I and J wherever it stands.
struct RunTables {
  ConfusionTable confusionTable;
  OptionSet optionSet;
};
RunTables parseArguments(const std::vector<std::string>& arguments);

}  // namespace scanmend
