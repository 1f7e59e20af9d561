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
// per file its full path, size and checksum.
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
// for a book of these sources; else why not.
bool mayExportInto(const std::filesystem::path& folder, const std::vector<std::string>& sources,
                   std::string& reason);

class ExportRecord {
 public:
  // Reads exports.tsv, if there is one. False, with the reason, for one
  // that cannot be read.
  bool load(std::string& reason);
  // Whether `target` may be written: it is no link and no other name of a
  // file, and either not there or as an earlier export left it (or
  // `force`). Else why not.
  bool mayWrite(const std::filesystem::path& target, bool force, std::string& reason) const;
  // Notes what was written to `target`.
  void written(const std::filesystem::path& target, std::string_view bytes);
  // Writes exports.tsv anew.
  bool save() const;

 private:
  struct Written {
    std::size_t bytes = 0;
    std::uint64_t checksum = 0;
  };
  std::map<std::string, Written> files_;  // by full path
};

}  // namespace scanmend::pages
