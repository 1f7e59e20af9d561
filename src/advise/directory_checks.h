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

// The findings for the working directory, UTF-8 text, one per entry.
// `dictionaryBytes` are dic.txt as read from disk; `book` the pages a run
// reads (in/001.txt up to the first missing number).
std::vector<std::string> checkWorkingDirectory(std::string_view dictionaryBytes, const Book& book);

// What `scanmend-advise --dictionary-words >> dic.txt` must write so that
// every word is read: a line end first where dic.txt's last line has none,
// then each word on a line of its own, ended as dic.txt ends its lines.
std::string dictionaryLines(const std::vector<std::string>& words,
                            std::string_view dictionaryBytes);

}  // namespace scanmend::advise
