// The mistakes a user makes in a book's working directory that make a run
// quietly worse: files in UTF-8 instead of Windows-1252, pages that a run
// never reads (a gap in the numbers, other names), no out/ directory, a
// dictionary whose last line or tail is never read. Each finding comes
// with the command that fixes it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/book.h"

namespace scanmend::advise {

// The findings for the working directory, UTF-8 text, one per entry: of
// dic.txt, from its bytes as read from disk; then of the pages and out/,
// `book` being the pages a run reads (in/001.txt up to the first missing
// number), added to `findings`.
std::vector<std::string> checkDictionaryFile(std::string_view dictionaryBytes);
void checkPages(const Book& book, std::vector<std::string>& findings);

// How dic.txt ends its lines, which words appended to it must follow: all
// a caller keeps of the file's bytes once the dictionary holds its words.
struct DictionaryEnding {
  std::string_view lineEnd = "\n";  // "\r\n" where the first line ends so
  bool lastLineOpen = false;        // the last line has no line end
};
DictionaryEnding dictionaryEndingOf(std::string_view dictionaryBytes);

// What `scanmend-advise --dictionary-words >> dic.txt` must write so that
// every word is read: a line end first where dic.txt's last line has none,
// then each word on a line of its own, ended as dic.txt ends its lines.
std::string dictionaryLines(const std::vector<std::string>& words, const DictionaryEnding& ending);

}  // namespace scanmend::advise
