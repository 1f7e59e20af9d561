#include "book/book_hyphens.h"

#include <algorithm>
#include <charconv>

#include "base/letters.h"
#include "base/tab_separated.h"

namespace scanmend {
namespace {

constexpr std::string_view kHeader = "page\tline\n";

// A mark is the book's hyphen only where it joins this many words...
constexpr std::size_t kLeastJoins = 3;
// ...and joins them this many times more often than line ends in a letter
// join to dictionary words by chance, measured on this many of them.
constexpr double kOverChance = 10.0;
constexpr std::size_t kChanceSample = 5000;

bool letter(char c) { return isLetter(static_cast<unsigned char>(c)); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isStandardHyphen(char c) { return c == '-' || c == '=' || c == '\xAD' || c == '\xAC'; }

// The letters that begin `piece`, where it begins with a small letter, as
// the second half of a word broken at a line's end does.
std::string leadingLetters(std::string_view piece) {
  std::size_t end = 0;
  while (end < piece.size() && letter(piece[end])) ++end;
  if (end == 0 || isCapital(static_cast<unsigned char>(piece[0]))) return "";
  return std::string(piece.substr(0, end));
}

// The letters that end `piece`, where nothing but letters follows them
// back to its start or to a mark that opens it.
std::string trailingLetters(std::string_view piece) {
  std::size_t begin = piece.size();
  while (begin > 0 && letter(piece[begin - 1])) --begin;
  return std::string(piece.substr(begin));
}

bool known(const SortedWords& words, std::string_view word) {
  return !word.empty() && containsOrCapitalised(words, word);
}

}  // namespace

void HyphenFinder::add(std::int64_t page, std::uint32_t line, std::string_view last,
                       std::string_view next) {
  const char mark = last.empty() ? ' ' : last.back();
  if (last.size() < 2 || isStandardHyphen(mark) || isDigit(mark)) return;
  std::string second = leadingLetters(next);
  if (second.empty()) return;
  if (letter(mark)) {
    if (plain_.size() < kChanceSample)
      plain_.emplace_back(trailingLetters(last), std::move(second));
    return;
  }
  std::string head = trailingLetters(last.substr(0, last.size() - 1));
  if (head.empty()) return;
  ++ends_[mark];
  marked_.push_back({page, line, std::move(head), mark, std::move(second)});
}

bool HyphenFinder::worthLooking() const {
  return std::any_of(ends_.begin(), ends_.end(),
                     [](const auto& mark) { return mark.second >= kLeastJoins; });
}

BookHyphens HyphenFinder::found(const SortedWords& words) const {
  std::size_t chance = 0;
  for (const auto& [first, second] : plain_) chance += known(words, first + second);
  // Counted as if fifty line ends more had made one word among them: a
  // short book shows too few line ends to tell the chance by itself.
  const double chanceRate =
      (static_cast<double>(chance) + 1) / (static_cast<double>(plain_.size()) + 50);
  std::map<char, std::size_t> joinedBy;
  for (const LineEnd& end : marked_)
    joinedBy[end.mark] += known(words, end.head + end.next) && !known(words, end.head + end.mark);
  BookHyphens hyphens;
  for (const LineEnd& end : marked_) {
    const auto joined = static_cast<double>(joinedBy[end.mark]);
    const bool hyphen =
        joined >= kLeastJoins &&
        joined >= kOverChance * chanceRate * static_cast<double>(ends_.at(end.mark));
    // Joined where the word with its mark is none, and the joined word is
    // one or its halves are not both words: the joined word may be
    // misread ("Da:" and "ter").
    if (hyphen && !known(words, end.head + end.mark) &&
        (known(words, end.head + end.next) || !(known(words, end.head) && known(words, end.next))))
      hyphens[end.page].push_back(end.line);
  }
  return hyphens;  // each page's lines in order, as they were added
}

namespace {

// Calls visit(line, last, next) for each line end of a text page: the
// line's number from 0, the view of its last piece and of the next line's
// first piece, where both lines hold one.
template <typename Visit>
void forEachLineEnd(std::string_view page, Visit visit) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  std::string_view last;
  std::uint32_t line = 0;
  for (std::size_t at = 0; at < page.size(); ++line) {
    const std::size_t end = std::min(page.find('\n', at), page.size());
    std::string_view text = page.substr(at, end - at);
    at = end + 1;
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    std::size_t first = 0;
    while (first < text.size() && isBlank(text[first])) ++first;
    const std::string_view start = text.substr(first, text.find_first_of(" \t", first) - first);
    if (!last.empty() && !start.empty()) visit(line - 1, last, start);
    const std::size_t space = text.find_last_of(" \t");
    last = space == std::string_view::npos ? text : text.substr(space + 1);
  }
}

}  // namespace

std::size_t markOwnHyphens(std::vector<std::string>& pages, const SortedWords& words) {
  HyphenFinder finder;
  for (std::size_t n = 0; n < pages.size(); ++n)
    forEachLineEnd(pages[n], [&](std::uint32_t line, std::string_view last, std::string_view next) {
      finder.add(static_cast<std::int64_t>(n + 1), line, last, next);
    });
  if (!finder.worthLooking()) return 0;
  const BookHyphens hyphens = finder.found(words);
  std::size_t marked = 0;
  for (const auto& entry : hyphens) {
    const HyphenLines& lines = entry.second;
    std::string& page = pages[static_cast<std::size_t>(entry.first - 1)];
    forEachLineEnd(page, [&](std::uint32_t line, std::string_view last, std::string_view) {
      if (!std::binary_search(lines.begin(), lines.end(), line)) return;
      page[static_cast<std::size_t>(last.data() - page.data()) + last.size() - 1] = '=';
      ++marked;
    });
  }
  return marked;
}

std::string hyphensTable(const BookHyphens& hyphens) {
  std::string table(kHeader);
  for (const auto& [page, lines] : hyphens)
    for (const std::uint32_t line : lines)
      table.append(std::to_string(page)).append("\t").append(std::to_string(line + 1)).append("\n");
  return table;
}

bool readHyphensTable(std::string_view table, BookHyphens& hyphens) {
  hyphens.clear();
  if (!table.starts_with(kHeader)) return false;
  for (std::size_t at = kHeader.size(); at < table.size();) {
    const std::size_t end = std::min(table.find('\n', at), table.size());
    const std::vector<std::string_view> cells = tabSeparatedCells(table.substr(at, end - at));
    at = end + 1;
    std::int64_t page = 0;
    std::uint32_t line = 0;
    if (cells.size() != 2 ||
        std::from_chars(cells[0].data(), cells[0].data() + cells[0].size(), page).ptr !=
            cells[0].data() + cells[0].size() ||
        std::from_chars(cells[1].data(), cells[1].data() + cells[1].size(), line).ptr !=
            cells[1].data() + cells[1].size() ||
        page < 1 || line < 1)
      return false;
    hyphens[page].push_back(line - 1);
  }
  for (auto& [page, lines] : hyphens) std::sort(lines.begin(), lines.end());
  return true;
}

}  // namespace scanmend
