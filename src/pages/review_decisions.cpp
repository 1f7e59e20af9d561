#include "pages/review_decisions.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "base/letters.h"
#include "correction/word_splitting.h"
#include "files/replacement.h"
#include "files/text_files.h"
#include "pages/characters.h"
#include "pages/page_text.h"
#include "pages/review_words.h"

namespace scanmend::pages {
namespace {

// Why `bytes` (Windows-1252) cannot stand as one word of a page, or "".
std::string notOneWord(std::string_view bytes) {
  if (bytes.empty()) return "is empty";
  for (const char c : bytes) {
    if (isWordSeparator(static_cast<unsigned char>(c)))
      return c == ' ' ? "holds a space"
                      : "holds \"" + utf8Of(std::string(1, c)) + "\", which ends a word";
    if (c == kUnreadable) return "holds a character that the pages cannot hold";
  }
  return "";
}

// The first imported word of each word that the joining at line ends
// makes, with how many words it takes.
std::map<std::size_t, std::size_t> joinedStarts(const SourcePage& source) {
  std::map<std::size_t, std::size_t> starts;
  std::size_t first = 0;
  for (const std::size_t width : joinedWordWidths(source)) {
    starts.emplace(first, width);
    first += width;
  }
  return starts;
}

}  // namespace

bool ReviewDecisions::load(const std::string& path, std::ostream& err) {
  name_ = std::filesystem::path(path).filename().string();
  std::string bytes;
  if (const ReadResult read = readFile(path, bytes); read != ReadResult::Read) {
    err << "scanmend-pages: " << path << " " << readFailure(read) << "\n";
    return false;
  }
  std::vector<std::string> problems;
  if (!readDecisionTable(bytes, rows_, problems)) {
    for (const std::string& problem : problems)
      err << "scanmend-pages: " << name_ << " " << problem << "\n";
    err << "scanmend-pages: " << path << " cannot be read as decisions; nothing written\n";
    return false;
  }
  return true;
}

bool ReviewDecisions::check(std::ostream& err) {
  std::string why;
  if (!book_.load(why)) {
    err << "scanmend-pages: " << why << "\n";
    return false;
  }
  // The rows by page, so that each page is read once.
  std::map<std::size_t, std::vector<std::size_t>> byPage;
  std::size_t refused = 0;
  const auto refuse = [&](const DecisionRow& row, const std::string& message) {
    err << "scanmend-pages: " << name_ << " line " << row.line << ": " << row.file << " line "
        << row.pageLine << ", word " << row.word << ": " << message << "\n";
    ++refused;
  };
  std::map<std::tuple<std::string, std::uint32_t, std::uint32_t>, std::size_t> seen;
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    const DecisionRow& row = rows_[r];
    const int page = book_.pageNamed(row.file);
    const auto [earlier, first] = seen.emplace(std::tuple{row.file, row.pageLine, row.word}, r);
    if (page < 0) {
      refuse(row, "no such file among the files corrected");
    } else if (!first) {
      refuse(row, "decided already in line " + std::to_string(rows_[earlier->second].line));
    } else {
      byPage[static_cast<std::size_t>(page)].push_back(r);
    }
  }
  for (const auto& [index, rows] : byPage) {
    BookPage page;
    if (!book_.read(index, page, why)) {
      err << "scanmend-pages: " << why << "\n";
      return false;
    }
    const std::vector<ImportedWord> words = importedWords(page.source);
    const std::map<std::size_t, std::size_t> starts = joinedStarts(page.source);
    for (const std::size_t r : rows) {
      const DecisionRow& row = rows_[r];
      const auto found = std::find_if(words.begin(), words.end(), [&row](const ImportedWord& w) {
        return w.line + 1 == row.pageLine && w.number == row.word;
      });
      if (found == words.end()) {
        refuse(row, row.pageLine > page.source.lineCount()
                        ? "the file has " + std::to_string(page.source.lineCount()) + " lines"
                        : "the line has no such word");
        continue;
      }
      const auto k = static_cast<std::size_t>(found - words.begin());
      const auto start = starts.find(k);
      const std::size_t count = start == starts.end() ? 1 : start->second;
      const ImportedText read = importedRun(page.source, words, k, count);
      if (start == starts.end() && !starts.empty()) {
        refuse(row, "the word is the rest of a word broken at the line end above");
        continue;
      }
      if (read.source != row.read) {
        refuse(row, "the word as read is \"" + read.source + "\" now, not \"" + row.read +
                        "\" as the row says");
        continue;
      }
      Placed placed{r, index, k, read.bytes, importCharacters(row.written).bytes, ""};
      placed.target = row.kind == DecisionRow::Kind::Accept   ? placed.written
                      : row.kind == DecisionRow::Kind::Reject ? placed.read
                                                              : importCharacters(row.typed).bytes;
      const std::string what = row.kind == DecisionRow::Kind::Typed
                                   ? "the word typed, \"" + row.typed + "\","
                                   : "the word written, \"" + row.written + "\",";
      if (const std::string problem = notOneWord(placed.target); !problem.empty()) {
        refuse(row, what + " " + problem + "; a decision writes one word");
        continue;
      }
      placed_.push_back(std::move(placed));
    }
  }
  if (refused > 0) {
    err << "scanmend-pages: " << refused << " of " << rows_.size() << " decisions in " << name_
        << " do not fit the files as they are now; nothing written\n";
    return false;
  }
  std::sort(placed_.begin(), placed_.end(), [](const Placed& a, const Placed& b) {
    return std::tie(a.page, a.word) < std::tie(b.page, b.word);
  });
  return true;
}

bool ReviewDecisions::writeForLearner(const std::string& path) const {
  std::string table = "file\tpage\tline\tword\tread\twritten\tdecision\n";
  const auto hasLetter = [](std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return isLetter(static_cast<unsigned char>(c)); });
  };
  for (const Placed& placed : placed_) {
    const DecisionRow& row = rows_[placed.row];
    // A number or a mark typed ("4" for "A") is written in its place, but
    // is no word to learn from.
    if (!hasLetter(placed.read) || !hasLetter(placed.target)) continue;
    const std::string decision = row.kind == DecisionRow::Kind::Accept   ? "accept"
                                 : row.kind == DecisionRow::Kind::Reject ? "reject"
                                                                         : utf8Of(placed.target);
    table += row.file + '\t' + std::to_string(book_.pages()[placed.page].number) + '\t' +
             std::to_string(row.pageLine) + '\t' + std::to_string(row.word) + '\t' +
             utf8Of(placed.read) + '\t' + utf8Of(placed.written) + '\t' + decision + '\n';
  }
  Replacement file(path);
  return file.write(table) && file.commit();
}

bool ReviewDecisions::apply(std::ostream& err) const {
  for (std::size_t at = 0; at < placed_.size();) {
    const std::size_t index = placed_[at].page;
    const std::int64_t number = book_.pages()[index].number;
    const std::string outPage = pagePath("out", number);
    BookPage page;
    std::string corrected;
    PageAlignment alignment;
    std::string why;
    if (!book_.readCorrected(index, page, corrected, alignment, why)) {
      err << "scanmend-pages: " << why << "\n";
      return false;
    }
    std::size_t word = 0;
    for (; at < placed_.size() && placed_[at].page == index; ++at) {
      const Placed& placed = placed_[at];
      while (word < alignment.corrected.size() && alignment.corrected[word].first < placed.word)
        ++word;
      if (word == alignment.corrected.size() || alignment.corrected[word].first != placed.word) {
        err << "scanmend-pages: " << outPage << ": the word of " << name_ << " line "
            << rows_[placed.row].line << " is not where the import has it\n";
        return false;
      }
      if (alignment.corrected[word].text != placed.target)
        rewriteCorrectedWord(corrected, alignment, word, placed.target);
    }
    Replacement file(outPage);
    if (!file.writeText(corrected) || !file.commit()) {
      err << "scanmend-pages: " << outPage << ": cannot be written\n";
      return false;
    }
  }
  return true;
}

}  // namespace scanmend::pages
