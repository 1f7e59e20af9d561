// Where export may write, and what it may overwrite. An export folder is
// never the working directory, in/, out/ or a source's folder, nor one
// that holds any of them: a source named dic.txt or 001.txt would
// overwrite the book. A target is written as a new file renamed into
// place, never through a link: a target that is a symbolic link (dangling
// or not), or a file with other hard links, is refused. A file already
// there is overwritten only when an earlier export wrote it there and it
// is unchanged since, so that hand edits are never lost; --force
// overwrites it anyway.
//
// What export wrote is recorded in exports.tsv in the working directory:
// per file its full path, size and checksum. correct keeps its record in
// the folder it writes to (DIR/review/written.tsv), of the corrected files
// and its reports alike, and never writes a file it was given to read
// (the dictionary, a table), --force or not.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace scanmend::pages {

inline constexpr std::string_view kExportsFile = "exports.tsv";

// Whether export may write in `folder` (as given; it need not exist yet)
// for a book of these sources in the working directory `book` (none where
// empty); else why not.
bool mayExportInto(const std::filesystem::path& folder, const std::vector<std::string>& sources,
                   const std::filesystem::path& book, std::string& reason);

class ExportRecord {
 public:
  // The record kept in the file `file`.
  explicit ExportRecord(std::string file = std::string(kExportsFile));

  // Reads the record, if there is one. False, with the reason, for one
  // that cannot be read, or a file of that name that is no such record.
  bool load(std::string& reason);
  // Adds the rows of another record (of an older version), if it is
  // there; it is never written.
  void loadAlso(const std::string& file);
  // No file outside `folder` is written.
  void confineTo(const std::filesystem::path& folder);
  // `file` is never written, --force or not.
  void protect(const std::filesystem::path& file);

  // Whether `target` may be written: it is no link and no other name of a
  // file, within the folder and no protected file, and either not there or
  // as an earlier run left it (or `force`). Else why not.
  bool mayWrite(const std::filesystem::path& target, bool force, std::string& reason) const;
  // Notes what was written to `target`: the bytes, or their size and
  // checksum.
  void written(const std::filesystem::path& target, std::string_view bytes);
  void written(const std::filesystem::path& target, std::size_t size, std::uint64_t checksum);
  // Writes `bytes` to `target` where mayWrite allows, as a new file renamed
  // into place, and notes it; false, with the reason, where not.
  bool write(const std::filesystem::path& target, std::string_view bytes, bool force,
             std::string& reason);
  // The same for a target that mayWrite allowed just before.
  bool writeAllowed(const std::filesystem::path& target, std::string_view bytes,
                    std::string& reason);
  // Writes the record anew.
  bool save() const;

  const std::string& file() const { return file_; }

 private:
  struct Written {
    std::size_t bytes = 0;
    std::uint64_t checksum = 0;
  };
  void readRows(std::string_view table);

  std::string file_;
  std::map<std::string, Written> files_;  // by full path
  std::filesystem::path folder_;          // resolved; empty for anywhere
  std::vector<std::filesystem::path> protected_;
};

}  // namespace scanmend::pages
