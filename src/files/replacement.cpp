#include "files/replacement.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

#include "files/text_files.h"

namespace scanmend {
namespace {

constexpr std::size_t kChunk = 1 << 16;

std::string temporaryFor(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  return target.substr(0, name) + "." + target.substr(name) + ".scanmend-new";
}

}  // namespace

Replacement::Replacement(std::string target)
    : target_(std::move(target)), temporary_(temporaryFor(target_)) {}

Replacement::Replacement(Replacement&& other) noexcept
    : target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)),
      file_(std::exchange(other.file_, nullptr)),
      failed_(other.failed_),
      created_(std::exchange(other.created_, false)),
      committed_(other.committed_) {}

Replacement::~Replacement() {
  if (file_ != nullptr) std::fclose(file_);
  if (created_ && !committed_) ::unlink(temporary_.c_str());
}

bool Replacement::open() {
  if (failed_ || file_ != nullptr) return !failed_;
  if (created_) {  // written to after it was closed
    failed_ = true;
    return false;
  }
  // Never through a link: a stale temporary file (or anything a stranger
  // put under its name) is removed, and the new one must be new.
  ::unlink(temporary_.c_str());
  const int descriptor =
      ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (descriptor >= 0) file_ = ::fdopen(descriptor, "wb");
  if (file_ == nullptr) {
    if (descriptor >= 0) ::close(descriptor);
    failed_ = true;
    return false;
  }
  created_ = true;
  return true;
}

bool Replacement::write(std::string_view bytes) {
  if (!open()) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
  return !failed_;
}

bool Replacement::writeText(std::string_view text) {
  std::string chunk;
  for (std::size_t start = 0; start < text.size() && !failed_; start += kChunk) {
    chunk.clear();
    appendWithCrLf(chunk, text.substr(start, kChunk));
    write(chunk);
  }
  return open() && !failed_;
}

bool Replacement::close() {
  if (!created_ && !open()) return false;  // an empty file is a file too
  if (file_ != nullptr) {
    // A full disk may only show at the flush or the close.
    if (std::fflush(file_) != 0) failed_ = true;
    if (std::fclose(std::exchange(file_, nullptr)) != 0) failed_ = true;
  }
  return !failed_;
}

bool Replacement::commit() {
  if (!close()) return false;
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    failed_ = true;
    return false;
  }
  committed_ = true;
  return true;
}

}  // namespace scanmend
