// How a page falls into words: a word is a longest run of bytes that are
// not word separators, and every byte between words is a separator. The
// run, the advisor and the tests all cut pages here, so that what is
// weighed or checked anywhere is what a run corrects.
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace scanmend {

// The 28 separating bytes: space , . - ; : ! ? ' + & % $ section-sign ^
// degree-sign ( ) = / [ ] " LF CR TAB and the two guillemets.
inline constexpr std::string_view kWordSeparators = " ,.-;:!?'+&%$\xA7^\xB0()=/[]\"\n\r\t\xAB\xBB";
static_assert(kWordSeparators.size() == 28);

namespace detail {
constexpr std::array<bool, 256> makeSeparatorTable() {
  std::array<bool, 256> table{};
  for (const char c : kWordSeparators) table[static_cast<unsigned char>(c)] = true;
  return table;
}
inline constexpr std::array<bool, 256> kIsSeparator = makeSeparatorTable();
}  // namespace detail

inline bool isWordSeparator(unsigned char byte) { return detail::kIsSeparator[byte]; }

// The next word of `text` from `at` on, with `at` moved past it; an empty
// view (and `at` at the end) when no word is left. The word is a view into
// `text`, so its position there is word.data() - text.data().
inline std::string_view nextWord(std::string_view text, std::size_t& at) {
  while (at < text.size() && isWordSeparator(static_cast<unsigned char>(text[at]))) ++at;
  const std::size_t start = at;
  while (at < text.size() && !isWordSeparator(static_cast<unsigned char>(text[at]))) ++at;
  return text.substr(start, at - start);
}

// Calls visit(word) for each word of `text`, in order.
template <typename Visit>
void forEachWord(std::string_view text, Visit visit) {
  std::size_t at = 0;
  for (std::string_view word = nextWord(text, at); !word.empty(); word = nextWord(text, at))
    visit(word);
}

inline std::vector<std::string_view> splitWords(std::string_view text) {
  std::vector<std::string_view> words;
  forEachWord(text, [&words](std::string_view word) { words.push_back(word); });
  return words;
}

}  // namespace scanmend
