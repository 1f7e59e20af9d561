// Fuzzes the file conventions: a text without Ctrl-Z written by
// writeTextFile reads back as the same text; reading a page and loading a
// dictionary from arbitrary bytes stay within their input.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "dictionary/dictionary.h"
#include "files/text_files.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// A scratch directory with in/ for the pages. readPage reads relative to
// the working directory, so the fuzzer enters it for each input and then
// returns, leaving libFuzzer's own relative paths alone.
class InScratchDirectory {
 public:
  InScratchDirectory() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(scratch());
  }
  ~InScratchDirectory() { std::filesystem::current_path(previous_); }

 private:
  static const std::filesystem::path& scratch() {
    static const std::filesystem::path path = [] {
      std::string pattern =
          (std::filesystem::temp_directory_path() / "scanmend-fuzz-XXXXXX").string();
      check(mkdtemp(pattern.data()) != nullptr);
      std::filesystem::create_directory(std::filesystem::path(pattern) / "in");
      return std::filesystem::path(pattern);
    }();
    return path;
  }
  std::filesystem::path previous_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const InScratchDirectory inScratch;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // Arbitrary bytes as a page file and as a dictionary.
  {
    std::ofstream("in/001.txt", std::ios::binary | std::ios::trunc) << bytes;
    std::string page;
    check(scanmend::readPage(page, "in/001.txt"));
    std::string expected = bytes.substr(0, bytes.find('\x1A'));
    scanmend::decodeText(expected);
    check(page == expected);

    // Every line that ends in a line feed is a word (its first 255 bytes):
    // reading the dictionary cuts at Ctrl-Z and drops a CR before the LF
    // just as reading a page does.
    scanmend::Dictionary dictionary;
    dictionary.assign(bytes);
    std::size_t lines = 0;
    std::size_t start = 0;
    for (std::size_t end; (end = expected.find('\n', start)) != std::string::npos;
         start = end + 1) {
      check(scanmend::containsWord(
          dictionary, expected.substr(start, std::min<std::size_t>(end - start, 255))));
      ++lines;
    }
    check(dictionary.size() <= lines);
  }

  // A text without Ctrl-Z survives a write and a read.
  if (bytes.find('\x1A') == std::string::npos) {
    check(scanmend::writeTextFile(bytes, "in/002.txt") == scanmend::WriteResult::Written);
    std::string page;
    check(scanmend::readPage(page, "in/002.txt"));
    check(page == bytes);
  }
  return 0;
}
