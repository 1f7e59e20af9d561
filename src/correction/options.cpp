#include "correction/options.h"

namespace scanmend {
namespace {

constexpr std::array<OptionWordEntry, 7> kOptionWords{{
    {OptionWord::I, "I", "", "IJ", OptionScope::UnresolvedWords,
     "I and J are confused both ways; an unknown word starting with I or J takes J before a small "
     "vowel, I otherwise"},
    {OptionWord::Join, "=", "", "", OptionScope::Page,
     "words broken at a line end with \"=\" are joined"},
    {OptionWord::Bnu, "Bnu", "Bun", "nu", OptionScope::UnresolvedWords,
     "n and u are confused both ways, with the n/u repair rules"},
    {OptionWord::Bov, "Bov", "Bvo", "ov", OptionScope::UnresolvedWords,
     "o and v are confused both ways, with the o/v repair rules"},
    {OptionWord::BBV, "BBV", "BVB", "BV", OptionScope::UnresolvedWords,
     "B and V are confused both ways, with the \"Bor\" to \"Vor\" rule"},
    {OptionWord::German, "german", "", "", OptionScope::UnresolvedWords,
     "the fixed Fraktur repairs of unknown words (\"fch\" to \"sch\", \"qn\" to \"qu\", ...), "
     "\"a*s\" settled to \"aus\", every \"=\" made \"-\""},
    {OptionWord::Finals, "finals", "", "", OptionScope::FinalF,
     "a word-final f stays f (no word ends in a long s)"},
}};

}  // namespace

std::span<const OptionWordEntry> optionWords() { return kOptionWords; }

const OptionWordEntry& entryOf(OptionWord word) { return kOptionWords[static_cast<int>(word)]; }

const OptionWordEntry* findOptionWord(std::string_view argument) {
  for (const OptionWordEntry& entry : kOptionWords)
    if (argument == entry.spelling || (!entry.alias.empty() && argument == entry.alias))
      return &entry;
  return nullptr;
}

bool isConfusionWord(std::string_view argument) {
  return argument.size() == 3 && (argument[0] == 'U' || argument[0] == 'B');
}

std::string declaredLetters(std::string_view argument) {
  if (const OptionWordEntry* entry = findOptionWord(argument);
      entry && entry->word == OptionWord::I)
    return std::string(entry->pair);
  if (!isConfusionWord(argument)) return "";
  return std::string(argument.substr(1, argument[0] == 'B' ? 2 : 1));
}

std::string describeArgument(std::string_view argument) {
  if (const OptionWordEntry* entry = findOptionWord(argument))
    return std::string(entry->description);
  if (isConfusionWord(argument)) {
    const std::string x(argument.substr(1, 1));
    const std::string y(argument.substr(2, 1));
    if (argument[0] == 'U') return "the scanner's " + x + " may be " + y;
    return x + " and " + y + " are confused both ways";
  }
  return std::string(argument);
}

void parseConfusionArguments(const std::vector<std::string>& arguments, ConfusionTable& table) {
  for (const std::string& argument : arguments) {
    if (!isConfusionWord(argument)) continue;
    const auto scanned = static_cast<unsigned char>(argument[1]);
    const auto meant = static_cast<unsigned char>(argument[2]);
    const std::string pair = argument.substr(1);
    table.assign(scanned, pair);
    if (argument[0] == 'B') table.assign(meant, pair);  // "U" is one way: no entry for meant
  }
}

void parseOptionWords(const std::vector<std::string>& arguments, OptionSet& options,
                      ConfusionTable& table) {
  for (const std::string& argument : arguments) {
    const OptionWordEntry* entry = findOptionWord(argument);
    if (entry == nullptr) continue;
    options.insert(entry->word);
    if (entry->word == OptionWord::I) {
      table.assign('I', std::string(entry->pair));
      table.assign('J', std::string(entry->pair));
    }
  }
}

RunTables parseArguments(const std::vector<std::string>& arguments) {
  RunTables tables;
  parseConfusionArguments(arguments, tables.confusionTable);
  parseOptionWords(arguments, tables.optionSet, tables.confusionTable);
  return tables;
}

}  // namespace scanmend
