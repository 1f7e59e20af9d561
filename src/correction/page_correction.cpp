#include "correction/page_correction.h"

#include <array>
#include <string_view>

#include "correction/line_joining.h"
#include "correction/phrase_repairs.h"

namespace scanmend {
namespace {

// space , . - ; : ! ? ' + & % $ section-sign ^ degree-sign ( ) = / [ ] " LF CR TAB
// and the two guillemets
constexpr std::string_view kWordSeparators = " ,.-;:!?'+&%$\xA7^\xB0()=/[]\"\n\r\t\xAB\xBB";
static_assert(kWordSeparators.size() == 28);

constexpr std::array<bool, 256> makeSeparatorTable() {
  std::array<bool, 256> table{};
  for (const char c : kWordSeparators) table[static_cast<unsigned char>(c)] = true;
  return table;
}
constexpr std::array<bool, 256> kIsSeparator = makeSeparatorTable();

}  // namespace

bool isWordSeparator(unsigned char byte) { return kIsSeparator[byte]; }

std::string correctPage(std::string page, CorrectionContext& context) {
  if (context.optionSet.contains(OptionWord::Join)) page = joinHyphenatedLines(std::move(page));

  std::string output;
  output.reserve(page.size());
  const std::string_view text(page);
  std::size_t wordStart = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const bool atEnd = i == text.size();
    if (!atEnd && !kIsSeparator[static_cast<unsigned char>(text[i])]) continue;
    if (i > wordStart) output += correctWord(text.substr(wordStart, i - wordStart), context);
    if (!atEnd) output += text[i];
    wordStart = i + 1;
  }
  page = std::string();

  if (context.optionSet.contains(OptionWord::German)) output = repairPhrases(std::move(output));
  return output;
}

}  // namespace scanmend
