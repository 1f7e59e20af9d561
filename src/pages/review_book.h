// A book's pages as the review and the user's decisions read them, in the
// working directory that import made: the manifest's sources, each read
// again and checked against the manifest, with the line ends that import
// joined at the book's own hyphens.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "book/book_hyphens.h"
#include "pages/characters.h"
#include "pages/manifest.h"
#include "pages/review_words.h"
#include "pages/source_page.h"

namespace scanmend::pages {

struct BookPage {
  std::string bytes;  // the source's
  SourcePage source;  // views into `bytes`: the page must not be copied
  BookPage() = default;
  BookPage(const BookPage&) = delete;
  BookPage& operator=(const BookPage&) = delete;
};

class ReviewBook {
 public:
  // Reads pages.tsv and hyphens.tsv here. False, with the reason.
  bool load(std::string& reason);
  const std::vector<ManifestPage>& pages() const { return pages_; }
  // The index of the page whose source has the file name `name`, or -1.
  int pageNamed(const std::string& name) const;
  // Reads page `index` from its source, as import read it. False, with the
  // reason, for a source that is gone or changed since.
  bool read(std::size_t index, BookPage& page, std::string& reason) const;
  // Reads page `index` as read() does, and its corrected page in out/
  // lined up with it. False, with the reason, which names the file.
  bool readCorrected(std::size_t index, BookPage& page, std::string& corrected,
                     PageAlignment& alignment, std::string& reason) const;

 private:
  std::vector<ManifestPage> pages_;
  BookHyphens hyphens_;
};

// The characters of an imported word, or of the run of words [first,
// first + count), as the correction read them and as the source holds
// them.
ImportedText importedRun(const SourcePage& source, const std::vector<ImportedWord>& words,
                         std::size_t first, std::size_t count);

// Line `line` (from 0) of the page as the source holds it, its tokens
// joined by spaces; with `marked`, that word between the review's marks.
std::string lineAsRead(const SourcePage& source, std::uint32_t line,
                       const ImportedWord* marked = nullptr);

// The UTF-8 of Windows-1252 text.
std::string utf8Of(std::string_view windows1252);

}  // namespace scanmend::pages
