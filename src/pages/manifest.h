// The manifest that import leaves beside in/ for export: pages.tsv names
// the source of every page, and words.tsv the place of every word in it.
// Both are tab-separated UTF-8 with a header line. pages.tsv also records
// each page as import wrote it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/replacement.h"
#include "pages/source_page.h"

namespace scanmend::pages {

inline constexpr std::string_view kPagesFile = "pages.tsv";
inline constexpr std::string_view kWordsFile = "words.tsv";

struct ManifestPage {
  std::int64_t number = 0;
  std::string source;  // the path as given to import
  Format format = Format::Text;
  std::size_t bytes = 0;  // size and checksum tell a source changed since import
  std::uint64_t checksum = 0;
  std::size_t words = 0;
  // The page in/NNN.txt as import wrote it: its checksum, so that a page
  // edited since is never replaced unasked, and when it was written
  // (nanoseconds since 1970), so that export takes no corrected page made
  // before it. Both 0 in the manifest of an older version, which lacks them.
  std::uint64_t pageChecksum = 0;
  std::int64_t importedAt = 0;
};

// A checksum of bytes handed over in pieces, the same as of them all at
// once.
class Checksum {
 public:
  void add(std::string_view bytes);
  std::uint64_t value() const;

 private:
  std::uint64_t hash_ = 14695981039346656037ULL;
  std::size_t size_ = 0;
  char carried_[8] = {};
  std::size_t carriedCount_ = 0;
};

std::uint64_t checksumOf(std::string_view bytes);

std::string pagesTable(const std::vector<ManifestPage>& pages);
bool readPagesTable(std::string_view table, std::vector<ManifestPage>& pages, std::string& error);

// The header of words.tsv, and its rows for one page: page, line, the
// word's raw byte span in the source (that of its attribute value or
// element text where entities stand in it), and the word. The rows go to
// `file` a chunk at a time, as a large page has many. False when a write
// failed.
std::string_view wordsTableHeader();
bool writeWordRows(Replacement& file, std::int64_t number, const SourcePage& page);

}  // namespace scanmend::pages
