#include "files/text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
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

// An open file descriptor, closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return descriptor_; }

 private:
  int descriptor_;
};

}  // namespace

ReadResult readFile(const std::string& path, std::string& bytes) {
  // Opened without waiting: a FIFO would block the open until a writer came.
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) return ReadResult::NotOpened;
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) return ReadResult::NotRead;
  if (!S_ISREG(status.st_mode)) return ReadResult::NotRegular;
  // Sized once by the file: a dictionary of millions of words should not
  // be copied around while it grows. One byte more shows the end at once.
  const auto expected = static_cast<std::size_t>(status.st_size);
  std::size_t size = 0;
  try {
    bytes.clear();
    reserveLarge(bytes, expected + 1);
    bytes.resize(expected + 1);
    for (;;) {
      if (size == bytes.size()) bytes.resize(bytes.size() * 2);  // it grew while read
      const ssize_t got = ::read(file.get(), bytes.data() + size, bytes.size() - size);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return ReadResult::NotRead;
      if (got == 0) break;
      size += static_cast<std::size_t>(got);
    }
  } catch (const std::bad_alloc&) {
    bytes = std::string();
    return ReadResult::OutOfMemory;
  }
  bytes.resize(size);
  return ReadResult::Read;
}

bool readFileBytes(const std::string& path, std::string& bytes) {
  return readFile(path, bytes) == ReadResult::Read;
}

std::string_view readFailure(ReadResult result) {
  switch (result) {
    case ReadResult::Read:
      return "was read";
    case ReadResult::NotOpened:
      return "cannot be opened";
    case ReadResult::NotRegular:
      return "is not a regular file (a directory, a device or a pipe)";
    case ReadResult::NotRead:
      return "cannot be read";
    case ReadResult::OutOfMemory:
      return "is larger than the memory there is";
  }
  return "cannot be read";
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

ReadResult readPageFile(std::string& page, const std::string& path) {
  std::string bytes;
  const ReadResult result = readFile(path, bytes);
  if (result != ReadResult::Read) return result;
  decodeText(bytes);
  if (page.empty()) {
    page = std::move(bytes);
  } else {
    page += bytes;
  }
  return result;
}

bool readPage(std::string& page, const std::string& path) {
  return readPageFile(page, path) == ReadResult::Read;
}

void appendWithCrLf(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const void* found = std::memchr(text.data() + i, '\n', text.size() - i);
    const std::size_t lineFeed =
        found == nullptr ? text.size() : static_cast<const char*>(found) - text.data();
    out.append(text, i, lineFeed - i);
    if (lineFeed == text.size()) break;
    out += "\r\n";
    i = lineFeed + 1;
  }
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
    appendWithCrLf(chunk, std::string_view(text).substr(start, kChunk));
    ok = std::fwrite(chunk.data(), 1, chunk.size(), file.get()) == chunk.size();
  }
  // A full disk may only show at flush or close; a page lost there must be
  // reported, not counted as written.
  ok = std::fflush(file.get()) == 0 && ok;
  ok = std::fclose(file.release()) == 0 && ok;
  return ok ? WriteResult::Written : WriteResult::NotWritten;
}

}  // namespace scanmend
