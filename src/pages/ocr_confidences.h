// What an OCR file says of its words beyond their text: the confidence of
// each word (ALTO's WC, or its characters' CC; hOCR's x_wconf; PAGE's
// conf of the word's TextEquiv) and the other characters it saw in a
// letter's place (ALTO's Glyph and Variant; the choices that tesseract
// lists in hOCR's ocrx_cinfo with lstm_choice_mode=2; the TextEquivs of
// a PAGE Glyph beyond the first). A file without them gives nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "book/ocr_evidence.h"
#include "pages/source_page.h"

namespace scanmend::pages {

// Confidences that are no number within their scale ("NaN", "1.7" where
// 1 is sure, "-3"): each is taken as none given, and counted here so that
// import can name the first.
struct IgnoredConfidences {
  std::size_t count = 0;
  Offset firstAt = 0;  // the first one's value in the file
  std::string firstValue;
};

// At most this many alternatives of a letter are kept, the likeliest, and
// none of a word longer than kLongestWithAlternatives characters (no
// dictionary word is as long): each alternative repeats its word, and
// more would make ocr.tsv grow with the square of a word's length.
inline constexpr std::size_t kMostAlternativesPerLetter = 3;
inline constexpr std::size_t kLongestWithAlternatives = 64;

// The words of page `number` that have a confidence or an alternative,
// made from `page`, each handed to `visit` in turn: a large page's are
// never held all at once.
void forEachOcrWord(const SourcePage& page, std::int64_t number,
                    const std::function<void(const OcrWord&)>& visit,
                    IgnoredConfidences* ignored = nullptr);
// The same, as a list.
std::vector<OcrWord> ocrWordsOf(const SourcePage& page, std::int64_t number);

}  // namespace scanmend::pages
