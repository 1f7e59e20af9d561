#include "files/text_files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "base/large_buffers.h"

namespace scanmend {
namespace {

constexpr char kCtrlZ = '\x1A';
constexpr std::size_t kChunk = 1 << 16;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool readFileBytes(const std::string& path, std::string& bytes) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  // Size the buffer once for regular files: a dictionary of millions of
  // words should not be copied around while it grows.
  std::error_code error;
  const auto expected = std::filesystem::file_size(path, error);
  std::size_t size = 0;
  const std::size_t initial = error ? kChunk : static_cast<std::size_t>(expected) + 1;
  reserveLarge(bytes, initial);
  bytes.resize(initial);
  for (;;) {
    if (size == bytes.size()) bytes.resize(bytes.size() * 2);
    const std::size_t got = std::fread(bytes.data() + size, 1, bytes.size() - size, file.get());
    size += got;
    if (got == 0) break;
  }
  const bool failed = std::ferror(file.get()) != 0;
  bytes.resize(size);
  return !failed;
}

void decodeText(std::string& bytes) {
  const std::size_t end = bytes.find(kCtrlZ);
  if (end != std::string::npos) bytes.resize(end);
  // Moves the runs between the dropped CRs down, found with memchr.
  char* const data = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t out = 0;
  std::size_t in = 0;
  while (in < size) {
    const void* found = std::memchr(data + in, '\r', size - in);
    const std::size_t cr = found == nullptr ? size : static_cast<const char*>(found) - data;
    const bool drop = cr + 1 < size && data[cr + 1] == '\n';
    const std::size_t keep = (drop ? cr : std::min(cr + 1, size)) - in;
    if (out != in) std::memmove(data + out, data + in, keep);
    out += keep;
    in += keep + (drop ? 1 : 0);
  }
  bytes.resize(out);
}

std::string pagePath(std::string_view directory, std::int64_t pageNumber) {
  char name[32];
  std::snprintf(name, sizeof name, "/%03lld.txt", static_cast<long long>(pageNumber));
  std::string path(directory);
  path += name;
  return path;
}

bool readPage(std::string& page, const std::string& path) {
  std::string bytes;
  if (!readFileBytes(path, bytes)) return false;
  decodeText(bytes);
  if (page.empty()) {
    page = std::move(bytes);
  } else {
    page += bytes;
  }
  return true;
}

WriteResult writeTextFile(const std::string& text, const std::string& path) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) return WriteResult::NotOpened;
  // Encode in chunks so a large page is not held twice.
  std::string chunk;
  chunk.reserve(2 * kChunk);
  bool ok = true;
  for (std::size_t start = 0; start < text.size() && ok; start += kChunk) {
    chunk.clear();
    const std::size_t stop = std::min(text.size(), start + kChunk);
    for (std::size_t i = start; i < stop;) {
      const void* found = std::memchr(text.data() + i, '\n', stop - i);
      const std::size_t lineFeed =
          found == nullptr ? stop : static_cast<const char*>(found) - text.data();
      chunk.append(text, i, lineFeed - i);
      if (lineFeed == stop) break;
      chunk += "\r\n";
      i = lineFeed + 1;
    }
    ok = std::fwrite(chunk.data(), 1, chunk.size(), file.get()) == chunk.size();
  }
  // A full disk may only show at flush or close; a page lost there must be
  // reported, not counted as written.
  ok = std::fflush(file.get()) == 0 && ok;
  ok = std::fclose(file.release()) == 0 && ok;
  return ok ? WriteResult::Written : WriteResult::NotWritten;
}

}  // namespace scanmend
