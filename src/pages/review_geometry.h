// Where each word of an OCR file stands on its page image: the word's box
// and ID as the file gives them, the box of each line, and the page image
// the file names (ALTO's sourceImageInformation/fileName, hOCR's "image"
// of the ocr_page, PAGE's imageFilename). A text file, or a file without
// boxes, gives empty boxes; the review then shows text only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pages/source_page.h"

namespace scanmend::pages {

struct Box {
  std::int64_t x = 0;
  std::int64_t y = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  // The smallest box holding both; an empty box holds nothing.
  Box united(const Box& other) const;
  bool operator==(const Box&) const = default;
};

struct PageGeometry {
  std::string image;  // as the file names it; empty where it names none
  // ALTO's measurement unit: the units of its boxes in an inch (254 for
  // mm10, 1200 for inch1200), 0 for pixels.
  int unitsPerInch = 0;
  std::vector<std::string> ids;  // by token; empty where the word has none
  std::vector<Box> words;        // by token
  std::vector<Box> lines;        // by line of the page: its element's box, else its words'
};

// The geometry of `page`, read from `bytes`, the file it was read from.
// Nothing is ever refused: what cannot be read stays empty.
PageGeometry pageGeometry(std::string_view bytes, const SourcePage& page);

// The pixels of the page image in a unit of the file's boxes: 1, but
// where ALTO measures in tenths of a millimetre or 1200ths of an inch, by
// the image's resolution (300 pixels an inch where it gives none).
double pixelsPerUnit(const PageGeometry& geometry, int resolution);
Box scaledBox(const Box& box, double factor);

// The box of the bytes [from, to) of a word of `length` bytes in `box`, by
// their share of its width.
Box partOfBox(const Box& box, std::size_t from, std::size_t to, std::size_t length);

}  // namespace scanmend::pages
