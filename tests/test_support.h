// Helpers shared by the tests: scratch directories, whole-file I/O, a run
// of the real binary, and the tables a run would build from its arguments.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "correction/word_correction.h"

namespace scanmend::testing {

// A fresh directory under the system's temp directory, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, const std::string& bytes);
std::string readFile(const std::filesystem::path& path);

struct ProcessResult {
  int exitStatus = -1;
  std::string out;
  std::string err;
};
// Runs `binary` with `arguments` (passed as they are, no shell) in `directory`.
// With `largestFile`, no file it writes can grow beyond that many bytes: a
// full disk, for any user.
ProcessResult runProcess(const std::string& binary, const std::vector<std::string>& arguments,
                         const std::filesystem::path& directory, std::size_t largestFile = 0);

// Everything correctWord needs, built as a run would from its arguments and
// a word list.
struct CorrectionFixture {
  explicit CorrectionFixture(const std::vector<std::string>& arguments,
                             const std::vector<std::string>& words = {});

  RunTables tables;
  ConfusionTable& confusionTable = tables.confusionTable;
  OptionSet& optionSet = tables.optionSet;
  Dictionary dictionary;
  RunStats runStats;
  UnknownWordCounts unknownWordCounts;
  CorrectionContext context{confusionTable, optionSet, dictionary, runStats, unknownWordCounts};
};

// Dictionary file bytes: each word followed by LF.
std::string wordLines(const std::vector<std::string>& words);

}  // namespace scanmend::testing
