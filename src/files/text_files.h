// Page traffic on disk. Text files are Windows-1252 bytes with CR LF line
// ends; in memory a line ends with a single LF, and a Ctrl-Z byte ends a
// file's text. Nothing here prints: callers learn of every failure from
// the result and decide what to tell the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scanmend {

enum class ReadResult {
  Read,
  NotOpened,    // missing, or no permission
  NotRegular,   // a directory, a device, a pipe or a socket: never waited on or read
  NotRead,      // a read failed
  OutOfMemory,  // larger than the memory there is
};

// Reads all bytes of the regular file at `path` into `bytes` (replacing
// them), sized by the file before anything is allocated. Anything else
// (a directory, /dev/zero, a FIFO that no one writes) is refused at once;
// `bytes` is unspecified after a failure.
ReadResult readFile(const std::string& path, std::string& bytes);
bool readFileBytes(const std::string& path, std::string& bytes);

// Why a file could not be read, for a message after its name: "is not a
// regular file", ...
std::string_view readFailure(ReadResult result);

// Applies the reading convention to raw file bytes: everything from the
// first Ctrl-Z on is dropped, then each CR LF becomes LF.
void decodeText(std::string& bytes);

// The path of page `pageNumber` in `directory`, the number with at least
// three digits: pagePath("in", 1) is "in/001.txt", pagePath("./out", 1000)
// is "./out/1000.txt".
std::string pagePath(std::string_view directory, std::int64_t pageNumber);

// Appends the decoded text of the file at `path` to `page`. Returns false,
// leaving `page` alone, when the file cannot be opened or read.
bool readPage(std::string& page, const std::string& path);
ReadResult readPageFile(std::string& page, const std::string& path);

enum class WriteResult {
  Written,
  NotOpened,  // not created: a missing directory, no permission, a directory of that name
  NotWritten  // created, but a write, flush or close failed (a full disk): the file is incomplete
};

// Appends `text` to `out` with each LF written as CR LF.
void appendWithCrLf(std::string& out, std::string_view text);

// Creates or replaces the file at `path` with `text`, each LF written as
// CR LF; nothing is added.
WriteResult writeTextFile(const std::string& text, const std::string& path);

}  // namespace scanmend
