// The tools under hostile input, family by family: special files where
// files are read, links and foreign files where export writes, export
// folders that would overwrite the book, stale corrected pages, wide
// encodings, control bytes, and imports and exports that fail half way.
// Each case gets its exit status and message, and nothing is written where
// it must not be.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
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

const std::string kData = SCANMEND_PAGES_DATA;
const std::string kBin = SCANMEND_BIN_DIR;

// A book's working directory with a small dictionary.
class Book : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(book());
    writeFile(book() / "dic.txt", "Die\r\nGesellschaft\r\nsich\r\nsie\r\nHaus\r\nsein\r\n");
  }
  fs::path book() const { return dir_ / "book"; }
  ProcessResult run(const std::string& tool, const std::vector<std::string>& arguments) {
    return runProcess(kBin + "/" + tool, arguments, book());
  }
  // Imports `sources`, corrects with scanmend, and leaves the book ready to export.
  void importAndCorrect(const std::vector<std::string>& sources) {
    std::vector<std::string> arguments{"import"};
    arguments.insert(arguments.end(), sources.begin(), sources.end());
    const ProcessResult imported = run("scanmend-pages", arguments);
    ASSERT_EQ(imported.exitStatus, 0) << imported.err;
    ASSERT_EQ(run("scanmend", {"Ufs"}).exitStatus, 0);
  }
  std::vector<std::string> entries(const fs::path& directory) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  TempDir dir_;
};

void makeFifo(const fs::path& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }
void linkToDevZero(const fs::path& path) { fs::create_symlink("/dev/zero", path); }

// Special files wherever a tool reads a file: refused at once, never read
// without end, never waited on.
TEST_F(Book, SpecialFilesAreRefusedWhereverAFileIsRead) {
  fs::copy_file(kData + "/tesseract-deu.txt", dir_ / "page.txt");
  const struct {
    const char* name;
    const char* special;  // the path made special, in the book
    bool fifo;            // a FIFO, else a link to /dev/zero
    const char* tool;
    std::vector<std::string> arguments;
    int status;
    const char* says;  // in the error stream, or the console for scanmend
  } cases[] = {
      {"scanmend, dic.txt", "dic.txt", false, "scanmend", {}, 1, "Dictionary file not found!"},
      {"scanmend, a page", "in/001.txt", true, "scanmend", {}, 0, "Stats:"},
      {"learner, dic.txt",
       "dic.txt",
       true,
       "scanmend-learn",
       {},
       1,
       "dic.txt is not a regular file"},
      {"learner, a page",
       "in/002.txt",
       false,
       "scanmend-learn",
       {},
       1,
       "in/002.txt is not a regular file"},
      {"learner, the profile",
       "p.tsv",
       true,
       "scanmend-learn",
       {"--profile", "p.tsv"},
       1,
       "p.tsv is not a regular file"},
      {"advisor, dic.txt",
       "dic.txt",
       false,
       "scanmend-advise",
       {},
       1,
       "dic.txt is not a regular file"},
      {"import, a source",
       "zero.txt",
       false,
       "scanmend-pages",
       {"import", "zero.txt"},
       1,
       "zero.txt is not a regular file"},
      {"import, a FIFO source",
       "fifo.txt",
       true,
       "scanmend-pages",
       {"import", "fifo.txt"},
       1,
       "fifo.txt is not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(book());
    SetUp();
    fs::create_directories(book() / "in");
    fs::create_directories(book() / "out");
    writeFile(book() / "in/001.txt", "Die Gesellschaft\r\n");
    writeFile(book() / "in/002.txt", "sie sich\r\n");
    if (std::string_view(c.tool) == "scanmend-pages") fs::remove_all(book() / "in");  // a new book
    fs::remove(book() / c.special);
    if (c.fifo) {
      makeFifo(book() / c.special);
    } else {
      linkToDevZero(book() / c.special);
    }
    const ProcessResult result = run(c.tool, c.arguments);
    EXPECT_EQ(result.exitStatus, c.status) << result.err;
    EXPECT_NE((result.err + result.out).find(c.says), std::string::npos)
        << result.err << result.out;
  }
  // Export: a damaged store is only slower, a special manifest or page is
  // refused by name.
  fs::remove_all(book());
  SetUp();
  importAndCorrect({(dir_ / "page.txt").string()});
  fs::remove(book() / "pages.parsed");
  linkToDevZero(book() / "pages.parsed");
  EXPECT_EQ(run("scanmend-pages", {"export", "../a"}).exitStatus, 0);
  fs::remove(book() / "out/001.txt");
  makeFifo(book() / "out/001.txt");
  const ProcessResult page = run("scanmend-pages", {"export", "../b"});
  EXPECT_EQ(page.exitStatus, 1);
  EXPECT_NE(page.err.find("out/001.txt is not a regular file"), std::string::npos) << page.err;
  fs::rename(book() / "pages.tsv", book() / "saved.tsv");
  makeFifo(book() / "pages.tsv");
  const ProcessResult manifest = run("scanmend-pages", {"export", "../c"});
  EXPECT_EQ(manifest.exitStatus, 1);
  EXPECT_NE(manifest.err.find("pages.tsv is not a regular file"), std::string::npos);
}

// Export writes a new file and renames it into place: nothing is written
// through a link, nothing outside the export folder, and no file a user
// put there or changed is overwritten without --force.
TEST_F(Book, ExportNeverWritesThroughALinkNorOverAnotherFile) {
  fs::copy_file(kData + "/tesseract-deu.txt", dir_ / "page.txt");
  fs::copy_file(kData + "/hand-utf8-crlf.txt", dir_ / "other.txt");
  importAndCorrect({(dir_ / "page.txt").string(), (dir_ / "other.txt").string()});
  const fs::path out = dir_ / "corrected";
  const fs::path outside = dir_ / "outside.txt";
  const struct {
    const char* name;
    std::function<void()> prepare;  // what lies in the export folder
    bool force;
    const char* says;  // "" where the export goes through
  } cases[] = {
      {"a symbolic link to a file outside",
       [&] {
         writeFile(outside, "mine");
         fs::create_symlink(outside, out / "page.txt");
       },
       false, "is a symbolic link"},
      {"a dangling symbolic link", [&] { fs::create_symlink(outside, out / "page.txt"); }, true,
       "is a symbolic link"},
      {"a hard link to a source",
       [&] { fs::create_hard_link(dir_ / "other.txt", out / "page.txt"); }, true,
       "has other hard links"},
      {"a file no export wrote", [&] { writeFile(out / "page.txt", "mine"); }, false,
       "no export wrote it"},
      {"the same file, forced", [&] { writeFile(out / "page.txt", "mine"); }, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(out);
    fs::remove(outside);
    fs::create_directories(out);
    c.prepare();
    const std::string before = fs::exists(outside) ? readFile(outside) : "";
    std::vector<std::string> arguments{"export", out.string()};
    if (c.force) arguments.insert(arguments.begin() + 1, "--force");
    const ProcessResult result = run("scanmend-pages", arguments);
    if (*c.says == '\0') {
      EXPECT_EQ(result.exitStatus, 0) << result.err;
      EXPECT_NE(readFile(out / "page.txt"), "mine");
    } else {
      EXPECT_EQ(result.exitStatus, 1);
      EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
      EXPECT_EQ(fs::exists(outside) ? readFile(outside) : "", before) << "nothing written outside";
      EXPECT_EQ(readFile(dir_ / "other.txt"), readFile(kData + "/hand-utf8-crlf.txt"));
    }
    EXPECT_TRUE(fs::exists(out / "other.txt")) << "the other page is exported";
  }

  // What export wrote, it overwrites again; what was changed since, not.
  fs::remove_all(out);
  ASSERT_EQ(run("scanmend-pages", {"export", out.string()}).exitStatus, 0);
  EXPECT_EQ(run("scanmend-pages", {"export", out.string()}).exitStatus, 0);
  writeFile(out / "other.txt", "hand edits");
  const ProcessResult edited = run("scanmend-pages", {"export", out.string()});
  EXPECT_EQ(edited.exitStatus, 1);
  EXPECT_NE(edited.err.find("was changed since export wrote it"), std::string::npos);
  EXPECT_EQ(readFile(out / "other.txt"), "hand edits");
  EXPECT_EQ(entries(out), (std::vector<std::string>{"other.txt", "page.txt"}))
      << "no temporary file left";

  // A disk that fills during the export leaves no truncated file.
  fs::remove_all(out);
  const ProcessResult full =
      runProcess(kBin + "/scanmend-pages", {"export", out.string()}, book(), 64);
  EXPECT_EQ(full.exitStatus, 1);
  EXPECT_TRUE(entries(out).empty()) << entries(out).front();
}

// An export folder that is or holds the working directory, in/, out/ or a
// source's folder is refused before anything is written.
TEST_F(Book, ExportRefusesFoldersThatHoldTheBookOrItsSources) {
  fs::create_directories(dir_ / "sources");
  fs::copy_file(kData + "/tesseract-deu.txt", dir_ / "sources/dic.txt");  // a source named dic.txt
  importAndCorrect({(dir_ / "sources/dic.txt").string()});
  const std::string dictionary = readFile(book() / "dic.txt");
  const struct {
    std::string folder;
    const char* says;
  } cases[] = {
      {".", "is the working directory or holds it"},
      {book().string() + "/", "is the working directory or holds it"},
      {"..", "is the working directory or holds it"},
      {"in", "is the book's in/"},
      {"out", "is the book's out/"},
      {"../sources", "holds the source"},
      {dir_.path().string(), "is the working directory or holds it"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const ProcessResult result = run("scanmend-pages", {"export", c.folder});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    EXPECT_EQ(readFile(book() / "dic.txt"), dictionary);
  }
  // Two sources of one name in an edited manifest: neither is written.
  std::string table = readFile(book() / "pages.tsv");
  const std::string row = table.substr(table.find("\n1\t") + 1);
  table += "2" + row.substr(1);
  writeFile(book() / "pages.tsv", table);
  fs::copy_file(book() / "in/001.txt", book() / "in/002.txt");
  fs::copy_file(book() / "out/001.txt", book() / "out/002.txt");
  const ProcessResult doubled = run("scanmend-pages", {"export", "../x"});
  EXPECT_EQ(doubled.exitStatus, 1);
  EXPECT_NE(doubled.err.find("are named dic.txt"), std::string::npos) << doubled.err;
  EXPECT_FALSE(fs::exists(dir_ / "x/dic.txt"));
}

// A corrected page that another import's correction left in out/ is
// refused by name: its lines or the bytes between its words differ.
TEST_F(Book, ExportRefusesTheCorrectionOfAnotherImport) {
  fs::copy_file(kData + "/tesseract-deu-alto3.xml", dir_ / "page.xml");
  importAndCorrect({(dir_ / "page.xml").string()});
  // Corrected a while before the import below, as a correction left behind is.
  fs::last_write_time(book() / "out/001.txt",
                      fs::last_write_time(book() / "out/001.txt") - std::chrono::minutes(5));
  fs::remove(dir_ / "page.xml");
  fs::copy_file(kData + "/tesseract-frk-alto3.xml", dir_ / "page.xml");  // the same page, read anew
  ASSERT_EQ(run("scanmend-pages", {"import", (dir_ / "page.xml").string()}).exitStatus, 0);
  const ProcessResult result = run("scanmend-pages", {"export", "../corrected"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find("page 1: out/001.txt"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("before the pages were imported again"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "corrected/page.xml"));
  // A page of the new import written into out/ by hand, from elsewhere:
  // its lines do not line up.
  writeFile(book() / "out/001.txt", readFile(book() / "out/001.txt"));
  const ProcessResult again = run("scanmend-pages", {"export", "../corrected"});
  EXPECT_NE(again.err.find("was it corrected from another import?"), std::string::npos)
      << again.err;
}

// A control byte that XML cannot hold, in a corrected word, is refused in
// an XML file; a text file holds it as it is.
TEST_F(Book, ControlBytesNeverMakeIllFormedXml) {
  for (const char* source :
       {"hand-alto4.xml", "hand-hocr.html", "hand-page2013-words.xml", "hand-utf8-crlf.txt"}) {
    SCOPED_TRACE(source);
    fs::remove_all(book());
    SetUp();
    importAndCorrect({kData + "/" + source});
    std::string page = readFile(book() / "out/001.txt");
    page.insert(page.find_first_of("abcdefghijklmnopqrstuvwxyz"), "\x01");
    writeFile(book() / "out/001.txt", page);
    const ProcessResult result = run("scanmend-pages", {"export", "../out-" + std::string(source)});
    const bool xml = !std::string(source).ends_with(".txt");
    EXPECT_EQ(result.exitStatus, xml ? 1 : 0) << result.err;
    if (xml) {
      EXPECT_NE(result.err.find("U+0001"), std::string::npos) << result.err;
    }
  }
}

// A failed import leaves the working directory as it was, and can simply
// be run again; so does one with something in the way.
TEST_F(Book, AFailedImportLeavesTheBookAsItWas) {
  fs::copy_file(kData + "/tesseract-deu.txt", dir_ / "a.txt");
  fs::copy_file(kData + "/hand-utf8-crlf.txt", dir_ / "b.txt");
  importAndCorrect({(dir_ / "a.txt").string()});
  const std::vector<std::string> before = entries(book());
  const std::string page = readFile(book() / "in/001.txt");

  fs::create_directory(book() / "in/002.txt");  // a directory in the way
  ProcessResult result =
      run("scanmend-pages", {"import", (dir_ / "b.txt").string(), (dir_ / "a.txt").string()});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find("in/002.txt is in the way"), std::string::npos) << result.err;
  EXPECT_EQ(entries(book()), before);
  EXPECT_EQ(readFile(book() / "in/001.txt"), page);
  fs::remove(book() / "in/002.txt");

  // A disk too full for the pages, or for the manifest: nothing is half
  // done. (A page of a.txt takes some 450 bytes, the words of both 1,500.)
  for (const std::size_t room : {std::size_t{300}, std::size_t{1000}}) {
    SCOPED_TRACE(room);
    result =
        runProcess(kBin + "/scanmend-pages",
                   {"import", (dir_ / "a.txt").string(), (dir_ / "b.txt").string()}, book(), room);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("cannot be written"), std::string::npos) << result.err;
    EXPECT_EQ(entries(book()), before);
    EXPECT_EQ(entries(book() / "in"), std::vector<std::string>{"001.txt"});
    EXPECT_EQ(readFile(book() / "in/001.txt"), page);
  }
  result = run("scanmend-pages", {"import", (dir_ / "b.txt").string()});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_NE(readFile(book() / "in/001.txt"), page);
  EXPECT_EQ(entries(book() / "in"), std::vector<std::string>{"001.txt"});
}

// Import replaces only the pages that an earlier import wrote and that are
// as it wrote them: pages written by hand, or edited since, stay unless
// --force is given.
TEST_F(Book, ImportReplacesOnlyThePagesItWroteAndThatAreUnchanged) {
  fs::copy_file(kData + "/tesseract-deu.txt", dir_ / "a.txt");
  fs::copy_file(kData + "/hand-utf8-crlf.txt", dir_ / "b.txt");
  fs::copy_file(kData + "/hand-alto4.xml", dir_ / "c.xml");
  const std::string a = (dir_ / "a.txt").string();
  const std::string b = (dir_ / "b.txt").string();
  const std::string c = (dir_ / "c.xml").string();
  ASSERT_EQ(run("scanmend-pages", {"import", a}).exitStatus, 0);
  const std::string imported = readFile(book() / "in/001.txt");
  const struct {
    const char* name;
    std::function<void()> change;
    std::vector<std::string> arguments;
    const char* says;  // "" where the import is done
  } cases[] = {
      {"pages written by hand after the imported one",
       [&] {
         writeFile(book() / "in/002.txt", "mein Seite\r\n");
         writeFile(book() / "in/003.txt", "noch eine\r\n");
       },
       {"import", a, b, c},
       "in/002.txt is there, and no import wrote it"},
      {"a page edited by hand",
       [&] { writeFile(book() / "in/001.txt", "gebessert\r\n"); },
       {"import", a},
       "in/001.txt was changed since import wrote it"},
      {"a page edited, among pages to take away",
       [&] { writeFile(book() / "in/001.txt", "gebessert\r\n"); },
       {"import", b},
       "in/001.txt was changed"},
      {"a page as import wrote it", [] {}, {"import", b}, ""},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    fs::remove_all(book() / "in");
    ASSERT_EQ(run("scanmend-pages", {"import", a}).exitStatus, 0);
    k.change();
    std::map<std::string, std::string> before;
    for (const std::string& name : entries(book() / "in"))
      before[name] = readFile(book() / "in" / name);
    const ProcessResult result = run("scanmend-pages", k.arguments);
    if (*k.says == '\0') {
      EXPECT_EQ(result.exitStatus, 0) << result.err;
      continue;
    }
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find(k.says), std::string::npos) << result.err;
    for (const auto& [name, bytes] : before) EXPECT_EQ(readFile(book() / "in" / name), bytes);
    // With --force they are replaced, and no page beyond the import's is
    // left to be read as the book's.
    std::vector<std::string> forced{"import", "--force"};
    forced.insert(forced.end(), k.arguments.begin() + 1, k.arguments.end());
    ASSERT_EQ(run("scanmend-pages", forced).exitStatus, 0);
    EXPECT_EQ(entries(book() / "in").size(), k.arguments.size() - 1);
  }
  EXPECT_NE(readFile(book() / "in/001.txt"), imported);
}

// A stale corrected page is never exported: after a new import without a
// new correction, out/ holds the correction of the words imported before,
// which line up with the new words wherever the lines have as many.
TEST_F(Book, ExportRefusesCorrectedPagesOlderThanTheImport) {
  writeFile(dir_ / "page.txt", "Die fah fprach\n");
  writeFile(book() / "dic.txt", "Die\r\nsah\r\nsprach\r\nDer\r\nsahen\r\nsprachen\r\n");
  importAndCorrect({(dir_ / "page.txt").string()});
  ASSERT_EQ(readFile(book() / "out/001.txt"), "Die sah sprach\r\n");
  fs::last_write_time(book() / "out/001.txt",
                      fs::last_write_time(book() / "out/001.txt") - std::chrono::minutes(5));
  writeFile(dir_ / "page.txt", "Der fahen fprachen\n");
  ASSERT_EQ(run("scanmend-pages", {"import", (dir_ / "page.txt").string()}).exitStatus, 0);
  const ProcessResult stale = run("scanmend-pages", {"export", "../corrected"});
  EXPECT_EQ(stale.exitStatus, 1);
  EXPECT_NE(stale.err.find("out/001.txt was written before the pages were imported again"),
            std::string::npos)
      << stale.err;
  EXPECT_FALSE(fs::exists(dir_ / "corrected" / "page.txt"));
  ASSERT_EQ(run("scanmend", {"Ufs"}).exitStatus, 0);
  ASSERT_EQ(run("scanmend-pages", {"export", "../corrected"}).exitStatus, 0);
  EXPECT_EQ(readFile(dir_ / "corrected" / "page.txt"), "Der sahen sprachen\n");
}

// The learner never runs on UTF-8 pages (out/ would be Windows-1252 of
// them), and says what it did only when it did it.
TEST_F(Book, TheLearnerRefusesUtf8PagesAndSaysOnlyWhatHappened) {
  fs::create_directories(book() / "in");
  writeFile(book() / "in/001.txt", "Die Gesellschaft sah sich um.\r\n");
  const struct {
    const char* name;
    const char* dictionary;
    const char* page;
    std::vector<std::string> arguments;
    int status;
    const char* says;
  } cases[] = {
      {"UTF-8 pages",
       nullptr,
       "Gr\xC3\xB6\xC3\x9F"
       "e T\xC3\xBCr H\xC3\xA4user\r\n",
       {},
       1,
       "in/001.txt is UTF-8, not Windows-1252"},
      {"--learn-only with --profile",
       nullptr,
       nullptr,
       {"--learn-only", "--profile", "p.tsv"},
       2,
       "use either"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.dictionary != nullptr) {
      writeFile(book() / "dic.txt", c.dictionary);
    } else {
      writeFile(book() / "dic.txt", "Die\r\nGesellschaft\r\nsich\r\n");
    }
    writeFile(book() / "in/001.txt", c.page != nullptr ? c.page : "Die Gesellschaft sah sich.\r\n");
    const ProcessResult result = run("scanmend-learn", c.arguments);
    EXPECT_EQ(result.exitStatus, c.status);
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    EXPECT_EQ(entries(book()), (std::vector<std::string>{"dic.txt", "in"})) << "nothing written";
  }
  if (geteuid() == 0) return;  // the superuser writes anyway
  fs::create_directories(book() / "out");
  fs::permissions(book(), fs::perms::owner_read | fs::perms::owner_exec);
  const ProcessResult unwritable = run("scanmend-learn", {"--learn-only"});
  fs::permissions(book(), fs::perms::owner_all);
  EXPECT_EQ(unwritable.exitStatus, 2);
  EXPECT_EQ(unwritable.out.find("profile.tsv\n"), std::string::npos) << unwritable.out;
  EXPECT_NE(unwritable.out.find("not written"), std::string::npos) << unwritable.out;
}

// The advisor names the pages that a run would miss, in/001.txt missing
// among them.
TEST_F(Book, TheAdvisorNamesPagesCalledOtherwise) {
  fs::create_directories(book() / "in");
  writeFile(book() / "in/1.txt", "Die Gesellschaft\r\n");
  const ProcessResult result = run("scanmend-advise", {});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find("in/001.txt cannot be read"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("a run never reads (1.txt)"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace scanmend
