#include "correction/options.h"

namespace scanmend {

void parseConfusionArguments(const std::vector<std::string>& arguments, ConfusionTable& table) {
  for (const std::string& argument : arguments) {
    if (argument.size() != 3) continue;
    const auto scanned = static_cast<unsigned char>(argument[1]);
    const auto meant = static_cast<unsigned char>(argument[2]);
    const std::string pair = argument.substr(1);
    if (argument[0] == 'U') {
      table.assign(scanned, pair);  // one way: no entry for the second letter
    } else if (argument[0] == 'B') {
      table.assign(scanned, pair);
      table.assign(meant, pair);
    }
  }
}

void parseOptionWords(const std::vector<std::string>& arguments, OptionSet& options,
                      ConfusionTable& table) {
  for (const std::string& argument : arguments) {
    if (argument == "I") {
      options.insert(OptionWord::I);
      table.assign('I', "IJ");
      table.assign('J', "IJ");
    } else if (argument == "=") {
      options.insert(OptionWord::Join);
    } else if (argument == "Bun" || argument == "Bnu") {
      options.insert(OptionWord::Bnu);
    } else if (argument == "Bov" || argument == "Bvo") {
      options.insert(OptionWord::Bov);
    } else if (argument == "BBV" || argument == "BVB") {
      options.insert(OptionWord::BBV);
    } else if (argument == "german") {
      options.insert(OptionWord::German);
    } else if (argument == "finals") {
      options.insert(OptionWord::Finals);
    }
  }
}

}  // namespace scanmend
