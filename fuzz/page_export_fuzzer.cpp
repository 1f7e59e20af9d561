// Fuzzes what export reads besides a source: the stored pages of
// pages.parsed and the corrected page in out/. The input is a source, a
// store (after its header) and a corrected page, cut apart at "\xFF\xFE\xFD".
// Whatever they hold: nothing crashes or reads outside the source; a page
// found in the store stays inside its source; and an export that goes
// through writes a file that reads again in its format, a well-formed one
// for XML, unless a corrected word holds a control character that export
// refuses.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pages/manifest.h"
#include "pages/page_text.h"
#include "pages/parsed_pages.h"
#include "pages/source_page.h"

namespace {

using namespace scanmend::pages;

void check(bool condition) {
  if (!condition) std::abort();
}

constexpr std::string_view kCut = "\xFF\xFE\xFD";

// The part before the next cut, or the rest.
std::string_view nextPart(std::string_view& input) {
  const std::size_t cut = input.find(kCut);
  const std::string_view part = input.substr(0, cut);
  input.remove_prefix(cut == std::string_view::npos ? input.size() : cut + kCut.size());
  return part;
}

bool holdsControlCharacter(const NewTexts& texts) {
  for (const auto& text : texts)
    if (text)
      for (const char c : *text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
          return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string source(nextPart(input));
  const std::string store = std::string(parsedPagesHeader()) + std::string(nextPart(input));
  const std::string corrected(input);

  SourcePage real;
  SourceError error;
  const bool readable = readSource(source, real, error);
  SourcePage page = real;
  const ParsedPages parsed(store);
  SourcePage stored;
  if (parsed.find(1, source, checksumOf(source), stored)) {
    for (const Field& field : stored.fields) check(field.end <= source.size());
    page = stored;
  } else if (!readable) {
    return 0;
  }
  FieldTexts texts;
  std::string reason;
  if (!correctedFieldTexts(page, corrected, texts, reason)) return 0;
  const bool control = holdsControlCharacter(texts);
  const std::string out = applyEdits(source, sourceEdits(source, page, std::move(texts)));
  // A text file's corrected words as edits of their own give the same file.
  if (page.format == Format::Text) {
    WordEdits edits;
    check(correctedTextEdits(page, corrected, edits, reason));
    std::string written;
    edits.forEachPiece(source, [&written](std::string_view piece) {
      written.append(piece);
      return true;
    });
    check(written == out);
  }
  // A store whose checksum a fuzzer forged may stand for another page; the
  // source's own page must always give a file of its format again.
  if (readable && page == real && !control && page.format != Format::Text) {
    SourcePage again;
    check(readSource(out, again, error) && again.format == page.format);
  }
  return 0;
}
