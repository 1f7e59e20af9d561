// What the OCR program said of the words of a book's pages, where its
// files say more than the text: how sure it was of each word, and which
// other characters it saw in a letter's place. scanmend-pages writes it
// beside the pages it imports, in ocr.tsv, and scanmend-learn weighs it.
//
// ocr.tsv is tab-separated UTF-8 with a header line. A row names a word of
// a page by its line of in/NNN.txt and its place among the words of that
// line as the page separates them by spaces (both from 1), and repeats the
// word as the page shows it, so that a page edited since is noticed; then
// the confidence, from 0 to 1 (empty where the file gave none), and the
// alternatives: the word as the page would show it with one letter read
// otherwise, each with the confidence of that letter, separated by
// spaces ("Cheil:0.19 Iheil:0.07").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scanmend {

inline constexpr std::string_view kOcrEvidenceFile = "ocr.tsv";

struct OcrAlternative {
  std::string text;  // Windows-1252, the whole word
  float confidence = 0;

  bool operator==(const OcrAlternative&) const = default;
};

struct OcrWord {
  std::int64_t page = 0;
  std::uint32_t line = 0;
  std::uint32_t word = 0;
  std::string text;       // Windows-1252, as the page shows it
  float confidence = -1;  // below 0 where none was given
  std::vector<OcrAlternative> alternatives;

  bool operator==(const OcrWord&) const = default;
  bool hasConfidence() const { return confidence >= 0; }
};

std::string_view ocrEvidenceHeader();
// The row of one word; a word that UTF-8 cannot carry (a byte undefined in
// Windows-1252) has none, nor has an alternative that holds a space, a
// tab or such a byte.
void appendOcrWordRow(std::string& out, const OcrWord& word);

// Reads ocr.tsv; false, with the line and the reason, for a table of any
// other shape.
bool parseOcrEvidence(std::string_view table, std::vector<OcrWord>& words, std::string& error);

// Whether every row names a word place that the pages have (in/001.txt
// first, each as read from disk): its page, its line on that page, and a
// word that the line can hold. False, with the row's line in the table
// and the reason, for a table of other pages.
bool ocrRowsFitPages(const std::vector<OcrWord>& words, const std::vector<std::string>& pages,
                     std::string& error);

}  // namespace scanmend
