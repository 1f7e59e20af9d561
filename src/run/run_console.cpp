#include "run/run_console.h"

#include <algorithm>

#include "base/version.h"
#include "correction/options.h"

namespace scanmend {
namespace {

// `head`, padded to the description's column, then `text` wrapped to fit
// an 80-column terminal.
std::string wrapped(std::string head, std::string_view text) {
  constexpr std::size_t kColumn = 15;
  constexpr std::size_t kWidth = 79;
  head.resize(std::max(head.size() + 1, kColumn), ' ');
  std::string out;
  std::string line = std::move(head);
  std::size_t lineStart = line.size();
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(' '), text.size());
    const std::string_view word = text.substr(0, end);
    if (line.size() > lineStart && line.size() + 1 + word.size() > kWidth) {
      out += line + "\n";
      line.assign(kColumn, ' ');
      lineStart = line.size();
    }
    if (line.size() > lineStart) line += ' ';
    line += word;
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return out + line + "\n";
}

}  // namespace

void printBanner(std::ostream& console) {
  console << "Starting scanmend " << kVersion << "\r\n\r\n";
  console.flush();
}

void printReadingDictionary(std::ostream& console) {
  console << "Reading dictionary ... ";
  console.flush();
}

void printDictionaryRead(std::ostream& console) {
  console << "done!\r\n";
  console.flush();
}

void printDictionaryNotFound(std::ostream& console) {
  console << "Dictionary file not found!";
  console.flush();
}

void printProcessingFile(const std::string& path, std::ostream& console) {
  console << "Processing file: " << path << "\n";
  console.flush();
}

void printWriteResult(WriteResult result, std::ostream& console) {
  switch (result) {
    case WriteResult::Written:
      return;
    case WriteResult::NotOpened:
      console << "Error opening output file\n";
      break;
    case WriteResult::NotWritten:
      console << "Error writing output file\n";
      break;
  }
  console.flush();
}

void printStatistics(const RunStats& stats, std::ostream& console) {
  console << "\r\nStats:\r\n\r\n" << formatCounterLines(stats, "", "\r\n") << "\r\n";
  console.flush();
}

void printUsage(std::ostream& console) {
  console << "Usage: scanmend [WORD...]\n"
             "\n"
             "Run in a book's working directory: reads dic.txt and the pages in/001.txt,\n"
             "in/002.txt, ... up to the first missing number, writes the corrected pages\n"
             "to out/ (which must exist) and the unresolved words to word_fr.txt, and\n"
             "prints statistics. All files are Windows-1252 text.\n"
             "\n"
             "Words (any other word is ignored):\n"
             "  Uxy          the scanner's x may be y (one way)\n"
             "  Bxy          x and y are confused both ways\n";
  for (const OptionWordEntry& entry : optionWords()) {
    std::string names(entry.spelling);
    if (!entry.alias.empty()) names.append(", ").append(entry.alias);
    console << wrapped("  " + names, entry.description);
  }
  console << "\n"
             "Exit status: 0 after a complete run, 1 when dic.txt cannot be read, 2 when\n"
             "a page or word_fr.txt could not be written.\n"
             "\n"
             "scanmend-advise proposes the words for a book:\n"
             "  args=$(scanmend-advise --args-only) && scanmend $args\n"
             "See man scanmend and man scanmend-advise.\n";
  console.flush();
}

void printVersion(std::ostream& console) {
  console << "scanmend " << kVersion << "\n";
  console.flush();
}

}  // namespace scanmend
