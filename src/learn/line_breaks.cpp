#include "learn/line_breaks.h"

#include <algorithm>

#include "base/letters.h"

namespace scanmend::learn {
namespace {

bool isLetterAt(std::string_view text, std::size_t at) {
  return at < text.size() && isLetter(static_cast<unsigned char>(text[at]));
}

bool isHyphen(char c) { return c == '-' || c == '\xAC' || c == '\xAD'; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool known(const SortedWords& lexicon, std::string_view word) {
  return !word.empty() && containsOrCapitalised(lexicon, word);
}

}  // namespace

std::vector<BrokenWord> brokenWordsOf(std::string_view page, const SortedWords& lexicon) {
  std::vector<BrokenWord> broken;
  for (std::size_t lineFeed = page.find('\n'); lineFeed != std::string_view::npos;
       lineFeed = page.find('\n', lineFeed + 1)) {
    // The line's last piece, before the blanks and CR at its end.
    std::size_t end = lineFeed;
    while (end > 0 && isBlank(page[end - 1])) --end;
    if (end == 0) continue;
    // The next line's first letters.
    std::size_t tailBegin = lineFeed + 1;
    while (tailBegin < page.size() && isBlank(page[tailBegin])) ++tailBegin;
    std::size_t tailEnd = tailBegin;
    while (isLetterAt(page, tailEnd)) ++tailEnd;
    if (tailEnd == tailBegin || isCapital(static_cast<unsigned char>(page[tailBegin]))) continue;
    const std::string_view tail = page.substr(tailBegin, tailEnd - tailBegin);
    // The mark: the last byte, a hyphen, a letter or anything else that
    // follows a letter.
    const std::size_t markBegin = end - 1;
    std::size_t headEnd = markBegin;
    std::size_t headBegin = headEnd;
    while (headBegin > 0 && isLetterAt(page, headBegin - 1)) --headBegin;
    if (headBegin == headEnd) continue;
    const std::string_view head = page.substr(headBegin, headEnd - headBegin);
    const std::string joined = std::string(head) + std::string(tail);
    const char mark = page[markBegin];
    bool joins = false;
    if (isHyphen(mark)) {
      joins = known(lexicon, joined) || !(known(lexicon, head) && known(lexicon, tail));
    } else if (mark != '=' && mark != '.' && mark != ',' && mark != ';' && mark != '?' &&
               mark != ')' && mark != '"') {
      // A letter or mark read for the hyphen: the word with it is none,
      // the joined word is one, and the second half is none on its own.
      const std::string_view withMark = page.substr(headBegin, end - headBegin);
      joins = head.size() >= 2 && !known(lexicon, withMark) && known(lexicon, joined) &&
              !known(lexicon, tail);
    }
    if (joins)
      broken.push_back({headBegin, headEnd, markBegin, end, tailBegin, tailEnd, isHyphen(mark)});
  }
  return broken;
}

std::string withBrokenWordsJoined(std::string_view page, const std::vector<BrokenWord>& broken) {
  std::string joined;
  joined.reserve(page.size());
  std::size_t copied = 0;
  // Only the letters of the second half move up; anything that follows
  // them on its line is a word of its own there.
  for (const BrokenWord& word : broken) {
    joined.append(page.substr(copied, word.headEnd - copied));
    joined.append(page.substr(word.tailBegin, word.tailEnd - word.tailBegin));
    joined.append("\n");
    copied = word.tailEnd;
  }
  joined.append(page.substr(copied));
  return joined;
}

std::pair<std::string, std::string> splitAtBreak(std::string_view read, std::size_t headLength,
                                                 std::string_view decided) {
  if (decided == read)
    return {std::string(read.substr(0, headLength)), std::string(read.substr(headLength))};
  std::size_t prefix = 0;
  while (prefix < read.size() && prefix < decided.size() && read[prefix] == decided[prefix])
    ++prefix;
  std::size_t suffix = 0;
  while (suffix < read.size() - prefix && suffix < decided.size() - prefix &&
         read[read.size() - 1 - suffix] == decided[decided.size() - 1 - suffix])
    ++suffix;
  // The changed bytes are read[prefix, read.size() - suffix).
  std::size_t split = headLength;
  if (read.size() - suffix <= headLength) {
    // Within the first half: the second half keeps its bytes.
    split = decided.size() - (read.size() - headLength);
  } else if (prefix >= headLength) {
    split = headLength;
  } else {
    split = std::min(headLength, decided.size());
  }
  return {std::string(decided.substr(0, split)), std::string(decided.substr(split))};
}

}  // namespace scanmend::learn
