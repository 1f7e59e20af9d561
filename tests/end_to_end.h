// Helpers for tests that run the real binary in a scratch working directory
// and compare its console bytes and files.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/version.h"
#include "test_support.h"

namespace scanmend::testing {

inline const std::string kBanner = std::string("Starting scanmend ") + kVersion + "\r\n\r\n";
inline const std::string kDictionaryRead = "Reading dictionary ... done!\r\n";

inline std::string processing(int page) {
  char line[64];
  std::snprintf(line, sizeof line, "Processing file: in/%03d.txt\n", page);
  return line;
}

inline std::string statistics(long total, long correct, long changed, long ambiguous,
                              long unknown) {
  return "\r\nStats:\r\n\r\n"
         "Total words:                  " +
         std::to_string(total) +
         "\r\n"
         "Correct words left unchanged: " +
         std::to_string(correct) +
         "\r\n"
         "Changed incorrect words:      " +
         std::to_string(changed) +
         "\r\n"
         "Ambiguous words:              " +
         std::to_string(ambiguous) +
         "\r\n"
         "Unknown words:                " +
         std::to_string(unknown) +
         "\r\n"
         "\r\n";
}

// A scratch working directory with in/ and out/.
class WorkingDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir_ / "in");
    std::filesystem::create_directory(dir_ / "out");
  }
  ProcessResult run(const std::vector<std::string>& arguments) {
    return runProcess(SCANMEND_BINARY, arguments, dir_.path());
  }
  TempDir dir_;
};

}  // namespace scanmend::testing
