#include "pages/export_targets.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <system_error>

#include "base/tab_separated.h"
#include "files/replacement.h"
#include "files/text_files.h"
#include "pages/manifest.h"

namespace scanmend::pages {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHeader = "file\tbytes\tchecksum\n";

// The path with every link that exists resolved, the rest as written,
// without a trailing separator.
fs::path resolved(const fs::path& path) {
  std::error_code error;
  fs::path full = fs::weakly_canonical(fs::absolute(path, error), error);
  if (error) full = fs::absolute(path).lexically_normal();
  if (!full.has_filename() && full != full.root_path()) full = full.parent_path();
  return full;
}

// Whether `inner` is `outer` or lies within it (both resolved).
bool holds(const fs::path& outer, const fs::path& inner) {
  return std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end()).first == outer.end();
}

std::string hex(std::uint64_t value) {
  std::string out(16, '0');
  for (std::size_t i = 16; i-- > 0; value >>= 4) out[i] = "0123456789abcdef"[value & 15];
  return out;
}

}  // namespace

bool mayExportInto(const fs::path& folder, const std::vector<std::string>& sources,
                   const fs::path& workingDirectory, std::string& reason) {
  const fs::path target = resolved(folder);
  const fs::path book = workingDirectory.empty() ? fs::path() : resolved(workingDirectory);
  if (!book.empty() && holds(target, book)) {
    reason =
        "is the working directory or holds it: a source named like dic.txt would overwrite "
        "the book; export into a folder of its own";
    return false;
  }
  for (const char* own : {"in", "out"}) {
    if (!book.empty() && holds(target, book / own)) {
      reason = std::string("is the book's ") + own + "/: export into a folder of its own";
      return false;
    }
  }
  for (const std::string& source : sources) {
    if (holds(target, resolved(source).parent_path())) {
      reason = "holds the source " + source + ": export into a folder of its own";
      return false;
    }
  }
  return true;
}

ExportRecord::ExportRecord(std::string file) : file_(std::move(file)) {}

bool ExportRecord::load(std::string& reason) {
  std::string table;
  const ReadResult read = readFile(file_, table);
  if (read == ReadResult::NotOpened) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(file_, error))) return true;
    reason = file_ + " cannot be read";
    return false;
  }
  if (read != ReadResult::Read) {
    reason = file_ + " " + std::string(readFailure(read));
    return false;
  }
  if (!table.empty() && !std::string_view(table).starts_with(kHeader)) {
    reason = file_ + " is there, and is no record of the files written; move it away";
    return false;
  }
  readRows(table);
  return true;
}

void ExportRecord::loadAlso(const std::string& file) {
  std::string table;
  if (readFile(file, table) == ReadResult::Read && std::string_view(table).starts_with(kHeader))
    readRows(table);
}

void ExportRecord::readRows(std::string_view rest) {
  // A row that cannot be read records nothing: its file then needs --force.
  if (rest.starts_with(kHeader)) rest.remove_prefix(kHeader.size());
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    const std::vector<std::string_view> row = tabSeparatedCells(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
    Written file;
    if (row.size() != 3 || row[0].empty() ||
        std::from_chars(row[1].data(), row[1].data() + row[1].size(), file.bytes).ec !=
            std::errc() ||
        std::from_chars(row[2].data(), row[2].data() + row[2].size(), file.checksum, 16).ec !=
            std::errc())
      continue;
    files_[std::string(row[0])] = file;
  }
}

void ExportRecord::confineTo(const fs::path& folder) { folder_ = resolved(folder); }

void ExportRecord::protect(const fs::path& file) { protected_.push_back(resolved(file)); }

bool ExportRecord::mayWrite(const fs::path& target, bool force, std::string& reason) const {
  const fs::path full = resolved(target);
  if (!folder_.empty() && (full == folder_ || !holds(folder_, full))) {
    reason = "lies outside " + folder_.string() + ", and nothing is written there";
    return false;
  }
  for (const fs::path& file : protected_) {
    std::error_code error;
    if (full == file || fs::equivalent(full, file, error)) {
      reason = "is " + file.string() + ", a file given to be read, which is never written";
      return false;
    }
  }
  struct stat status {};
  if (::lstat(target.c_str(), &status) != 0) {
    if (errno == ENOENT) return true;
    reason = "cannot be examined";
    return false;
  }
  if (S_ISLNK(status.st_mode)) {
    reason = "is a symbolic link, and export writes no file through a link";
    return false;
  }
  if (!S_ISREG(status.st_mode)) {
    reason = "is there and is not a regular file";
    return false;
  }
  if (status.st_nlink > 1) {
    reason =
        "has other hard links (another name of the same file), and export writes no file "
        "through a link";
    return false;
  }
  if (force) return true;
  const auto recorded = files_.find(full.string());
  if (recorded == files_.end()) {
    reason =
        "is there, and no export wrote it; to keep it, export elsewhere, or overwrite it "
        "with --force";
    return false;
  }
  std::string bytes;
  if (!readFileBytes(target.string(), bytes) || bytes.size() != recorded->second.bytes ||
      checksumOf(bytes) != recorded->second.checksum) {
    reason =
        "was changed since export wrote it; to keep the changes, export elsewhere, or "
        "overwrite them with --force";
    return false;
  }
  return true;
}

void ExportRecord::written(const fs::path& target, std::string_view bytes) {
  written(target, bytes.size(), checksumOf(bytes));
}

void ExportRecord::written(const fs::path& target, std::size_t size, std::uint64_t checksum) {
  const std::string path = resolved(target).string();
  if (path.find_first_of("\t\n\r") != std::string::npos) return;  // no row can hold it
  files_[path] = {size, checksum};
}

bool ExportRecord::write(const fs::path& target, std::string_view bytes, bool force,
                         std::string& reason) {
  return mayWrite(target, force, reason) && writeAllowed(target, bytes, reason);
}

bool ExportRecord::writeAllowed(const fs::path& target, std::string_view bytes,
                                std::string& reason) {
  Replacement file(target.string());
  if (!file.write(bytes) || !file.commit()) {
    reason = "cannot be written";
    return false;
  }
  written(target, bytes);
  return true;
}

bool ExportRecord::save() const {
  std::string table(kHeader);
  for (const auto& [path, file] : files_)
    table.append(path)
        .append("\t")
        .append(std::to_string(file.bytes))
        .append("\t")
        .append(hex(file.checksum))
        .append("\n");
  Replacement replacement{file_};
  return replacement.write(table) && replacement.commit();
}

}  // namespace scanmend::pages
