// Page traffic on disk. Text files are Windows-1252 bytes with CR LF line
// ends; in memory a line ends with a single LF, and a Ctrl-Z byte ends a
// file's text.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace scanmend {

// Reads all bytes of the file at `path` into `bytes` (replacing them).
// Returns false when the file cannot be opened or a read fails (a directory,
// say); `bytes` is then unspecified.
bool readFileBytes(const std::string& path, std::string& bytes);

// Applies the reading convention to raw file bytes: everything from the
// first Ctrl-Z on is dropped, then each CR LF becomes LF.
void decodeText(std::string& bytes);

// The input path of page `pageNumber`: "in/001.txt", "in/1000.txt".
std::string inputPagePath(std::int64_t pageNumber);

// Prints "Processing file: " and the page's path, then appends the decoded
// page to `page`. Returns false, leaving `page` alone, when the page cannot
// be opened or read.
bool readPage(std::string& page, std::int64_t pageNumber, std::ostream& console);

// Creates or replaces the file at `path` with `text`, each LF written as
// CR LF. Failures are reported on `console` and cost only this file.
void writeTextFile(const std::string& text, const std::string& path, std::ostream& console);

}  // namespace scanmend
