// Bad input through the real binary: each case gets its defined outcome,
// the console says what happened, and nothing else is lost.
#include "end_to_end.h"

namespace scanmend {
namespace {

namespace fs = std::filesystem;
using testing::kBanner;
using testing::kDictionaryRead;
using testing::processing;
using testing::ProcessResult;
using testing::readFile;
using testing::statistics;
using testing::WorkingDirectory;
using testing::writeFile;

std::string bytes(const char* text, std::size_t size) { return std::string(text, size); }

TEST_F(WorkingDirectory, DictionaryWithNulBytesAndAHundredThousandByteLine) {
  const std::string x255(255, 'x');
  writeFile(dir_ / "dic.txt", bytes("Ha\0us\n", 6) + std::string(100000, 'x') + "\r\nZug\n");
  const std::string page = bytes("Ha\0us Zug ", 10) + x255 + " " + std::string(300, 'x') + "\r\n";
  writeFile(dir_ / "in/001.txt", page);
  const ProcessResult result = run({});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out,
            kBanner + kDictionaryRead + processing(1) + processing(2) + statistics(4, 3, 0, 0, 1));
  EXPECT_EQ(readFile(dir_ / "out/001.txt"), page);
  EXPECT_EQ(readFile(dir_ / "word_fr.txt"),
            "word frequency of unknown words:\r\n" + std::string(300, 'x') + "\t1\r\n");
}

TEST_F(WorkingDirectory, AnInputPageThatIsADirectoryEndsThePages) {
  writeFile(dir_ / "dic.txt", "Haus\n");
  fs::create_directory(dir_ / "in/001.txt");
  writeFile(dir_ / "in/002.txt", "Haus\n");
  const ProcessResult result = run({});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, kBanner + kDictionaryRead + processing(1) + statistics(0, 0, 0, 0, 0));
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
  EXPECT_EQ(readFile(dir_ / "word_fr.txt"), "word frequency of unknown words:\r\n");
}

struct PageCase {
  std::string name;
  std::vector<std::string> arguments;
  std::string page;
  std::string written;
  long words;
};

class BadPages : public WorkingDirectory, public ::testing::WithParamInterface<PageCase> {};

TEST_P(BadPages, PassThroughByTheTextRules) {
  writeFile(dir_ / "dic.txt", "Haus\n");
  writeFile(dir_ / "in/001.txt", GetParam().page);
  const ProcessResult result = run(GetParam().arguments);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(readFile(dir_ / "out/001.txt"), GetParam().written);
  EXPECT_NE(
      result.out.find("Total words:                  " + std::to_string(GetParam().words) + "\r\n"),
      std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, BadPages,
    ::testing::Values(
        PageCase{"NulBytes",
                 {},
                 bytes("Haus\0Baum\r\n\0\r\n", 14),
                 bytes("Haus\0Baum\r\n\0\r\n", 14),
                 2},
        PageCase{"CtrlZInTheMiddle", {}, "Haus\r\nBaum\x1AZug\r\n", "Haus\r\nBaum", 2},
        PageCase{"LoneCarriageReturns", {}, "a\rb\r\r\nc\r", "a\rb\r\r\nc\r", 3},
        PageCase{"OnlySeparators", {}, " ,.;=\r\n\t\xAB\xBB\r\n", " ,.;=\r\n\t\xAB\xBB\r\n", 0},
        PageCase{"OnlySeparatorsGerman", {"german"}, " ,.;=\r\n", " ,.;-\r\n", 0},
        PageCase{"BinaryJunk",
                 {"Bnu", "german", "=", "I"},
                 bytes("\xFF\x00\x80=\n\x01 \x1B\x7F\r\r", 11),
                 bytes("\xFF\x00\x80\x01 \x1B\x7F\r\r", 9),
                 2}),
    [](const ::testing::TestParamInfo<PageCase>& info) { return info.param.name; });

TEST_F(WorkingDirectory, TenMegabytePageWithoutALineEnd) {
  writeFile(dir_ / "dic.txt", "Haus\n");
  std::string page;
  std::string expected;
  for (int i = 0; i < 1000000; ++i) {
    page += "Haus Hans ";
    expected += "Haus Haus ";
  }
  writeFile(dir_ / "in/001.txt", page);
  const ProcessResult result = run({"Bnu"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, kBanner + kDictionaryRead + processing(1) + processing(2) +
                            statistics(2000000, 1000000, 1000000, 0, 0));
  EXPECT_EQ(readFile(dir_ / "out/001.txt"), expected);
}

}  // namespace
}  // namespace scanmend
