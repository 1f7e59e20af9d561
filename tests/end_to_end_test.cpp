// Runs the real binary in a scratch working directory and compares its
// console bytes and files.
#include "end_to_end.h"

#include <algorithm>

namespace scanmend {
namespace {

namespace fs = std::filesystem;
using testing::kBanner;
using testing::kDictionaryRead;
using testing::processing;
using testing::ProcessResult;
using testing::readFile;
using testing::statistics;
using testing::TempDir;
using testing::WorkingDirectory;
using testing::writeFile;

TEST_F(WorkingDirectory, CorrectsTheRoadOfOnePage) {
  writeFile(dir_ / "dic.txt", "Er\r\nkam\r\ndem\r\nHause\r\n");
  writeFile(dir_ / "in/001.txt", "Er kam a*s dem Hanse.\r\n");
  const ProcessResult result = run({"Bnu", "german"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out,
            kBanner + kDictionaryRead + processing(1) + processing(2) + statistics(5, 3, 1, 0, 1));
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(readFile(dir_ / "out/001.txt"), "Er kam aus dem Hause.\r\n");
  EXPECT_EQ(readFile(dir_ / "word_fr.txt"), "word frequency of unknown words:\r\na*s\t1\r\n");
}

TEST_F(WorkingDirectory, WalksThePagesUpToTheFirstGap) {
  writeFile(dir_ / "dic.txt", "Haus\n");
  writeFile(dir_ / "in/001.txt", "Haus\r\n");
  writeFile(dir_ / "in/002.txt", "Hans Zug\nHans");
  writeFile(dir_ / "in/004.txt", "never read\r\n");
  writeFile(dir_ / "out/004.txt", "left alone");
  const ProcessResult result = run({"Bnu"});
  EXPECT_EQ(result.out, kBanner + kDictionaryRead + processing(1) + processing(2) + processing(3) +
                            statistics(4, 1, 2, 0, 1));
  EXPECT_EQ(readFile(dir_ / "out/001.txt"), "Haus\r\n");
  EXPECT_EQ(readFile(dir_ / "out/002.txt"), "Haus Zug\r\nHaus");
  EXPECT_EQ(readFile(dir_ / "out/004.txt"), "left alone");
  EXPECT_EQ(readFile(dir_ / "word_fr.txt"), "word frequency of unknown words:\r\nZug\t1\r\n");
}

TEST_F(WorkingDirectory, ReportsNoPagesWithZeroCounters) {
  writeFile(dir_ / "dic.txt", "");
  const ProcessResult result = run({});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, kBanner + kDictionaryRead + processing(1) + statistics(0, 0, 0, 0, 0));
  EXPECT_EQ(readFile(dir_ / "word_fr.txt"), "word frequency of unknown words:\r\n");
}

TEST_F(WorkingDirectory, EndsWithStatusOneWithoutADictionary) {
  writeFile(dir_ / "in/001.txt", "Haus\r\n");
  for (bool asDirectory : {false, true}) {
    if (asDirectory) fs::create_directory(dir_ / "dic.txt");
    const ProcessResult result = run({"german"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, kBanner + "Reading dictionary ... Dictionary file not found!");
    EXPECT_EQ(result.err, "");
    EXPECT_FALSE(fs::exists(dir_ / "word_fr.txt"));
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));
  }
}

TEST_F(WorkingDirectory, GoesOnWhenOutputFilesCannotBeWrittenAndExitsWithTwo) {
  writeFile(dir_ / "dic.txt", "Haus\n");
  for (int page = 1; page <= 3; ++page)
    writeFile(dir_ / ("in/00" + std::to_string(page) + ".txt"), "Haus\n");
  fs::create_symlink("/dev/full", dir_ / "out/001.txt");
  fs::create_directory(dir_ / "out/002.txt");
  fs::create_directory(dir_ / "word_fr.txt");
  const ProcessResult result = run({});
  EXPECT_EQ(result.exitStatus, 2);
  EXPECT_EQ(result.out, kBanner + kDictionaryRead + processing(1) + "Error writing output file\n" +
                            processing(2) + "Error opening output file\n" + processing(3) +
                            processing(4) + "Error opening output file\n" +
                            statistics(3, 3, 0, 0, 0));
  EXPECT_EQ(readFile(dir_ / "out/003.txt"), "Haus\r\n");
}

TEST_F(WorkingDirectory, WithoutAnOutDirectoryEveryPageIsReportedAndCounted) {
  fs::remove(dir_ / "out");
  writeFile(dir_ / "dic.txt", "Haus\n");
  writeFile(dir_ / "in/001.txt", "Haus Baum\n");
  writeFile(dir_ / "in/002.txt", "Haus\n");
  const ProcessResult result = run({});
  EXPECT_EQ(result.exitStatus, 2);
  EXPECT_EQ(result.out, kBanner + kDictionaryRead + processing(1) + "Error opening output file\n" +
                            processing(2) + "Error opening output file\n" + processing(3) +
                            statistics(3, 2, 0, 0, 1));
  EXPECT_EQ(readFile(dir_ / "word_fr.txt"), "word frequency of unknown words:\r\nBaum\t1\r\n");
}

// Only the report lost is a lost file too.
TEST_F(WorkingDirectory, AReportThatCannotBeWrittenAloneExitsWithTwo) {
  writeFile(dir_ / "dic.txt", "Haus\n");
  writeFile(dir_ / "in/001.txt", "Haus\n");
  fs::create_directory(dir_ / "word_fr.txt");
  const ProcessResult result = run({"Ufs"});
  EXPECT_EQ(result.exitStatus, 2);
  EXPECT_EQ(readFile(dir_ / "out/001.txt"), "Haus\r\n");
}

// Help and version must never run over a finished book: with pages, a
// dictionary and corrected output in place, nothing is read or written.
TEST_F(WorkingDirectory, HelpAndVersionLeaveAFinishedBookAlone) {
  writeFile(dir_ / "dic.txt", "unsere\nGesinnungen\n");
  writeFile(dir_ / "in/001.txt", "unfere befinnungen\r\n");
  writeFile(dir_ / "out/001.txt", "unsere Gesinnungen\r\n");
  writeFile(dir_ / "word_fr.txt", "finished\r\n");
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"--help"},
                                             {"-h"},
                                             {"Ufs", "german", "--help"},
                                             {"--version"},
                                             {"Ufs", "--version", "I"}}) {
    const ProcessResult result = run(arguments);
    EXPECT_EQ(result.exitStatus, 0) << arguments[0];
    EXPECT_EQ(result.err, "");
    if (std::find(arguments.begin(), arguments.end(), "--version") != arguments.end()) {
      EXPECT_EQ(result.out, std::string("scanmend ") + kVersion + "\n");
    } else {
      EXPECT_EQ(result.out.rfind("Usage: scanmend [WORD...]\n", 0), 0u) << result.out;
      for (const char* mentioned : {"Uxy", "Bxy", "Bnu, Bun", "BBV, BVB", "german", "finals",
                                    "dic.txt", "word_fr.txt", "man scanmend", "scanmend-advise"})
        EXPECT_NE(result.out.find(mentioned), std::string::npos) << mentioned;
    }
    EXPECT_EQ(readFile(dir_ / "out/001.txt"), "unsere Gesinnungen\r\n");
    EXPECT_EQ(readFile(dir_ / "word_fr.txt"), "finished\r\n");
  }
}

TEST_F(WorkingDirectory, NumbersPagesBeyondThreeDigits) {
  writeFile(dir_ / "dic.txt", "");
  for (int page = 1; page <= 1000; ++page) {
    char name[32];
    std::snprintf(name, sizeof name, "in/%03d.txt", page);
    writeFile(dir_ / name, "");
  }
  const ProcessResult result = run({});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_TRUE(fs::exists(dir_ / "out/1000.txt"));
  EXPECT_NE(result.out.find("Processing file: in/1000.txt\nProcessing file: in/1001.txt\n"),
            std::string::npos);
}

TEST_F(WorkingDirectory, TakesArgumentsAsBytes) {
  writeFile(dir_ / "dic.txt",
            "\xFC"
            "ber\n");
  writeFile(dir_ / "in/001.txt",
            "uber \xFC"
            "ber\r\n");
  const ProcessResult result = run({"", "Bu\xFC", "\xFF\xFE"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(readFile(dir_ / "out/001.txt"),
            "\xFC"
            "ber \xFC"
            "ber\r\n");
  EXPECT_EQ(result.err, "");
}

TEST(ShippedSample, RunsCleanly) {
  TempDir dir;
  fs::copy(SCANMEND_EXAMPLES, dir.path(), fs::copy_options::recursive);
  fs::create_directories(dir / "out");
  const ProcessResult result = testing::runProcess(
      SCANMEND_BINARY, {"Ufs", "Bnu", "Bov", "BBV", "UEC", "I", "german", "finals", "="},
      dir.path());
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find(processing(3) + processing(4) + "\r\nStats:"), std::string::npos);
  for (const char* page : {"out/001.txt", "out/002.txt", "out/003.txt"})
    EXPECT_GT(fs::file_size(dir / page), 0u) << page;
}

}  // namespace
}  // namespace scanmend
