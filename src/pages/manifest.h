// The manifest that import leaves beside in/ for export: pages.tsv names
// the source of every page, and words.tsv the place of every word in it.
// Both are tab-separated UTF-8 with a header line.
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
