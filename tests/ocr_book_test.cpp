// A book imported from OCR files that say how sure the OCR was: the
// learner keeps the words read with the confidence of right words and
// mends those read with the confidence of misreadings, where the pages
// alone cannot tell them apart, and takes a letter's alternative that
// makes a dictionary word.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "test_support.h"

namespace scanmend {
namespace {

namespace fs = std::filesystem;
using testing::ProcessResult;
using testing::readFile;
using testing::runProcess;
using testing::TempDir;
using testing::writeFile;

const std::string kBin = SCANMEND_BIN_DIR;

const char* const kWords[] = {
    "sie",   "sich",   "sein",   "fein",   "sehr",   "lesen",  "fassen", "Haus",  "auf",
    "aus",   "Geist",  "ist",    "das",    "der",    "die",    "und",    "so",    "es",
    "Hof",   "stehen", "Stimme", "besser", "Wasser", "los",    "Last",   "fest",  "Rest",
    "Gast",  "suchen", "sagen",  "sehen",  "sonst",  "selten", "Insel",  "Wiese", "lassen",
    "Hafen", "Ofen",   "Tafel",  "laufen", "helfen", "hoffen", "rufen",  "offen", "Garten",
    "Mann",  "Frau",   "Kind",   "Weg",    "Tag",    "Nacht",  "Feld",   "Wald"};

// A word as printed, as the OCR read it, and how sure it was; and the
// other letter it saw in one place, if any.
struct Read {
  std::string truth;
  std::string read;
  double confidence;
  std::size_t otherAt = 0;
  std::string other;
  double otherConfidence = 0;
};

// Pages of words where the OCR reads most long s as "f" and is unsure of
// them; "sein" read "fein" looks like the word "fein", which the pages
// also print, read with confidence. One "Haus" read as "Hcus" carries
// the "a" as its second letter's alternative.
std::vector<std::vector<std::vector<Read>>> makeBook() {
  std::vector<std::vector<std::vector<Read>>> pages;
  unsigned state = 7;
  const auto next = [&state](unsigned below) {
    state = state * 1103515245u + 12345u;
    return (state >> 16) % below;
  };
  int misread = 0;
  for (int p = 0; p < 6; ++p) {
    auto& lines = pages.emplace_back();
    for (int l = 0; l < 12; ++l) {
      auto& line = lines.emplace_back();
      for (int w = 0; w < 8; ++w) {
        std::string word = kWords[next(std::size(kWords))];
        if (next(7) == 0) word = next(2) == 0 ? "fein" : "sein";
        Read read{word, word, 0.97, 0, "", 0};
        for (std::size_t i = 0; i + 1 < word.size(); ++i) {
          if (word[i] == 's' && word != "fein" && ++misread % 10 < 7) {
            read.read[i] = 'f';
            read.confidence = 0.55;
          }
        }
        line.push_back(read);
      }
    }
  }
  pages[2][3][1] = {"Haus", "Hcus", 0.40, 1, "a", 0.35};
  return pages;
}

std::string fixed(double value) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

// The page in each format, as OCR programs write them.
std::string altoOf(const std::vector<std::vector<Read>>& lines) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<alto xmlns=\"http://www.loc.gov/standards/alto/ns-v3#\"><Layout><Page><PrintSpace>"
      "<TextBlock>\n";
  for (const auto& line : lines) {
    xml += "<TextLine>";
    for (const Read& word : line) {
      xml += "<String CONTENT=\"" + word.read + "\" WC=\"" + fixed(word.confidence) + "\"";
      if (word.other.empty()) {
        xml += "/>";
      } else {
        xml += ">";
        for (std::size_t k = 0; k < word.read.size(); ++k) {
          xml += "<Glyph CONTENT=\"" + word.read.substr(k, 1) + "\">";
          if (k == word.otherAt)
            xml += "<Variant CONTENT=\"" + word.other + "\" VC=\"" + fixed(word.otherConfidence) +
                   "\"/>";
          xml += "</Glyph>";
        }
        xml += "</String>";
      }
      xml += "<SP/>";
    }
    xml += "</TextLine>\n";
  }
  return xml + "</TextBlock></PrintSpace></Page></Layout></alto>\n";
}

// tesseract's hOCR with -c lstm_choice_mode=2: each letter's choices after
// the word's text, the likeliest first.
std::string hocrOf(const std::vector<std::vector<Read>>& lines) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html><body><div class='ocr_page'>\n";
  for (const auto& line : lines) {
    xml += "<span class='ocr_line'>";
    for (const Read& word : line) {
      xml += "<span class='ocrx_word' title='bbox 0 0 1 1; x_wconf " +
             std::to_string(static_cast<int>(word.confidence * 100 + 0.5)) + "'>" + word.read;
      for (std::size_t k = 0; k < word.read.size(); ++k) {
        xml += "<span class='ocrx_cinfo' id='lstm_choices_" + std::to_string(k) +
               "'><span class='ocrx_cinfo' title='x_confs 90'>" + word.read.substr(k, 1) +
               "</span>";
        if (k == word.otherAt && !word.other.empty())
          xml += "<span class='ocrx_cinfo' title='x_confs " +
                 std::to_string(static_cast<int>(word.otherConfidence * 100)) + "'>" + word.other +
                 "</span>";
        xml += "</span>";
      }
      xml += "</span> ";
    }
    xml += "</span>\n";
  }
  return xml + "</div></body></html>\n";
}

// PAGE 2019 with a conf for each word and its glyphs' text equivalents.
std::string pageXmlOf(const std::vector<std::vector<Read>>& lines) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PcGts "
      "xmlns=\"http://schema.primaresearch.org/PAGE/gts/pagecontent/2019-07-15\"><Page>"
      "<TextRegion id=\"r\">\n";
  int id = 0;
  for (const auto& line : lines) {
    xml += "<TextLine id=\"l" + std::to_string(++id) + "\">";
    for (const Read& word : line) {
      xml += "<Word id=\"w" + std::to_string(++id) + "\">";
      for (std::size_t k = 0; k < word.read.size() && !word.other.empty(); ++k) {
        xml += "<Glyph id=\"g" + std::to_string(++id) + "\"><TextEquiv index=\"1\"><Unicode>" +
               word.read.substr(k, 1) + "</Unicode></TextEquiv>";
        if (k == word.otherAt)
          xml += "<TextEquiv index=\"2\" conf=\"" + fixed(word.otherConfidence) + "\"><Unicode>" +
                 word.other + "</Unicode></TextEquiv>";
        xml += "</Glyph>";
      }
      xml += "<TextEquiv conf=\"" + fixed(word.confidence) + "\"><Unicode>" + word.read +
             "</Unicode></TextEquiv></Word>";
    }
    xml += "</TextLine>\n";
  }
  return xml + "</TextRegion></Page></PcGts>\n";
}

// The words of a page, split at blanks and line ends.
std::vector<std::string> wordsOf(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text + " ") {
    if (c != ' ' && c != '\r' && c != '\n') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

class OcrBook : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(book());
    std::string dictionary;
    for (const char* word : kWords) dictionary += std::string(word) + "\r\n";
    writeFile(book() / "dic.txt", dictionary);
    pages_ = makeBook();
    using Writer = std::string (*)(const std::vector<std::vector<Read>>&);
    const std::pair<const char*, Writer> formats[] = {
        {"alto", altoOf}, {"hocr", hocrOf}, {"page", pageXmlOf}};
    for (const auto& [folder, format] : formats) {
      fs::create_directories(dir_ / folder);
      for (std::size_t p = 0; p < pages_.size(); ++p)
        writeFile(dir_ / folder / ("00" + std::to_string(p + 1) + ".xml"), format(pages_[p]));
    }
  }
  fs::path book() const { return dir_ / "book"; }
  ProcessResult run(const std::string& tool, const std::vector<std::string>& arguments) {
    return runProcess(kBin + "/" + tool, arguments, book());
  }
  // How many of the words read as `read` and printed as `truth` come out
  // as `written`.
  int count(const std::string& read, const std::string& truth, const std::string& written) {
    int n = 0;
    for (std::size_t p = 0; p < pages_.size(); ++p) {
      const std::vector<std::string> out =
          wordsOf(readFile(book() / "out" / ("00" + std::to_string(p + 1) + ".txt")));
      std::size_t k = 0;
      for (const auto& line : pages_[p])
        for (const Read& word : line) {
          if (k < out.size() && word.read == read && word.truth == truth && out[k] == written) ++n;
          ++k;
        }
    }
    return n;
  }
  int printed(const std::string& read, const std::string& truth) const {
    int n = 0;
    for (const auto& page : pages_)
      for (const auto& line : page)
        for (const Read& word : line) n += word.read == read && word.truth == truth;
    return n;
  }
  TempDir dir_;
  std::vector<std::vector<std::vector<Read>>> pages_;
};

class EachFormat : public OcrBook, public ::testing::WithParamInterface<const char*> {};

TEST_P(EachFormat, ConfidencesTellTheWordFromTheMisreadingThatLooksLikeIt) {
  const ProcessResult imported = run("scanmend-pages", {"import", (dir_ / GetParam()).string()});
  ASSERT_EQ(imported.exitStatus, 0) << imported.err;
  ASSERT_TRUE(fs::exists(book() / "ocr.tsv"));
  const int printedFein = printed("fein", "fein");
  const int misreadSein = printed("fein", "sein");
  ASSERT_GT(printedFein, 10);
  ASSERT_GT(misreadSein, 10);

  const ProcessResult learned = run("scanmend-learn", {});
  ASSERT_EQ(learned.exitStatus, 0) << learned.err;
  EXPECT_NE(learned.out.find("by the OCR's confidence (ocr.tsv)"), std::string::npos);
  EXPECT_EQ(count("fein", "fein", "fein"), printedFein) << "no printed \"fein\" is broken";
  EXPECT_EQ(count("fein", "sein", "sein"), misreadSein);
  EXPECT_EQ(count("Hcus", "Haus", "Haus"), 1) << "the letter's alternative is a reading";

  // The same pages without what the OCR said: the printed "fein" and the
  // misread "sein" cannot be told apart.
  fs::remove(book() / "ocr.tsv");
  ASSERT_EQ(run("scanmend-learn", {}).exitStatus, 0);
  EXPECT_LT(count("fein", "fein", "fein") + count("fein", "sein", "sein"),
            printedFein + misreadSein);
}

INSTANTIATE_TEST_SUITE_P(OcrBook, EachFormat, ::testing::Values("alto", "hocr", "page"));

TEST_F(OcrBook, AnImportWithoutConfidencesLeavesNoTableOfAnEarlierOne) {
  ASSERT_EQ(run("scanmend-pages", {"import", (dir_ / "alto").string()}).exitStatus, 0);
  ASSERT_TRUE(fs::exists(book() / "ocr.tsv"));
  writeFile(dir_ / "page.txt", "Der Tag\n");
  ASSERT_EQ(run("scanmend-pages", {"import", (dir_ / "page.txt").string()}).exitStatus, 0);
  EXPECT_FALSE(fs::exists(book() / "ocr.tsv"));
  EXPECT_EQ(readFile(book() / "in" / "001.txt"), "Der Tag\r\n");
}

TEST_F(OcrBook, ADamagedTableIsRefusedWithWhatToDo) {
  ASSERT_EQ(run("scanmend-pages", {"import", (dir_ / "alto").string()}).exitStatus, 0);
  writeFile(book() / "ocr.tsv", "page\tline\tword\ttext\tconfidence\talternatives\n1\t1\n");
  const ProcessResult learned = run("scanmend-learn", {});
  EXPECT_EQ(learned.exitStatus, 1);
  EXPECT_NE(learned.err.find("ocr.tsv: line 2"), std::string::npos) << learned.err;
  EXPECT_FALSE(fs::exists(book() / "out" / "001.txt"));
}

// Confidences that are no number of their scale ("NaN", beyond 1 or 100,
// below 0) are ignored, each file's first named with its place: ocr.tsv
// holds only numbers, and the learner reads it.
TEST_F(OcrBook, ConfidencesThatAreNoNumbersAreIgnoredWithAWarning) {
  const struct {
    const char* name;
    const char* file;
    const char* says;
  } cases[] = {
      {"ALTO WC and VC",
       "<alto><Layout><Page><PrintSpace><TextBlock><TextLine>"
       "<String CONTENT=\"sie\" WC=\"NaN\"/><SP/><String CONTENT=\"fich\" WC=\"0.4\">"
       "<Glyph CONTENT=\"f\"><Variant CONTENT=\"s\" VC=\"nan\"/></Glyph></String><SP/>"
       "<String CONTENT=\"Haus\" WC=\"1.5\"/></TextLine></TextBlock></PrintSpace></Page>"
       "</Layout></alto>\n",
       "page.xml:1:80: the confidence \"NaN\" is no number from 0 to 1 (0 to 100 in hOCR); "
       "ignored, as are 2 more in this file"},
      {"hOCR x_wconf",
       "<html><body><span class='ocr_line'><span class='ocrx_word' title='x_wconf 150'>sie</span> "
       "<span class='ocrx_word' title='bbox 1 2 3 4; x_wconf "
       "-3'>Haus</span></span></body></html>\n",
       "page.xml:1:67: the confidence \"150\" is no number from 0 to 1 (0 to 100 in hOCR); "
       "ignored, as is one more in this file"},
      {"PAGE conf",
       "<PcGts><Page><TextRegion><TextLine><Word><TextEquiv conf=\"inf\"><Unicode>sie</Unicode>"
       "</TextEquiv></Word></TextLine></TextRegion></Page></PcGts>\n",
       "the confidence \"inf\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(dir_ / "page.xml", c.file);
    const ProcessResult imported = run("scanmend-pages", {"import", "--force", "../page.xml"});
    ASSERT_EQ(imported.exitStatus, 0) << imported.err;
    EXPECT_NE(imported.err.find(c.says), std::string::npos) << imported.err;
    const std::string table = fs::exists(book() / "ocr.tsv") ? readFile(book() / "ocr.tsv") : "";
    for (const char* number : {"nan", "inf", "1.50", "-"})
      EXPECT_EQ(table.find(number), std::string::npos) << table;
    const ProcessResult learned = run("scanmend-learn", {});
    EXPECT_EQ(learned.exitStatus, 0) << learned.err;
  }
}

// An ocr.tsv whose rows name a line or word that the pages lack is
// refused at once, with its line: a line number of four billions once
// asked for a hundred gigabytes. A FIFO in its place is never waited on.
TEST_F(OcrBook, AnOcrTableOfOtherPagesIsRefusedAtOnce) {
  ASSERT_EQ(run("scanmend-pages", {"import", (dir_ / "alto").string()}).exitStatus, 0);
  const std::string header = "page\tline\tword\ttext\tconfidence\talternatives\n";
  const struct {
    const char* row;
    const char* says;
  } cases[] = {
      {"1\t300000000\t1\tsie\t0.50\t\n", "ocr.tsv: line 2: page 1 has 12 lines, not 300000000"},
      {"1\t4294967295\t1\tsie\t0.50\t\n", "not 4294967295"},
      {"1\t1\t4294967295\tsie\t0.50\t\n", "line 1 of page 1 has no word 4294967295"},
      {"9\t1\t1\tsie\t0.50\t\n", "page 9 is none of the 6 pages"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    writeFile(book() / "ocr.tsv", header + c.row);
    const ProcessResult learned = run("scanmend-learn", {});
    EXPECT_EQ(learned.exitStatus, 1);
    EXPECT_NE(learned.err.find(c.says), std::string::npos) << learned.err;
  }
  // A hyphen that the OCR read as a word of its own has a row of its own,
  // though the page joins it to the word before.
  writeFile(dir_ / "hyphen.xml",
            "<alto><Layout><Page><PrintSpace><TextBlock><TextLine>"
            "<String CONTENT=\"Die\" WC=\"0.9\"/><SP/><String CONTENT=\"Gesell\" WC=\"0.8\"/><SP/>"
            "<String CONTENT=\"=\" WC=\"0.7\"/></TextLine><TextLine><String CONTENT=\"schaft\" "
            "WC=\"0.9\"/></TextLine></TextBlock></PrintSpace></Page></Layout></alto>\n");
  ASSERT_EQ(run("scanmend-pages", {"import", "--force", "../hyphen.xml"}).exitStatus, 0);
  EXPECT_NE(readFile(book() / "ocr.tsv").find("1\t1\t3\t=\t0.70"), std::string::npos);
  const ProcessResult hyphen = run("scanmend-learn", {});
  EXPECT_EQ(hyphen.exitStatus, 0) << hyphen.err;
  fs::remove(book() / "ocr.tsv");
  ASSERT_EQ(mkfifo((book() / "ocr.tsv").c_str(), 0600), 0);
  const ProcessResult fifo = run("scanmend-learn", {});
  EXPECT_EQ(fifo.exitStatus, 1);
  EXPECT_NE(fifo.err.find("ocr.tsv is not a regular file"), std::string::npos) << fifo.err;
}

// Each letter's alternatives repeat the word in ocr.tsv: a word keeps the
// likeliest three of each letter, and a word longer than any word of a
// language none, so that the table grows with the file, not with the
// square of a word's length.
TEST_F(OcrBook, AlternativesStayFewPerLetterAndLinearInTheWordsLength) {
  const auto hocrWord = [](std::size_t letters, int choices) {
    std::string word = "<span class='ocrx_word' title='x_wconf 40'>";
    std::string text;
    for (std::size_t k = 0; k < letters; ++k) text += "fie"[k % 3];
    word += text;
    for (std::size_t k = 0; k < letters; ++k) {
      word += "<span class='ocrx_cinfo'><span class='ocrx_cinfo' title='x_confs 90'>";
      word += text[k];
      word += "</span>";
      for (int c = 0; c < choices; ++c)
        word += "<span class='ocrx_cinfo' title='x_confs " + std::to_string(10 + c) + "'>" +
                std::string(1, static_cast<char>('k' + c)) + "</span>";
      word += "</span>";
    }
    return word + "</span>";
  };
  const std::string page = "<html><body><span class='ocr_line'>" + hocrWord(3, 6) + " " +
                           hocrWord(20000, 2) + "</span></body></html>\n";
  writeFile(dir_ / "page.hocr", page);
  const ProcessResult imported = run("scanmend-pages", {"import", "../page.hocr"});
  ASSERT_EQ(imported.exitStatus, 0) << imported.err;
  const std::string table = readFile(book() / "ocr.tsv");
  EXPECT_LT(table.size(), page.size() / 10) << "no alternatives of the long word";
  // Of the short word's six choices a letter (10% to 15%), the likeliest
  // three, in the order read.
  EXPECT_NE(table.find("1\t1\t1\tfie\t0.40\tnie:0.13 oie:0.14 pie:0.15 fne:0.13 foe:0.14 "
                       "fpe:0.15 fin:0.13 fio:0.14 fip:0.15\n"),
            std::string::npos)
      << table.substr(0, 300);
}

}  // namespace
}  // namespace scanmend

namespace scanmend {
namespace {

// One folder of OCR files of one format, corrected in one step.
class OneStep : public OcrBook {
 protected:
  ProcessResult correct(const std::string& folder, const std::vector<std::string>& more = {}) {
    std::vector<std::string> arguments{"correct", "--dictionary", (book() / "dic.txt").string()};
    arguments.insert(arguments.end(), more.begin(), more.end());
    arguments.insert(arguments.end(), {(dir_ / folder).string(), (dir_ / "corrected").string()});
    return runProcess(kBin + "/scanmend-pages", arguments, dir_.path());
  }
  std::map<std::string, std::string> filesIn(const std::string& folder) const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir_ / folder))
      if (entry.is_regular_file()) files[entry.path().filename().string()] = readFile(entry.path());
    return files;
  }
};

TEST_F(OneStep, CorrectsAFolderOfEachFormatAndLeavesTheSourcesAlone) {
  const std::string data = SCANMEND_PAGES_DATA;
  for (const char* file : {"tesseract-frk-choices.hocr", "hand-page2019-glyphs.xml"}) {
    fs::create_directories(dir_ / file);
    fs::copy_file(fs::path(data) / file, dir_ / file / file);
  }
  for (const std::string folder :
       {"alto", "tesseract-frk-choices.hocr", "hand-page2019-glyphs.xml"}) {
    SCOPED_TRACE(folder);
    fs::remove_all(dir_ / "corrected");
    const auto sources = filesIn(folder);
    const ProcessResult run = correct(folder);
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(filesIn(folder), sources);
    const auto written = filesIn("corrected");
    EXPECT_EQ(written.size(), sources.size()) << "the corrected files alone";
    for (const auto& [name, bytes] : sources) {
      ASSERT_TRUE(written.count(name)) << name;
      EXPECT_NE(written.at(name), bytes) << name << " has words to mend";
    }
    const auto reports = filesIn("corrected/review");
    for (const char* report :
         {"profile.tsv", "changes.tsv", "word_fr.txt", "written.tsv", "review.html", "review.tsv"})
      EXPECT_TRUE(reports.count(report)) << report;
    EXPECT_NE(run.out.find("Reports in "), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("then: scanmend-pages export"), std::string::npos) << run.out;
  }
  // The PAGE word "fie", read "sie" as its glyph's second choice, is mended.
  EXPECT_NE(readFile(dir_ / "corrected" / "hand-page2019-glyphs.xml").find(">sie<"),
            std::string::npos);
}

TEST_F(OneStep, OverwritesWhatItWroteAndNothingEditedSince) {
  ASSERT_EQ(correct("alto").exitStatus, 0);
  EXPECT_EQ(correct("alto").exitStatus, 0) << "its own files, unchanged since";
  const fs::path edited = dir_ / "corrected" / "003.xml";
  writeFile(edited, readFile(edited) + "<!-- checked -->\n");
  const ProcessResult refused = correct("alto");
  EXPECT_EQ(refused.exitStatus, 1);
  EXPECT_NE(refused.err.find("003.xml"), std::string::npos) << refused.err;
  EXPECT_NE(readFile(edited).find("checked"), std::string::npos);
  EXPECT_EQ(correct("alto", {"--force"}).exitStatus, 0);
  EXPECT_EQ(readFile(edited).find("checked"), std::string::npos);
}

TEST_F(OneStep, RefusesWhatItCannotDo) {
  const auto refused = [&](const std::vector<std::string>& arguments, int status,
                           const std::string& message) {
    const ProcessResult run = runProcess(kBin + "/scanmend-pages", arguments, dir_.path());
    EXPECT_EQ(run.exitStatus, status) << run.err;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir_ / "corrected"));
  };
  refused({"correct", "alto"}, 2, "Usage");
  refused({"correct", "alto", "corrected"}, 1, "dic.txt cannot be opened (the dictionary)");
  writeFile(dir_ / "review", "Der Tag\n");
  refused({"correct", "--dictionary", "book/dic.txt", "review", "corrected"}, 1,
          "the folder of the reports");
  refused({"correct", "--dictionary", "book/dic.txt", "alto", "alto"}, 1, "holds the source");
}

}  // namespace
}  // namespace scanmend

namespace scanmend {
namespace {

// A page whose OCR wrote the printed hyphen as ":", with a colon that ends
// a word too, and a misread word in a broken one.
constexpr const char* kColonHyphens =
    "Die Gesell:\nschaft kam in die Kir:\nche am Nach:\nmittag und der Da:\n"
    "ter sprach: und sagte\nes sey Haus:\nund Hof nicht Eigen:\nthum der Ge:\nmeinde.\n";

TEST(BookHyphens, AMarkThatJoinsWordsFarMoreOftenThanChanceIsTheBooksHyphen) {
  TempDir dir;
  fs::create_directories(dir / "book");
  writeFile(dir / "page.txt", kColonHyphens);
  writeFile(dir / "book" / "dic.txt",
            "Die\r\nGesellschaft\r\nkam\r\nin\r\ndie\r\nKirche\r\nam\r\nNachmittag\r\nund\r\n"
            "der\r\nVater\r\nsprach\r\nsagte\r\nes\r\nHaus\r\nHof\r\nnicht\r\nEigenthum\r\n"
            "Gemeinde\r\n");
  const auto run = [&](const std::string& tool, const std::vector<std::string>& arguments) {
    return runProcess(kBin + "/" + tool, arguments, dir / "book");
  };
  const ProcessResult imported = run("scanmend-pages", {"import", "../page.txt"});
  ASSERT_EQ(imported.exitStatus, 0) << imported.err;
  EXPECT_NE(imported.out.find("6 line ends joined"), std::string::npos) << imported.out;
  EXPECT_EQ(readFile(dir / "book" / "hyphens.tsv"),
            "page\tline\n1\t1\n1\t2\n1\t3\n1\t4\n1\t7\n1\t8\n");
  // "Haus:" before "und" and "sprach:" inside its line stay as read.
  EXPECT_EQ(readFile(dir / "book" / "in" / "001.txt"),
            "Die Gesell=\r\nschaft kam in die Kir=\r\nche am Nach=\r\nmittag und der Da=\r\n"
            "ter sprach: und sagte\r\nes sey Haus:\r\nund Hof nicht Eigen=\r\nthum der Ge=\r\n"
            "meinde.\r\n");
  ASSERT_EQ(run("scanmend", {"BDV", "="}).exitStatus, 0);
  ASSERT_EQ(run("scanmend-pages", {"export", "../corrected"}).exitStatus, 0);
  // Each half goes back to its place, the mark with it.
  std::string expected = kColonHyphens;
  expected.replace(expected.find("Da:"), 3, "Va:");
  EXPECT_EQ(readFile(dir / "corrected" / "page.txt"), expected);

  // The learner finds the same hyphens on the text pages alone, and joins
  // the words as it joins them at "="; "Dater" it reads as "Vater", as the
  // OCR's usual misreadings have it.
  fs::create_directories(dir / "plain" / "in");
  fs::copy_file(dir / "book" / "dic.txt", dir / "plain" / "dic.txt");
  writeFile(dir / "plain" / "in" / "001.txt", kColonHyphens);
  const ProcessResult learned = runProcess(kBin + "/scanmend-learn", {}, dir / "plain");
  ASSERT_EQ(learned.exitStatus, 0) << learned.err;
  EXPECT_NE(learned.out.find("6 of them at a mark"), std::string::npos) << learned.out;
  EXPECT_EQ(readFile(dir / "plain" / "out" / "001.txt"),
            "Die Gesellschaft\r\nkam in die Kirche\r\nam Nachmittag\r\nund der Vater\r\n"
            "sprach: und sagte\r\nes sey Haus:\r\nund Hof nicht Eigenthum\r\nder Ge-\r\n"
            "meinde.\r\n");

  // A dictionary in UTF-8 tells the same: the words with umlauts join.
  writeFile(dir / "umlauts.txt",
            "Der M\xC3\xBCl:\nler und die Br\xC3\xBC:\ncke am Fluss, die H\xC3\xA4u:\nser "
            "und der Schl\xC3\xBCs:\nsel zum Tor.\n");
  writeFile(dir / "book" / "dic.txt",
            "\xEF\xBB\xBF"
            "Der\r\nM\xC3\xBCller\r\nund\r\ndie\r\nBr\xC3\xBC"
            "cke\r\nam\r\nFluss\r\nH\xC3\xA4user\r\nder\r\nSchl\xC3\xBCssel\r\nzum\r\nTor\r\n");
  const ProcessResult umlauts = run("scanmend-pages", {"import", "../umlauts.txt"});
  ASSERT_EQ(umlauts.exitStatus, 0) << umlauts.err;
  EXPECT_NE(umlauts.out.find("4 line ends joined"), std::string::npos) << umlauts.out;

  // Without the dictionary's words nothing is joined, and no table of the
  // import before is left.
  writeFile(dir / "book" / "dic.txt", "und\r\n");
  ASSERT_EQ(run("scanmend-pages", {"import", "../page.txt"}).exitStatus, 0);
  EXPECT_FALSE(fs::exists(dir / "book" / "hyphens.tsv"));
  EXPECT_EQ(readFile(dir / "book" / "in" / "001.txt").find('='), std::string::npos);
}

}  // namespace
}  // namespace scanmend
