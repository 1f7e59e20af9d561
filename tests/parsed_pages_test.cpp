// The pages that import stores for export: a stored page reads back as it
// was read, and a store that is damaged, or belongs to other bytes, gives
// no page instead of a wrong one.
#include "pages/parsed_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "pages/manifest.h"

namespace scanmend::pages {
namespace {

namespace fs = std::filesystem;

std::string readData(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::vector<std::string> dataFiles() {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(SCANMEND_PAGES_DATA))
    files.push_back(readData(entry.path()));
  return files;
}

SourcePage read(std::string_view bytes) {
  SourcePage page;
  SourceError error;
  EXPECT_TRUE(readSource(bytes, page, error)) << error.message;
  return page;
}

TEST(ParsedPages, EveryTestFileReadsBackAsItWasRead) {
  for (const std::string& bytes : dataFiles()) {
    const SourcePage page = read(bytes);
    SourcePage stored;
    ASSERT_TRUE(decodePage(encodePage(page), bytes, stored)) << bytes.substr(0, 80);
    EXPECT_TRUE(stored == page) << bytes.substr(0, 80);
  }
}

TEST(ParsedPages, AStoredPageStandsOnlyForTheBytesItWasStoredFor) {
  const std::vector<std::string> files = dataFiles();
  std::string store(parsedPagesHeader());
  for (std::size_t i = 0; i < files.size(); ++i)
    appendParsedPage(store, static_cast<std::int64_t>(i + 1), files[i].size(), checksumOf(files[i]),
                     read(files[i]));
  const ParsedPages pages(store);
  SourcePage page;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const auto number = static_cast<std::int64_t>(i + 1);
    ASSERT_TRUE(pages.find(number, files[i], checksumOf(files[i]), page)) << i;
    EXPECT_TRUE(page == read(files[i]));
    EXPECT_FALSE(pages.find(number, files[i], checksumOf(files[i]) + 1, page));
    EXPECT_FALSE(pages.find(number, files[i] + " ", checksumOf(files[i]), page));
  }
  EXPECT_FALSE(pages.find(static_cast<std::int64_t>(files.size() + 1), files[0],
                          checksumOf(files[0]), page));
  EXPECT_FALSE(ParsedPages("another file\n" + store).find(1, files[0], checksumOf(files[0]), page));
}

TEST(ParsedPages, DamagedOrForeignBytesGiveNoPage) {
  const std::string bytes = readData(fs::path(SCANMEND_PAGES_DATA) / "hand-alto2-crlf.xml");
  const std::string encoded = encodePage(read(bytes));
  SourcePage page;
  for (std::size_t cut = 0; cut < encoded.size(); ++cut)
    EXPECT_FALSE(decodePage(encoded.substr(0, cut), bytes, page)) << cut;
  EXPECT_FALSE(decodePage(encoded, std::string_view(bytes).substr(0, bytes.size() / 2), page))
      << "spans beyond a shorter source";
  EXPECT_FALSE(decodePage(encoded + "x", bytes, page)) << "bytes after the page";
  // Any byte changed either still decodes into a page inside the source,
  // or into none; the sanitizers watch the uses of what decodes.
  for (std::size_t at = 0; at < encoded.size(); ++at) {
    std::string changed = encoded;
    changed[at] = static_cast<char>(changed[at] ^ 0x41);
    if (!decodePage(changed, bytes, page)) continue;
    for (const Field& field : page.fields) EXPECT_LE(field.end, bytes.size());
  }
}

// A flipped bit anywhere in the store loses the pages it touches, and
// never yields a page other than the one stored; counts beyond the bytes
// are refused before anything is allocated for them.
TEST(ParsedPages, AStoreDamagedAnywhereNeverGivesAnotherPage) {
  const std::vector<std::string> files = dataFiles();
  std::string store(parsedPagesHeader());
  for (std::size_t i = 0; i < files.size(); ++i)
    appendParsedPage(store, static_cast<std::int64_t>(i + 1), files[i].size(), checksumOf(files[i]),
                     read(files[i]));
  SourcePage page;
  for (std::size_t at = parsedPagesHeader().size(); at < store.size(); at += 7) {
    for (const int bit : {0, 5}) {
      std::string damaged = store;
      damaged[at] = static_cast<char>(damaged[at] ^ (1 << bit));
      const ParsedPages pages(damaged);
      for (std::size_t i = 0; i < files.size(); ++i)
        if (pages.find(static_cast<std::int64_t>(i + 1), files[i], checksumOf(files[i]), page)) {
          EXPECT_TRUE(page == read(files[i])) << "byte " << at << ", file " << i;
        }
    }
  }
  // A page that claims a billion elements in a few bytes.
  const std::string inflated("\x00\x80\x94\xeb\xdc\x03", 6);
  EXPECT_FALSE(decodePage(inflated, files[0], page));
}

}  // namespace
}  // namespace scanmend::pages
