// Fuzzes the import of OCR files (random bytes and mutated ALTO, PAGE,
// hOCR and text files): reading never crashes; a file that reads comes
// back byte for byte from an unchanged correction, and as a file that
// reads again from a changed one; a page that import stores reads back as
// it was, and any bytes read as a stored page are safe to export with;
// the OCR's confidences read back as written, and a page whose line ends
// are all taken for hyphens comes back byte for byte; the review finds a
// box for every word and lines the page up with itself, joined or not;
// and the tool's import writes nothing but in/, out/ and the manifest.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "book/ocr_evidence.h"
#include "correction/line_joining.h"
#include "pages/ocr_confidences.h"
#include "pages/page_text.h"
#include "pages/pages_run.h"
#include "pages/parsed_pages.h"
#include "pages/review_geometry.h"
#include "pages/review_words.h"
#include "pages/source_page.h"

namespace {

namespace fs = std::filesystem;
using namespace scanmend::pages;

void check(bool condition) {
  if (!condition) std::abort();
}

bool exportOf(std::string_view bytes, const SourcePage& page, std::string_view corrected,
              std::string& out) {
  FieldTexts fields;
  std::string reason;
  if (!correctedFieldTexts(page, corrected, fields, reason)) return false;
  out = applyEdits(bytes, sourceEdits(bytes, page, fields));
  return true;
}

// Every letter of every word changed, some words longer.
std::string changed(std::string text) {
  std::string out;
  for (const char c : text) {
    if (c == 'e')
      out += "\xE9";
    else if (c == 'a')
      out += "aa";
    else if (c == 'f')
      out += "s";
    else
      out += c;
  }
  return out;
}

const fs::path& scratch() {
  static const fs::path path = [] {
    std::string pattern = (fs::temp_directory_path() / "scanmend-pages-fuzz-XXXXXX").string();
    check(mkdtemp(pattern.data()) != nullptr);
    return fs::path(pattern);
  }();
  return path;
}

void importWithTheTool(std::string_view bytes) {
  const fs::path previous = fs::current_path();
  const fs::path book = scratch() / "book";
  fs::remove_all(book);
  fs::create_directories(book);
  {
    std::ofstream(scratch() / "page.xml", std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  fs::current_path(book);
  std::ostringstream out;
  std::ostringstream err;
  runPages({"import", (scratch() / "page.xml").string()}, out, err);
  const std::set<std::string> allowed{"in",      "out",         "pages.tsv",   "words.tsv",
                                      "ocr.tsv", "hyphens.tsv", "pages.parsed"};
  for (const auto& entry : fs::directory_iterator(book))
    check(allowed.contains(entry.path().filename().string()));
  fs::current_path(previous);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SourcePage page;
  SourceError error;
  if (readSource(bytes, page, error)) {
    SourcePage stored;
    check(decodePage(encodePage(page), bytes, stored) && stored == page);
    const std::string text = makePageText(page);
    std::string out;
    check(exportOf(bytes, page, text, out) && out == bytes);
    check(exportOf(bytes, page, scanmend::joinHyphenatedLines(text), out) && out == bytes);
    if (exportOf(bytes, page, changed(text), out)) {
      SourcePage again;
      check(readSource(out, again, error));
      check(again.lineCount() == page.lineCount());
    }
    // What the file says beyond its text reads back as written, and reading
    // it changes nothing else.
    SourcePage withConfidences;
    check(readSource(bytes, withConfidences, error, true));
    check(withConfidences.tokens == page.tokens && withConfidences.fields == page.fields);
    std::string table(scanmend::ocrEvidenceHeader());
    for (const scanmend::OcrWord& word : ocrWordsOf(withConfidences, 1))
      scanmend::appendOcrWordRow(table, word);
    std::vector<scanmend::OcrWord> words;
    std::string why;
    check(scanmend::parseOcrEvidence(table, words, why));
    // The review's view: a box for every word and line, and the page lined
    // up with itself word for word, and joined at its line ends.
    const PageGeometry geometry = pageGeometry(bytes, page);
    check(geometry.words.size() == page.tokens.size() && geometry.lines.size() == page.lineCount());
    PageAlignment alignment;
    check(alignCorrectedPage(page, text, alignment, why) &&
          alignment.corrected.size() == alignment.imported.size());
    check(alignCorrectedPage(page, scanmend::joinHyphenatedLines(text), alignment, why));
    std::size_t covered = 0;
    for (const CorrectedWord& word : alignment.corrected) covered += word.count;
    check(covered == alignment.imported.size());
    // Every line's last mark taken for the book's own hyphen: the file
    // still comes back byte for byte, joined or not.
    for (std::uint32_t line = 0; line < page.lineCount(); ++line) page.ownHyphens.push_back(line);
    const std::string hyphenated = makePageText(page);
    check(exportOf(bytes, page, hyphenated, out) && out == bytes);
    check(exportOf(bytes, page, scanmend::joinHyphenatedLines(hyphenated), out) && out == bytes);
  }
  // The bytes as a stored page of themselves.
  if (decodePage(bytes, bytes, page)) {
    std::string out;
    exportOf(bytes, page, changed(makePageText(page)), out);
  }
  if (size % 16 == 0) importWithTheTool(bytes);
  return 0;
}
