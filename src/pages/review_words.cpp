#include "pages/review_words.h"

#include "correction/word_splitting.h"
#include "pages/page_text.h"

namespace scanmend::pages {

std::string PageAlignment::readOf(const CorrectedWord& word) const {
  std::string read;
  for (std::size_t k = word.first; k < word.first + word.count; ++k) read += imported[k].text;
  return read;
}

std::vector<ImportedWord> importedWords(const SourcePage& source) {
  std::vector<ImportedWord> words;
  PageLines lines(source);
  for (std::uint32_t line = 0; lines.next(); ++line) {
    const std::string_view text = lines.text();
    std::size_t at = 0;
    std::size_t piece = 0;
    std::uint32_t number = 0;
    std::uint32_t spaced = 1;
    std::size_t counted = 0;  // the bytes whose spaces are in `spaced`
    for (std::string_view word = nextWord(text, at); !word.empty(); word = nextWord(text, at)) {
      const auto start = static_cast<std::size_t>(word.data() - text.data());
      while (lines.pieces()[piece].start + lines.pieces()[piece].length <= start) ++piece;
      const PageLines::Piece& placed = lines.pieces()[piece];
      for (; counted < start; ++counted) spaced += text[counted] == ' ';
      words.push_back({line, ++number, spaced, placed.token, start - placed.start,
                       start - placed.start + word.size(), std::string(word)});
    }
  }
  return words;
}

bool alignCorrectedPage(const SourcePage& source, std::string_view corrected,
                        PageAlignment& alignment, std::string& reason) {
  alignment.imported = importedWords(source);
  alignment.corrected.clear();
  std::size_t at = 0;
  for (std::string_view word = nextWord(corrected, at); !word.empty();
       word = nextWord(corrected, at))
    alignment.corrected.push_back(
        {0, 1, static_cast<std::size_t>(word.data() - corrected.data()), std::string(word)});
  // As many words as imported: word for word, whether or not lines were
  // joined (a join that takes no word away moves none). Else the joining
  // tells how many imported words each corrected one stands for.
  const std::size_t imported = alignment.imported.size();
  std::vector<std::size_t> widths;
  if (alignment.corrected.size() != imported) widths = joinedWordWidths(source);
  if (!widths.empty() && widths.size() != alignment.corrected.size()) {
    reason = "has " + std::to_string(alignment.corrected.size()) + " words where the import gave " +
             std::to_string(imported);
    return false;
  }
  if (widths.empty() && alignment.corrected.size() != imported) {
    reason = "has " + std::to_string(alignment.corrected.size()) + " words where the import gave " +
             std::to_string(imported);
    return false;
  }
  std::size_t first = 0;
  for (std::size_t k = 0; k < alignment.corrected.size(); ++k) {
    alignment.corrected[k].first = first;
    alignment.corrected[k].count = widths.empty() ? 1 : widths[k];
    first += alignment.corrected[k].count;
  }
  return true;
}

void rewriteCorrectedWord(std::string& corrected, PageAlignment& alignment, std::size_t index,
                          std::string_view text) {
  CorrectedWord& word = alignment.corrected[index];
  corrected.replace(word.at, word.text.size(), text);
  const auto moved =
      static_cast<std::ptrdiff_t>(text.size()) - static_cast<std::ptrdiff_t>(word.text.size());
  word.text = std::string(text);
  for (std::size_t k = index + 1; k < alignment.corrected.size(); ++k)
    alignment.corrected[k].at =
        static_cast<std::size_t>(static_cast<std::ptrdiff_t>(alignment.corrected[k].at) + moved);
}

}  // namespace scanmend::pages
