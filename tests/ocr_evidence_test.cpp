// What import keeps of an OCR file beyond its text: each word's confidence
// and its letters' alternatives, in every format that carries them, and
// ocr.tsv, the table that carries them to the learner.
#include "book/ocr_evidence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "pages/ocr_confidences.h"
#include "pages/page_text.h"
#include "pages/source_page.h"

namespace scanmend::pages {
namespace {

namespace fs = std::filesystem;

std::string readData(const std::string& name) {
  std::ifstream file(fs::path(SCANMEND_PAGES_DATA) / name, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::vector<OcrWord> wordsOf(const std::string& bytes) {
  SourcePage page;
  SourceError error;
  EXPECT_TRUE(readSource(bytes, page, error, true)) << error.message;
  return ocrWordsOf(page, 7);
}

const OcrWord* find(const std::vector<OcrWord>& words, std::string_view text) {
  for (const OcrWord& word : words)
    if (word.text == text) return &word;
  return nullptr;
}

TEST(OcrWords, AltoGivesWordConfidencesCharacterConfidencesAndGlyphVariants) {
  const std::vector<OcrWord> words = wordsOf(readData("hand-alto2-glyphs.xml"));
  ASSERT_EQ(words.size(), 5u) << "\"des\" has no confidence and no row";
  EXPECT_EQ(words[0], (OcrWord{7, 1, 1, "Der", 0.97F, {}}));
  // Variants become whole words as the page shows them: the long s as s.
  EXPECT_EQ(words[2],
            (OcrWord{7, 1, 3, "fah", 0.41F, {{"sah", 0.44F}, {"fa\xDF", 0.39F}, {"fab", 0.05F}}}));
  // Without WC, the characters' confidences, 0 sure to 9 unsure.
  EXPECT_FLOAT_EQ(words[3].confidence, 1.0F);
  EXPECT_EQ(words[4].text, "Haufe");
  EXPECT_FLOAT_EQ(words[4].confidence, 0.8F);
}

TEST(OcrWords, PageGivesTheWordsConfAndItsGlyphsLaterTextEquivs) {
  const std::vector<OcrWord> words = wordsOf(readData("hand-page2019-glyphs.xml"));
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[1], (OcrWord{7, 1, 2, "fie", 0.38F, {{"sie", 0.47F}}}));
}

TEST(OcrWords, TesseractsHocrGivesXWconfAndTheChoicesOfEveryLetter) {
  const std::string bytes = readData("tesseract-frk-choices.hocr");
  SourcePage page;
  SourceError error;
  ASSERT_TRUE(readSource(bytes, page, error, true));
  // The word is the text before the choices, not the first choice.
  EXPECT_EQ(makePageText(page),
            "Der Rath sas\xDFz im hause des B\xFCrger=\nmeisters, und seine frau lasz.\n");
  const std::vector<OcrWord> words = ocrWordsOf(page, 1);
  ASSERT_EQ(words.size(), 12u);
  EXPECT_FLOAT_EQ(words[6].confidence, 0.07F);
  EXPECT_EQ(words[6].text, "B\xFCrger=");
  const OcrWord* rath = find(words, "Rath");
  ASSERT_NE(rath, nullptr);
  EXPECT_FLOAT_EQ(rath->confidence, 0.92F);
  std::size_t alternatives = 0;
  for (const OcrWord& word : words) {
    alternatives += word.alternatives.size();
    for (const OcrAlternative& alternative : word.alternatives) {
      EXPECT_EQ(alternative.text.size(), word.text.size()) << alternative.text;
      EXPECT_GT(alternative.confidence, 0);
    }
  }
  EXPECT_GT(alternatives, 0u);
}

TEST(OcrWords, FilesWithoutConfidencesGiveNone) {
  for (const char* name : {"hand-hocr.html", "hand-alto4.xml", "hand-page2013-words.xml",
                           "hand-utf8-crlf.txt", "tesseract-deu.txt"}) {
    SCOPED_TRACE(name);
    const std::vector<OcrWord> words = wordsOf(readData(name));
    // The one conf of the hand-made PAGE file is its only row.
    EXPECT_LE(words.size(), std::string_view(name) == "hand-page2013-words.xml" ? 1u : 0u);
  }
}

TEST(OcrEvidenceTable, ReadsBackWhatItWrote) {
  const std::vector<OcrWord> words = {
      {1, 2, 3, "Theil", 0.96F, {{"Cheil", 0.19F}, {"Iheil", 0.07F}}},
      {1, 2, 4, "fa\xDF:", -1, {{"sa\xDF:", 0.5F}}},  // a colon inside: the last one separates
      {12, 1, 1, "\x84Wort", 0.5F, {}},
  };
  std::string table(ocrEvidenceHeader());
  for (const OcrWord& word : words) appendOcrWordRow(table, word);
  EXPECT_NE(table.find("1\t2\t3\tTheil\t0.96\tCheil:0.19 Iheil:0.07\n"), std::string::npos);
  EXPECT_NE(table.find("12\t1\t1\t\xE2\x80\x9EWort\t0.50\t\n"), std::string::npos) << "UTF-8";
  std::vector<OcrWord> back;
  std::string error;
  ASSERT_TRUE(parseOcrEvidence(table, back, error)) << error;
  EXPECT_EQ(back, words);
}

TEST(OcrEvidenceTable, RefusesAnythingElseWithItsLine) {
  const std::string header(ocrEvidenceHeader());
  for (const std::string& bad : {std::string("page\tline\n"), header + "1\t1\t1\tWort\t1.5\t\n",
                                 header + "1\t1\tx\tWort\t\t\n", header + "1\t1\t1\tWort\t\tWart\n",
                                 header + "1\t1\t1\t\t0.5\t\n", header + "1\t1\t1\tWort\t0.5\n"}) {
    std::vector<OcrWord> words;
    std::string error;
    EXPECT_FALSE(parseOcrEvidence(bad, words, error)) << bad;
    EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
  }
}

}  // namespace
}  // namespace scanmend::pages
