// The parts of the review: where a word stands on its page image in each
// format, which words of a corrected page stand for which imported ones,
// decisions.tsv as people's tools save it, and the page's data escaped.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "pages/review_geometry.h"
#include "pages/review_images.h"
#include "pages/review_page.h"
#include "pages/review_table.h"
#include "pages/review_words.h"
#include "pages/source_page.h"

namespace scanmend::pages {
namespace {

SourcePage read(std::string_view bytes) {
  SourcePage page;
  SourceError error;
  EXPECT_TRUE(readSource(bytes, page, error)) << error.message;
  return page;
}

struct GeometryCase {
  const char* name;
  std::string_view file;
  std::string image;
  int unitsPerInch;
  std::vector<std::string> ids;
  std::vector<Box> words;
  std::vector<Box> lines;
};

class Geometry : public testing::TestWithParam<GeometryCase> {};

TEST_P(Geometry, BoxesIdsAndTheImageAsTheFileGivesThem) {
  const GeometryCase& expected = GetParam();
  const SourcePage page = read(expected.file);
  const PageGeometry geometry = pageGeometry(expected.file, page);
  EXPECT_EQ(geometry.image, expected.image);
  EXPECT_EQ(geometry.unitsPerInch, expected.unitsPerInch);
  EXPECT_EQ(geometry.ids, expected.ids);
  EXPECT_EQ(geometry.words, expected.words);
  EXPECT_EQ(geometry.lines, expected.lines);
}

INSTANTIATE_TEST_SUITE_P(
    EachFormat, Geometry,
    testing::Values(
        GeometryCase{"alto_with_a_prefix",
                     "<a:alto xmlns:a='http://www.loc.gov/standards/alto/ns-v3#'><a:Description>"
                     "<a:MeasurementUnit>pixel</a:MeasurementUnit><a:sourceImageInformation>"
                     "<a:fileName> scans/p 1.tif </a:fileName></a:sourceImageInformation>"
                     "</a:Description><a:Layout><a:Page><a:PrintSpace><a:TextBlock>"
                     "<a:TextLine ID='l1' HPOS='10' VPOS='20' WIDTH='300' HEIGHT='40'>"
                     "<a:String ID='s1' HPOS='10' VPOS='22' WIDTH='80' HEIGHT='30' CONTENT='Die'/>"
                     "<a:String ID='s2' HPOS='100.5' VPOS='21' WIDTH='90' HEIGHT='35' "
                     "CONTENT='Haus,'/><a:HYP CONTENT='-'/></a:TextLine>"
                     "<a:TextLine><a:String CONTENT='ohne' HPOS='x'/><a:String CONTENT='Box'/>"
                     "</a:TextLine></a:TextBlock></a:PrintSpace></a:Page></a:Layout></a:alto>",
                     "scans/p 1.tif",
                     0,
                     {"s1", "s2", "", "", ""},
                     {{10, 22, 80, 30}, {100, 21, 91, 35}, {}, {}, {}},
                     {{10, 20, 300, 40}, {}}},
        GeometryCase{"alto_in_tenths_of_a_millimetre",
                     "<alto><Description><MeasurementUnit>mm10</MeasurementUnit></Description>"
                     "<Layout><Page><PrintSpace><TextBlock><TextLine>"
                     "<String ID='a' HPOS='254' VPOS='0' WIDTH='254' HEIGHT='-5' CONTENT='Die'/>"
                     "<String ID='b' HPOS='0' VPOS='0' WIDTH='254' HEIGHT='254' CONTENT='See'/>"
                     "</TextLine></TextBlock></PrintSpace></Page></Layout></alto>",
                     "",
                     254,
                     {"a", "b"},
                     {{}, {0, 0, 254, 254}},
                     {{0, 0, 254, 254}}},
        GeometryCase{"hocr_with_a_word_in_an_inner_element",
                     "<html><body><div class='ocr_page' title='image \"page 1.png\"; bbox 0 0 "
                     "900 700'><span class='ocr_line' id='line_1' title='bbox 5 6 400 50; "
                     "baseline 0 -8'><span class='ocrx_word' id='w1' title='bbox 5 8 90 48; "
                     "x_wconf 91'><strong>Die</strong></span> <span class='ocrx_word' id='w2' "
                     "title='x_wconf 80;bbox 100 6 180 50'>See</span></span></div></body></html>",
                     "page 1.png",
                     0,
                     {"w1", "w2"},
                     {{5, 8, 85, 40}, {100, 6, 80, 44}},
                     {{5, 6, 395, 44}}},
        GeometryCase{"hocr_whose_image_follows_its_checksum",
                     "<html><body><div class='ocr_page' title='imagemd5 9a0b; image scan.png; "
                     "bbox 0 0 900 700'><span class='ocr_line' title='bbox 5 6 400 50'><span "
                     "class='ocrx_word' id='w1' title='bboxes 1 2 3 4; bbox 5 8 90 48'>Die</span>"
                     "</span></div></body></html>",
                     "scan.png",
                     0,
                     {"w1"},
                     {{5, 8, 85, 40}},
                     {{5, 6, 395, 44}}},
        GeometryCase{"page_with_words_and_a_line_without",
                     "<PcGts><Page imageFilename='p.png'><TextRegion id='r1'><Coords "
                     "points='0,0 500,0 500,200 0,200'/><TextLine id='l1'><Coords points='10,10 "
                     "300,10 300,60 10,60'/><Word id='w1'><Coords points='10,12 90,12 90,58 "
                     "10,58'/><TextEquiv><Unicode>Die</Unicode></TextEquiv></Word><Word "
                     "id='w2'><Coords points='100,10 bad'/><TextEquiv><Unicode>See</Unicode>"
                     "</TextEquiv></Word></TextLine><TextLine id='l2'><Coords points='10,70 "
                     "200,70 200,120 10,130'/><TextEquiv><Unicode>zwei Worte</Unicode>"
                     "</TextEquiv></TextLine></TextRegion></Page></PcGts>",
                     "p.png",
                     0,
                     {"w1", "w2", "l2", "l2"},
                     {{10, 12, 80, 46}, {}, {10, 70, 190, 60}, {10, 70, 190, 60}},
                     {{10, 10, 290, 50}, {10, 70, 190, 60}}},
        GeometryCase{"text", "Die See\nzwei\n", "", 0, {"", "", ""}, {{}, {}, {}}, {{}, {}}}),
    [](const testing::TestParamInfo<GeometryCase>& info) { return info.param.name; });

TEST(Geometry, MeasuresInPixelsOfTheImage) {
  PageGeometry tenths;
  tenths.unitsPerInch = 254;
  EXPECT_DOUBLE_EQ(pixelsPerUnit(tenths, 508), 2.0);
  EXPECT_DOUBLE_EQ(pixelsPerUnit(tenths, 0), 300 / 254.0);  // no resolution: 300 an inch
  EXPECT_DOUBLE_EQ(pixelsPerUnit(PageGeometry{}, 600), 1.0);
  EXPECT_EQ(scaledBox({254, 127, 254, 254}, 2), (Box{508, 254, 508, 508}));
}

TEST(Geometry, APartOfAWordBoxByItsShareOfTheLetters) {
  const Box box{100, 10, 120, 30};
  EXPECT_EQ(partOfBox(box, 0, 12, 12), box);                    // the whole token
  EXPECT_EQ(partOfBox(box, 0, 8, 12), (Box{100, 10, 80, 30}));  // "Schweren" of "Schweren-vnd"
  EXPECT_EQ(partOfBox(box, 9, 12, 12), (Box{190, 10, 30, 30}));
  EXPECT_EQ(partOfBox(Box{}, 0, 1, 3), Box{});
  EXPECT_TRUE((Box{}).united(box) == box && box.united(Box{}) == box);
  EXPECT_EQ(box.united({0, 0, 10, 10}), (Box{0, 0, 220, 40}));
}

TEST(Alignment, WordForWordOrJoinedAtALineEnd) {
  const SourcePage page = read("Die Gesell-\nschaft, sah\n");
  PageAlignment alignment;
  std::string reason;
  ASSERT_TRUE(alignCorrectedPage(page, "Die Gesell=\nschaft, sah\n", alignment, reason));
  ASSERT_EQ(alignment.corrected.size(), 4u);
  EXPECT_EQ(alignment.imported[2].line, 1u);
  EXPECT_EQ(alignment.imported[2].number, 1u);
  EXPECT_EQ(alignment.imported[3].spaced, 2u);

  // The learner's pages are joined: "Gesellschaft," moves up.
  ASSERT_TRUE(alignCorrectedPage(page, "Die Gesellschaft,\nsah\n", alignment, reason));
  ASSERT_EQ(alignment.corrected.size(), 3u);
  EXPECT_EQ(alignment.corrected[1].first, 1u);
  EXPECT_EQ(alignment.corrected[1].count, 2u);
  EXPECT_EQ(alignment.readOf(alignment.corrected[1]), "Gesellschaft");
  EXPECT_EQ(alignment.corrected[2].first, 3u);

  std::string corrected = "Die Gesellschaft,\nsah\n";
  rewriteCorrectedWord(corrected, alignment, 1, "Gesellschaften");
  EXPECT_EQ(corrected, "Die Gesellschaften,\nsah\n");
  EXPECT_EQ(corrected.substr(alignment.corrected[2].at, 3), "sah");

  EXPECT_FALSE(alignCorrectedPage(page, "Die Gesellschaft\n", alignment, reason));
  EXPECT_EQ(reason, "has 2 words where the import gave 4");
}

struct DecisionCase {
  const char* name;
  std::string table;
  std::vector<std::string> problems;
  std::size_t rows;
};

class Decisions : public testing::TestWithParam<DecisionCase> {};

TEST_P(Decisions, ReadByTheNamesOfTheirColumns) {
  std::vector<DecisionRow> rows;
  std::vector<std::string> problems;
  const bool read = readDecisionTable(GetParam().table, rows, problems);
  EXPECT_EQ(read, GetParam().problems.empty());
  EXPECT_EQ(problems, GetParam().problems);
  EXPECT_EQ(rows.size(), GetParam().rows);
}

const std::string kHeader = "row\tfile\tline\tword\tread\twritten\tdecision\n";

INSTANTIATE_TEST_SUITE_P(
    AsSaved, Decisions,
    testing::Values(
        DecisionCase{"as_the_page_saves_them",
                     // UTF-8, as the page saves them: "da\xC3\x9F" is "da\xDF".
                     kHeader + "1\ta.xml\t3\t2\tfie\tsie\taccept\n" +
                         "2\ta.xml\t4\t1\tdaf\tdas\tda\xC3\x9F\n",
                     {},
                     2},
        DecisionCase{"undecided_rows_skipped", kHeader + "1\ta.xml\t3\t2\tfie\tsie\t\n\n", {}, 0},
        DecisionCase{"other_columns_in_another_order",
                     "decision\tread\tnote\tword\tline\tfile\twritten\r\n"
                     "reject\tfie\tx\t2\t3\ta.xml\tsie\r\n",
                     {},
                     1},
        DecisionCase{"a_missing_column",
                     "file\tline\tword\tread\twritten\n",
                     {"line 1: the header has no column \"decision\""},
                     0},
        DecisionCase{"damaged_rows_each_named",
                     kHeader + "1\ta.xml\t3\n2\ta.xml\tdrei\t2\tfie\tsie\taccept\n"
                               "3\ta.xml\t0\t2\tfie\tsie\taccept\n4\t\t1\t1\tfie\tsie\treject\n"
                               "5\ta.xml\t1\t1\tfie\tsie\treject\n",
                     {"line 2: has 3 cells where the header has 7",
                      "line 3: the line \"drei\" and word \"2\" are not numbers from 1",
                      "line 4: the line \"0\" and word \"2\" are not numbers from 1",
                      "line 5: names no file or no word as read"},
                     1}),
    [](const testing::TestParamInfo<DecisionCase>& info) { return info.param.name; });

TEST(Decisions, InUtf8WithAByteOrderMarkOrInWindows1252) {
  std::vector<DecisionRow> rows;
  std::vector<std::string> problems;
  ASSERT_TRUE(readDecisionTable("\xEF\xBB\xBF" + kHeader +
                                    "1\ta.xml\t1\t1\tStra\xC3\x9F"
                                    "e\tx\tStra\xC3\x9F"
                                    "e\n",
                                rows, problems));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].read,
            "Stra\xC3\x9F"
            "e");
  EXPECT_EQ(rows[0].kind, DecisionRow::Kind::Typed);
  EXPECT_EQ(rows[0].typed,
            "Stra\xC3\x9F"
            "e");
  ASSERT_TRUE(readDecisionTable(kHeader + "1\ta.xml\t1\t1\tStra\xDF"
                                          "e\tx\treject\n",
                                rows, problems));
  EXPECT_EQ(rows[0].read,
            "Stra\xC3\x9F"
            "e");
  EXPECT_EQ(rows[0].kind, DecisionRow::Kind::Reject);
  EXPECT_EQ(rows[0].line, 2u);
}

TEST(ReviewTable, ARowKeepsItsCellsWhole) {
  ReviewRow row;
  row.row = 7;
  row.file = "a.xml";
  row.page = 2;
  row.line = 3;
  row.word = 4;
  row.read = "fie";
  row.written = "sie";
  row.reason = "misreading";
  row.context = "und\tfie\nsah";
  std::string line;
  appendReviewRow(line, row);
  EXPECT_EQ(line, "7\ta.xml\t2\t3\t4\t\t\t\t\t\tfie\tsie\t\t\t\tmisreading\t\tund fie sah\n");
  EXPECT_EQ(reviewCells(row).size(), 18u);
}

TEST(ReviewPage, EveryTextOfTheDataEscaped) {
  std::string json;
  appendJsonString(json, "</script><b>\"a\\b'&\n\x01");
  EXPECT_EQ(json, "\"\\u003c/script\\u003e\\u003cb\\u003e\\\"a\\\\b\\u0027\\u0026\\u000a\\u0001\"");

  ReviewPage page;
  page.title = "<i>book</i>";
  ReviewRow row;
  row.row = 1;
  row.read = "</script><img src=x onerror=alert(1)>";
  row.context = row.read;
  page.rows = {row};
  page.near = {{-1, -1}};
  page.shots = {LineShot{"../../scans/p%201.jpg", {5, 6, 700, 80}, 10, 20, 30, 40}};
  const std::string html = reviewPageHtml(page);
  const std::size_t data = html.find("id=\"review-data\">");
  ASSERT_NE(data, std::string::npos);
  const std::size_t end = html.find("</script>", data);
  const std::string json2 = html.substr(data, end - data);
  EXPECT_EQ(json2.find('<'), std::string::npos);
  EXPECT_NE(json2.find("[\"../../scans/p%201.jpg\",5,6,700,80,10.000,20.000,30.000,40.000]"),
            std::string::npos);
  EXPECT_EQ(html.find("://"), std::string::npos) << "nothing from elsewhere";
}

class PageImages : public testing::Test {
 protected:
  void SetUp() override {
    root_ =
        std::filesystem::temp_directory_path() /
        ("scanmend-images-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    for (const char* folder : {"book/scans", "elsewhere"})
      std::filesystem::create_directories(root_ / folder);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  std::string write(const std::string& name, std::string_view bytes) {
    std::ofstream(root_ / name, std::ios::binary) << bytes;
    return (root_ / name).string();
  }
  std::string at(const std::string& name) const { return (root_ / name).string(); }
  std::filesystem::path root_;
};

TEST_F(PageImages, FoundAsTheFileNamesThemOrBesideItOrElsewhere) {
  const std::string jpeg = "\xFF\xD8\xFF\xE0 rest";
  write("book/scans/p 1.tif", "II*\0");
  write("book/002.png", "\x89PNG\r\n");
  write("elsewhere/003.jpg", jpeg);
  write("elsewhere/p4.jpg", jpeg);
  const std::filesystem::path book = root_ / "book";
  EXPECT_EQ(findPageImage(book / "001.xml", "scans/p 1.tif", ""), at("book/scans/p 1.tif"));
  EXPECT_EQ(findPageImage(book / "001.xml", at("book/scans/p 1.tif"), ""),
            at("book/scans/p 1.tif"));
  // Named where it was made, on this system or another: found by its name.
  write("book/p 5.tif", "II*\0");
  EXPECT_EQ(findPageImage(book / "005.xml", "/gone/p 5.tif", ""), at("book/p 5.tif"));
  EXPECT_EQ(findPageImage(book / "005.xml", "C:\\scans\\p 5.tif", ""), at("book/p 5.tif"));
  EXPECT_EQ(findPageImage(book / "002.hocr", "", ""), at("book/002.png"));  // by the file's name
  EXPECT_EQ(findPageImage(book / "003.xml", "003.jpg", ""), "");
  EXPECT_EQ(findPageImage(book / "003.xml", "003.jpg", at("elsewhere")), at("elsewhere/003.jpg"));
  EXPECT_EQ(findPageImage(book / "004.xml", "p4.jpg", at("elsewhere")), at("elsewhere/p4.jpg"));
  EXPECT_EQ(findPageImage(book / "006.xml", "http://example.org/006.jpg", ""), "");

  EXPECT_TRUE(browserShows(at("elsewhere/003.jpg")));
  EXPECT_TRUE(browserShows(at("book/002.png")));
  EXPECT_FALSE(browserShows(at("book/scans/p 1.tif")));
  EXPECT_FALSE(browserShows(write("book/short.jpg", "\xFF")));
  EXPECT_EQ(relativeUrl(book / "out/review", book / "scans/p 1.tif"), "../../scans/p%201.tif");
  EXPECT_EQ(relativeUrl(book, book / "a#b?.png"), "a%23b%3F.png");
}

TEST_F(PageImages, AnImageThatCannotBeReadIsSaidSo) {
  PageImage image;
  std::string why;
  EXPECT_FALSE(image.read(write("book/broken.png", "\x89PNG\r\n\x1A\n broken"), why));
  EXPECT_FALSE(why.empty());
  EXPECT_FALSE(image.read(at("book/none.png"), why));
  std::string bytes;
  Box cut;
  EXPECT_FALSE(image.cutLine({0, 0, 10, 10}, 2, 0, bytes, cut));
}

}  // namespace
}  // namespace scanmend::pages
