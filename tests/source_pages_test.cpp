// Import and export of real and hand-written OCR files: every file comes
// back byte for byte when nothing changed, and after a correction only the
// texts of the changed words (and what depends on them) differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "correction/line_joining.h"
#include "correction/word_splitting.h"
#include "pages/formats.h"
#include "pages/page_text.h"
#include "pages/source_page.h"

namespace scanmend::pages {
namespace {

namespace fs = std::filesystem;

std::string readData(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::vector<fs::path> dataFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(SCANMEND_PAGES_DATA))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

SourcePage read(std::string_view bytes) {
  SourcePage page;
  SourceError error;
  EXPECT_TRUE(readSource(bytes, page, error))
      << error.line << ":" << error.column << " " << error.message;
  return page;
}

// The file after a correction that gave `corrected` from its page text.
std::string exported(std::string_view bytes, std::string_view corrected) {
  const SourcePage page = read(bytes);
  FieldTexts fields;
  std::string reason;
  EXPECT_TRUE(correctedFieldTexts(page, corrected, fields, reason)) << reason;
  return applyEdits(bytes, sourceEdits(bytes, page, fields));
}

std::vector<std::string> wordsOf(std::string_view text) {
  std::vector<std::string> words;
  forEachWord(text, [&](std::string_view word) { words.emplace_back(word); });
  return words;
}

// A correction as a run makes them: long s read as f, "sz" for sharp s (a
// shorter word), and a word marked with "*".
std::string corrected(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool inWord =
        i + 1 < text.size() && !isWordSeparator(static_cast<unsigned char>(text[i + 1]));
    if (text[i] == 'f' && inWord && text[i + 1] != 'f') {
      out += 's';
    } else if (text.compare(i, 2, "sz") == 0) {
      out += '\xDF';
      ++i;
    } else if (text.compare(i, 4, "Bild") == 0) {
      out += "Bi*d";
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The file without the texts a correction may change: the fields, the
// whole-word texts of hyphenated words, the confidences per character,
// PAGE's texts at every level, and the recorded processing step.
std::string masked(std::string_view bytes) {
  const SourcePage page = read(bytes);
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  for (const Field& field : page.fields) spans.emplace_back(field.begin, field.end);
  for (const XmlElement& element : page.elements) {
    for (const XmlAttribute& attribute : element.attributes) {
      if (attribute.name == "SUBS_CONTENT")
        spans.emplace_back(attribute.valueBegin, attribute.valueEnd);
      if (attribute.name == "CC") {
        const Edit removal = detail::removeAttribute(bytes, attribute);
        spans.emplace_back(removal.begin, removal.end);
      }
    }
    const std::string_view tag = bytes.substr(element.tagBegin, element.tagEnd - element.tagBegin);
    if (element.name == "postProcessingStep" || tag.find("\"SCANMEND_") != std::string_view::npos) {
      std::size_t begin = element.tagBegin;
      while (begin > 0 && std::isspace(static_cast<unsigned char>(bytes[begin - 1]))) --begin;
      spans.emplace_back(begin, bytes.find('>', element.contentEnd) + 1);
    }
    if (element.name == "Unicode") {
      const bool empty = bytes.substr(element.tagEnd - 2, 2) == "/>";
      spans.emplace_back(element.tagBegin,
                         empty ? element.tagEnd : bytes.find('>', element.contentEnd) + 1);
    }
  }
  std::sort(spans.begin(), spans.end());
  std::string out;
  std::size_t copied = 0;
  for (const auto& [begin, end] : spans) {
    if (begin > copied) out.append(bytes.substr(copied, begin - copied));
    copied = std::max(copied, end);
  }
  out.append(bytes.substr(copied));
  return out;
}

TEST(RoundTrip, EveryFileComesBackByteForByteWhenNothingChanged) {
  for (const fs::path& path : dataFiles()) {
    SCOPED_TRACE(path.filename().string());
    const std::string bytes = readData(path);
    const std::string page = makePageText(read(bytes));
    EXPECT_EQ(exported(bytes, page), bytes);
    // Joining the hyphenated words changes no word either.
    EXPECT_EQ(exported(bytes, joinHyphenatedLines(page)), bytes);
  }
}

TEST(RoundTrip, CorrectedWordsReadBackAndNothingElseChanges) {
  for (const fs::path& path : dataFiles()) {
    SCOPED_TRACE(path.filename().string());
    const std::string bytes = readData(path);
    const std::string page = makePageText(read(bytes));
    for (const std::string& correction : {corrected(page), corrected(joinHyphenatedLines(page))}) {
      const std::string out = exported(bytes, correction);
      EXPECT_NE(out, bytes);
      const std::string back = makePageText(read(out));
      const bool joined = wordsOf(correction).size() != wordsOf(page).size();
      EXPECT_EQ(wordsOf(joined ? joinHyphenatedLines(back) : back), wordsOf(correction));
      // A second export of the same correction changes nothing more.
      EXPECT_EQ(exported(out, joined ? joinHyphenatedLines(back) : back), out);
      EXPECT_EQ(masked(out), masked(bytes));
    }
  }
}

TEST(RoundTrip, PageLevelsStayConsistent) {
  for (const char* name : {"hand-page2013-words.xml", "hand-page2019-lines.xml"}) {
    SCOPED_TRACE(name);
    const std::string bytes = readData(fs::path(SCANMEND_PAGES_DATA) / name);
    const std::string out = exported(bytes, corrected(makePageText(read(bytes))));
    const SourcePage page = read(out);
    const auto& elements = page.elements;
    auto unicodeOf = [&](int parent) -> const XmlElement* {
      for (std::size_t i = static_cast<std::size_t>(parent) + 1; i < elements.size(); ++i) {
        if (elements[i].name != "TextEquiv" || elements[i].parent != parent) continue;
        for (std::size_t j = i + 1; j < elements.size(); ++j)
          if (elements[j].name == "Unicode" && elements[j].parent == static_cast<int>(i))
            return &elements[j];
      }
      return nullptr;
    };
    auto joinedChildren = [&](int parent, std::string_view kind, std::string_view joint) {
      std::string text;
      bool any = false;
      for (std::size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].parent != parent || elements[i].name != kind) continue;
        if (const XmlElement* unicode = unicodeOf(static_cast<int>(i))) {
          if (any) text += joint;
          text += unicode->text;
          any = true;
        }
      }
      return std::make_pair(any, text);
    };
    int checked = 0;
    for (std::size_t i = 0; i < elements.size(); ++i) {
      const XmlElement* own = unicodeOf(static_cast<int>(i));
      if (own == nullptr) continue;
      const auto [any, text] =
          elements[i].name == "TextLine"     ? joinedChildren(static_cast<int>(i), "Word", " ")
          : elements[i].name == "TextRegion" ? joinedChildren(static_cast<int>(i), "TextLine", "\n")
                                             : std::make_pair(false, std::string());
      if (!any) continue;
      EXPECT_EQ(own->text, text) << elements[i].name << " " << elements[i].attribute("id")->value;
      ++checked;
    }
    EXPECT_GE(checked, 1);
  }
}

TEST(Export, WritesOnlyTheChangedLettersAndWhatDependsOnThem) {
  const std::string bytes = readData(fs::path(SCANMEND_PAGES_DATA) / "hand-alto2-crlf.xml");
  const std::string page = makePageText(read(bytes));
  ASSERT_EQ(page, "Die Gesellfchaft fa&t f\xFCr Verfamm=\nlung Strasze.\n");
  const std::string out = exported(bytes,
                                   "Die Gesellschaft sa&t f\xFCr Versammlung\nStra\xDF"
                                   "e.\n");
  // The long s stays as the source had it, the entity becomes the letter.
  EXPECT_NE(out.find("CONTENT='Ge\xC5\xBF"
                     "ellschaft'\r\n          WC='0.8' CC='1 1"),
            std::string::npos);
  EXPECT_NE(out.find("CONTENT=\"sa&amp;t\" />"), std::string::npos);
  EXPECT_NE(out.find("CONTENT='fu\xCD\xA4r' CC='1 2 3'"), std::string::npos);
  EXPECT_NE(out.find("CONTENT='Versamm' SUBS_TYPE='HypPart1' SUBS_CONTENT='Versammlung'"),
            std::string::npos);
  EXPECT_NE(out.find("CONTENT='lung' SUBS_TYPE='HypPart2' SUBS_CONTENT='Versammlung'"),
            std::string::npos);
  EXPECT_NE(out.find("CONTENT='Stra\xC3\x9F"
                     "e.'"),
            std::string::npos);
  EXPECT_NE(out.find("<alto:postProcessingStep><alto:processingStepDescription>"),
            std::string::npos);

  // A word of another length loses its confidences per character.
  const std::string shorter =
      exported(bytes, "Di Gesellfchaft fa&t f\xFCr Verfamm=\nlung Strasze.\n");
  EXPECT_NE(shorter.find("CONTENT='Di' WC='0.9'/>"), std::string::npos);
}

TEST(Export, RecordsTheStepWhereTheAltoVersionKeepsIt) {
  const std::string v4 = readData(fs::path(SCANMEND_PAGES_DATA) / "hand-alto4.xml");
  const std::string out = exported(v4, corrected(makePageText(read(v4))));
  EXPECT_NE(
      out.find("</Processing>\n    <Processing ID=\"SCANMEND_1\"><processingStepDescription>"),
      std::string::npos);
  // No Description to record it in: nothing is added.
  const std::string v1 = readData(fs::path(SCANMEND_PAGES_DATA) / "hand-alto1-nonamespace.xml");
  const std::string plain = exported(v1, "Er sah sie\n");
  EXPECT_EQ(plain,
            "<alto><Layout><Page><PrintSpace><TextBlock><TextLine><String CONTENT=\"Er\"/><SP/>"
            "<String CONTENT=\"sah\"/><SP/><String CONTENT=\"sie\"/></TextLine></TextBlock>"
            "</PrintSpace></Page></Layout></alto>");
}

TEST(Import, HyphenatedWordsEndTheirLineWithTheJoiningMark) {
  const struct {
    const char* file;
    const char* text;
  } cases[] = {
      {"hand-alto4.xml",
       "Die Gefell=\nfchaft verfam=\nmelte fich im Haufe=\n"
       "des M\xFCllers, der fchon lange wu\xDF te, da\xDF er Nach=\nricht hatte mit rs\n"},
      {"hand-hocr.html", "Erftes Kapitel\nEr fah ver=\nfamm&elt fie\nBild\n"},
      {"hand-utf8-crlf.txt", "Die Gefellfchaft ver=\nfammelte sich.\nEr fah fie nicht.\n"},
      {"hand-page2019-lines.xml",
       "Es war ein fch\xF6ner Abend, und die\nKinder fpielten im Garten.\nDie Mutter rief fie\n"
       "zum Effen & fie kamen.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    std::string expected = c.text;
    std::erase(expected, ' ');
    std::string actual = makePageText(read(readData(fs::path(SCANMEND_PAGES_DATA) / c.file)));
    std::string compact = actual;
    std::erase(compact, ' ');
    EXPECT_EQ(compact, expected) << actual;
  }
}

TEST(Import, BadFilesAreRefusedWithTheirPlace) {
  const struct {
    std::string bytes;
    std::size_t line;
    std::size_t column;
    const char* says;
  } cases[] = {
      {"<alto>\n  <String CONTENT='a'>\n</alto>", 3, 3, "mismatched tag"},
      {"<?xml version='1.0' encoding='ISO-8859-1'?><alto/>", 1, 1, "only UTF-8"},
      {std::string("\xFF\xFE<\0a\0", 6), 0, 0, "is UTF-16LE"},
      {std::string("\xFE\xFF\0<\0a", 6), 0, 0, "is UTF-16BE"},
      {std::string("\xFF\xFE\0\0<\0\0\0", 8), 0, 0, "is UTF-32LE"},
      {std::string("<\0a\0l\0t\0o\0>\0", 12), 0, 0, "is UTF-16LE"},  // no byte-order mark
      {std::string("\0D\0i\0e\0 \0H\0a\0u\0s\0\n", 18), 0, 0, "is UTF-16BE"},
      {std::string("\0\0\0<\0\0\0a\0\0\0>", 12), 0, 0, "is UTF-32BE"},
      {"<!DOCTYPE alto [<!ENTITY s \"<String CONTENT='a'/>\">]>\n<alto><TextLine>&s;</TextLine>"
       "</alto>",
       2, 17, "an element comes from an entity"},
      {"Die Stra\xDF"
       "e\n",
       1, 9, "not UTF-8"},
      {"<svg><text>a</text></svg>", 1, 1, "no known OCR format"},
      {"<html><body><p>no OCR here</p></body></html>", 1, 1, "no known OCR format"},
      {"<alto>&bogus;</alto>", 1, 7, "undefined entity"},
      {std::string("BM\x36\x10\x0E\0\0\0\0\0\x36\0", 12), 0, 0, "an image (BMP)"},
      {std::string("RIFF\x24\x08\0\0WEBPVP8 ", 16), 0, 0, "an image (WebP)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    SourcePage page;
    SourceError error;
    EXPECT_FALSE(readSource(c.bytes, page, error));
    EXPECT_EQ(error.line, c.line);
    EXPECT_EQ(error.column, c.column);
    EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
  }
}

TEST(Import, TextThatStartsAsAnImageSignatureIsText) {
  // Shorter than the signatures they begin: pages of text, not images.
  for (const char* bytes : {"BM\n", "BM", "RIFF", "RIFF\nWEB"}) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(read(bytes).source, bytes);
  }
}

// PAGE's line and region texts follow their words where each stands:
// their own spacing and punctuation stay, and so does every line.
TEST(Export, PageTextsKeepTheirSpacingPunctuationAndLines) {
  const std::string bytes =
      "<PcGts><Page><TextRegion id='r'>"
      "<TextLine id='a'><Word><TextEquiv><Unicode>Monatsfchrift</Unicode></TextEquiv></Word>"
      "<Word><TextEquiv><Unicode>.</Unicode></TextEquiv></Word>"
      "<TextEquiv><Unicode>Monatsfchrift.</Unicode></TextEquiv></TextLine>"
      "<TextLine id='b'><Word><TextEquiv><Unicode>Men-</Unicode></TextEquiv></Word></TextLine>"
      "<TextLine id='c'><Word><TextEquiv><Unicode>fchen</Unicode></TextEquiv></Word>"
      "<TextEquiv><Unicode>fchen  ,</Unicode></TextEquiv></TextLine>"
      "<TextEquiv><Unicode>Monatsfchrift.\nMen-\nfchen  ,</Unicode></TextEquiv>"
      "</TextRegion></Page></PcGts>";
  const std::string page = makePageText(read(bytes));
  ASSERT_EQ(page, "Monatsfchrift .\nMen=\nfchen\n");
  const std::string out = exported(bytes, "Monatsschrift .\nMen=\nschen\n");
  EXPECT_NE(out.find("<Unicode>Monatsschrift.</Unicode></TextEquiv></TextLine>"), std::string::npos)
      << out;
  EXPECT_NE(out.find("<Unicode>schen  ,</Unicode></TextEquiv></TextLine>"), std::string::npos);
  EXPECT_NE(out.find("<Unicode>Monatsschrift.\nMen-\nschen  ,</Unicode>"), std::string::npos)
      << out;
}

// Comments, processing instructions and CDATA within a corrected text
// stay; only the changed characters are written anew.
TEST(Export, MarkupInsideACorrectedWordStays) {
  const std::string bytes =
      "<html><body><span class='ocr_line'><span class='ocrx_word'>Ge<!-- x -->fell<?p q?>"
      "fchaft<![CDATA[&]]></span> <span class='ocrx_word'>Tom &amp; Jerry</span></span>"
      "</body></html>";
  ASSERT_EQ(makePageText(read(bytes)), "Gefellfchaft& Tom & Jerry\n");
  const std::string out = exported(bytes, "Gesellschaft& Tom & Jerry\n");
  EXPECT_NE(out.find("Ge<!-- x -->sells<?p q?>chaft<![CDATA[&]]></span>"), std::string::npos)
      << out;
  EXPECT_NE(out.find(">Tom &amp; Jerry<"), std::string::npos) << "the unchanged word as it was";
}

TEST(Export, RefusesACorrectedPageThatDoesNotLineUp) {
  const std::string bytes = readData(fs::path(SCANMEND_PAGES_DATA) / "hand-alto4.xml");
  const SourcePage page = read(bytes);
  FieldTexts fields;
  std::string reason;
  EXPECT_FALSE(correctedFieldTexts(page, "Die Gesellschaft\n", fields, reason));
  EXPECT_NE(reason.find("has 2 words in 1 lines"), std::string::npos) << reason;
  // As many words, but other bytes between them, or other lines.
  const std::string text = makePageText(page);
  const struct {
    std::string from;
    std::string to;
    const char* says;
  } cases[] = {
      {",", ";", "outside its words"},
      {" ", "  ", "outside its words"},
      {"\n", " ", "where the import gave 21 words in 5 lines"},
  };
  for (const auto& c : cases) {
    std::string changed = text;
    changed.replace(changed.find(c.from), c.from.size(), c.to);
    EXPECT_FALSE(correctedFieldTexts(page, changed, fields, reason)) << changed;
    EXPECT_NE(reason.find(c.says), std::string::npos) << reason;
  }
}

TEST(Export, AJoinedLineWithAWordMoreIsNoLineAsImported) {
  // Joined, the first line holds a word more than it did; the second line
  // still ends in a hyphen, at the page's end, where no join follows. Each
  // line must line up whole, or the words went to other places.
  for (const std::string bytes : {"Die tr-\nfammm=e nicht-\n", "Die tr-\nfammm=e nicht.\n"}) {
    SCOPED_TRACE(bytes);
    const SourcePage page = read(bytes);
    const std::string joined = joinHyphenatedLines(makePageText(page));
    EXPECT_EQ(exported(bytes, joined), bytes);
    std::string mended = joined;
    mended.replace(mended.find("fammm"), 5, "samme");
    EXPECT_EQ(exported(bytes, mended), std::string(bytes).replace(bytes.find("fammm"), 5, "samme"));
  }
}

}  // namespace
}  // namespace scanmend::pages
