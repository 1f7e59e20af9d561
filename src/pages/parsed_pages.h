// What import read of its sources, kept beside the manifest so that export
// need not parse every source again: a source with the size and checksum
// it had at the import reads as the same page, so the stored page stands
// for it. The store only saves time. Export reads a source anew whenever
// its stored page is missing, was stored for other bytes, or does not fit
// them; a damaged or deleted store changes nothing in what export writes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "pages/source_page.h"

namespace scanmend::pages {

inline constexpr std::string_view kParsedFile = "pages.parsed";
// Sources larger than this are parsed again rather than stored: an OCR
// page is a fraction of it, and what is read back must be held whole.
inline constexpr std::size_t kMostStoredBytes = std::size_t{4} << 20;

// One page as bytes, and back. Decoding checks that everything in the page
// lies inside `source` and refers to what exists, so that no use of a
// decoded page reads outside its source, whatever the bytes were; a page
// from encodePage decodes as it was. The page views `source`.
std::string encodePage(const SourcePage& page);
bool decodePage(std::string_view encoded, std::string_view source, SourcePage& page);

// The store begins with this header; records of pages follow it.
std::string_view parsedPagesHeader();
void appendParsedPage(std::string& store, std::int64_t number, std::size_t bytes,
                      std::uint64_t checksum, const SourcePage& page);

class ParsedPages {
 public:
  // Indexes the records of a store; a store of another kind holds none.
  explicit ParsedPages(std::string store);

  // The stored page of page `number` into `page`, if it was stored for a
  // source of this size and checksum and fits its bytes.
  bool find(std::int64_t number, std::string_view source, std::uint64_t checksum,
            SourcePage& page) const;

 private:
  struct Record {
    std::size_t bytes;
    std::uint64_t checksum;
    std::size_t at;  // the encoded page: store_[at, at + length)
    std::size_t length;
  };
  std::string store_;
  std::map<std::int64_t, Record> records_;
};

}  // namespace scanmend::pages
