#include "files/text_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "test_support.h"

namespace scanmend {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// Runs `body` with the working directory set to `dir`.
template <typename Body>
void inDirectory(const TempDir& dir, Body body) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  body();
  std::filesystem::current_path(previous);
}

struct DecodeCase {
  std::string onDisk;
  std::string inMemory;
};

class ReadingConvention : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(ReadingConvention, DeliversTheTextAsInMemory) {
  std::string bytes = GetParam().onDisk;
  decodeText(bytes);
  EXPECT_EQ(bytes, GetParam().inMemory);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, ReadingConvention,
    ::testing::Values(DecodeCase{"", ""}, DecodeCase{"a\r\nb\r\n", "a\nb\n"},
                      DecodeCase{"a\nb\n", "a\nb\n"}, DecodeCase{"a\rb\r", "a\rb\r"},
                      DecodeCase{"a\r\r\n", "a\r\n"},
                      DecodeCase{"ab\x1A"
                                 "cd\r\n",
                                 "ab"},
                      // Ctrl-Z is cut first, so a CR before it stays.
                      DecodeCase{"ab\r\x1A\n", "ab\r"},
                      DecodeCase{std::string("a\0b\r\n", 5), std::string("a\0b\n", 4)},
                      DecodeCase{"\xE4\xF6\xFC\xDF\x80\xFF", "\xE4\xF6\xFC\xDF\x80\xFF"}));

TEST(ReadPage, AppendsTheDecodedPage) {
  TempDir dir;
  std::filesystem::create_directory(dir / "in");
  writeFile(dir / "in/042.txt", "Er kam\r\nnach Hause\r\n");
  writeFile(dir / "in/001.txt", "");  // an empty page is a page too
  inDirectory(dir, [] {
    for (const auto& [number, text] : {std::pair<int, std::string>{42, "Er kam\nnach Hause\n"},
                                       std::pair<int, std::string>{1, ""}}) {
      std::string page;
      EXPECT_TRUE(readPage(page, pagePath("in", number)));
      EXPECT_EQ(page, text);
    }
  });
}

TEST(ReadPage, MissingOrUnreadablePageIsNoPage) {
  TempDir dir;
  std::filesystem::create_directories(dir / "in/002.txt");  // a directory
  inDirectory(dir, [] {
    for (int number : {1, 2}) {
      std::string page = "kept";
      EXPECT_FALSE(readPage(page, pagePath("in", number)));
      EXPECT_EQ(page, "kept");
    }
  });
}

TEST(PagePath, HasAtLeastThreeDigits) {
  EXPECT_EQ(pagePath("in", 1), "in/001.txt");
  EXPECT_EQ(pagePath("in", 42), "in/042.txt");
  EXPECT_EQ(pagePath("in", 1000), "in/1000.txt");
  EXPECT_EQ(pagePath("./out", 7), "./out/007.txt");
}

struct EncodeCase {
  std::string inMemory;
  std::string onDisk;
};

class WritingConvention : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(WritingConvention, WritesEachLineFeedAsCrLf) {
  TempDir dir;
  EXPECT_EQ(writeTextFile(GetParam().inMemory, (dir / "out.txt").string()), WriteResult::Written);
  EXPECT_EQ(readFile(dir / "out.txt"), GetParam().onDisk);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WritingConvention,
    ::testing::Values(EncodeCase{"", ""}, EncodeCase{"a\nb", "a\r\nb"},
                      EncodeCase{"a\nb\n", "a\r\nb\r\n"}, EncodeCase{"a\r\n", "a\r\r\n"},
                      EncodeCase{"a\rb", "a\rb"},
                      EncodeCase{std::string("a\0b\n", 4), std::string("a\0b\r\n", 5)},
                      // Larger than one encoding chunk, line feeds across its edge.
                      EncodeCase{std::string(70000, '\n'), [] {
                                   std::string crlf;
                                   for (int i = 0; i < 70000; ++i) crlf += "\r\n";
                                   return crlf;
                                 }()}));

TEST(WriteTextFile, ReplacesAnExistingFile) {
  TempDir dir;
  writeFile(dir / "out.txt", "old contents that are longer");
  writeTextFile("new", (dir / "out.txt").string());
  EXPECT_EQ(readFile(dir / "out.txt"), "new");
}

TEST(WriteTextFile, ReportsAFileThatCannotBeCreated) {
  TempDir dir;
  std::filesystem::create_directory(dir / "adir");
  for (const char* name : {"missing/out.txt", "adir"})
    EXPECT_EQ(writeTextFile("text\n", (dir / name).string()), WriteResult::NotOpened) << name;
}

TEST(WriteTextFile, ReportsAFailedWrite) {
  TempDir dir;
  std::filesystem::create_symlink("/dev/full", dir / "full.txt");
  EXPECT_EQ(writeTextFile("a page that the disk has no room for\n", (dir / "full.txt").string()),
            WriteResult::NotWritten);
}

TEST(TextFiles, ReadingBackAWrittenTextGivesTheText) {
  TempDir dir;
  std::filesystem::create_directory(dir / "in");
  const std::string text = std::string("Zeile\neins\r\nzwei\r\r\n\0\xFF\n", 22);
  writeTextFile(text, (dir / "in/001.txt").string());
  inDirectory(dir, [&] {
    std::string page;
    EXPECT_TRUE(readPage(page, "in/001.txt"));
    EXPECT_EQ(page, text);
  });
}

}  // namespace
}  // namespace scanmend
