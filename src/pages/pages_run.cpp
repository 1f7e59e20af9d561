#include "pages/pages_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

#include "base/user_text.h"
#include "base/version.h"
#include "book/book_hyphens.h"
#include "dictionary/sorted_words.h"
#include "files/replacement.h"
#include "files/text_files.h"
#include "pages/export_targets.h"
#include "pages/manifest.h"
#include "pages/ocr_confidences.h"
#include "pages/page_text.h"
#include "pages/parsed_pages.h"
#include "pages/review_lines.h"
#include "pages/source_page.h"

namespace scanmend::pages {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "Usage: scanmend-pages correct [--force] [--dictionary FILE] [--spelling FILE]\n"
    "                              [--profile FILE] [--decisions FILE] [--images DIR]\n"
    "                              [--confidence-below C] [--no-review]\n"
    "                              [--line-images] FILE... DIR\n"
    "       scanmend-pages lines [--all] [--to FOLDER] [--images DIR] DIR\n"
    "       scanmend-pages import [--force] FILE...\n"
    "       scanmend-pages export [--force] DIR\n"
    "\n"
    "  correct FILE... DIR\n"
    "                  correct OCR files (ALTO, PAGE, hOCR or UTF-8 text; a folder\n"
    "                  stands for its files of the format most of them have) in\n"
    "                  one step: import, scanmend-learn and export, in a working\n"
    "                  directory of its own that is removed afterwards. The\n"
    "                  corrected files go to DIR; the reports for people\n"
    "                  (changes.tsv, profile.tsv, word_fr.txt) and the review\n"
    "                  (review.html: open it in a browser, decide, save\n"
    "                  decisions.tsv; review.tsv; the line images) to DIR/review/\n"
    "  --dictionary FILE  the dictionary, UTF-8 or Windows-1252 (default: dic.txt)\n"
    "  --spelling FILE    the spelling table, given to scanmend-learn\n"
    "  --profile FILE     correct with this profile (such as DIR/review/profile.tsv\n"
    "                     with a reading taken out) instead of learning one\n"
    "  --decisions FILE   apply a review's decisions.tsv, and learn from it;\n"
    "                     nothing is written if a row does not fit the files\n"
    "  --images DIR       where else the page images are (also for lines)\n"
    "  --confidence-below C  list for review the words the OCR was less sure of\n"
    "                     than C (0 to 1, default 0.5)\n"
    "  --no-review        write no review\n"
    "  --line-images      cut each line of the review into an image of its own,\n"
    "                     so that the review goes without the page images\n"
    "  lines DIR       write the lines reviewed in DIR (that correct wrote) as\n"
    "                  NAME.png and NAME.gt.txt, for training an OCR program\n"
    "  --all              every line, not only those reviewed\n"
    "  --to FOLDER        where to write (default DIR/review/training)\n"
    "\n"
    "The steps one by one, in a book's working directory, beside dic.txt:\n"
    "  import FILE...  read OCR files as the pages in/001.txt, in/002.txt, ... in\n"
    "                  that order, create out/, and write the manifest pages.tsv\n"
    "                  and words.tsv, pages.parsed (what was read, to spare export\n"
    "                  a parse) and, where the files say how sure the OCR was,\n"
    "                  ocr.tsv\n"
    "  export DIR      write each file, corrected from out/NNN.txt, under DIR\n"
    "\n"
    "  --force         overwrite files that the command did not write, or that\n"
    "                  were changed since (never the files it reads)\n"
    "  --help, -h      print this help\n"
    "  --version       print the version\n";

constexpr std::string_view kFormatsByExtension[] = {".xml",  ".alto", ".page",  ".hocr",
                                                    ".html", ".htm",  ".xhtml", ".txt"};

bool isOcrFileName(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find(std::begin(kFormatsByExtension), std::end(kFormatsByExtension), extension) !=
         std::end(kFormatsByExtension);
}

// The first bytes of the file at `path`, or nothing where it cannot be
// read (import then says why).
std::optional<std::string> startOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string start(4096, '\0');
  file.read(start.data(), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(file.gcount()));
  return start;
}

// The OCR files of a directory, sorted by name, of the kind that most of
// them are: a note, a METS file or the hOCR of the same pages beside ALTO
// files is no page of the book. The others are named, with a warning.
bool listDirectory(const std::string& directory, std::vector<std::string>& sources,
                   std::ostream& err) {
  std::error_code error;
  std::vector<std::string> inside;
  fs::directory_iterator entries(directory, error);
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    const fs::directory_entry& entry = *entries;
    const std::string name = entry.path().filename().string();
    std::error_code kindError;
    if (!name.starts_with('.') && entry.is_regular_file(kindError) && isOcrFileName(entry.path()))
      inside.push_back(entry.path().string());
  }
  if (error) {
    err << "scanmend-pages: " << directory << ": cannot list the directory (" << error.message()
        << ")\n";
    return false;
  }
  std::sort(inside.begin(), inside.end());
  struct Listed {
    std::string path;
    std::optional<Format> format;  // nothing for no OCR file, or one that cannot be read
    std::string what;
  };
  std::vector<Listed> listed;
  std::map<Format, std::size_t> counts;
  const std::size_t before = sources.size();
  for (std::string& path : inside) {
    Listed file{std::move(path), std::nullopt, ""};
    if (const std::optional<std::string> start = startOf(file.path); start) {
      file.format = formatOfStart(*start, file.what);
      if (file.format) ++counts[*file.format];
    }
    listed.push_back(std::move(file));
  }
  std::optional<Format> kind;
  for (const auto& [format, count] : counts)
    if (!kind || count > counts[*kind]) kind = format;
  for (const Listed& file : listed) {
    if (file.format && file.format != kind) {
      err << "scanmend-pages: warning: " << file.path << " skipped: " << formatName(*file.format)
          << ", and this folder holds " << formatName(*kind)
          << " files (give it by name to import it)\n";
    } else if (!file.format && !file.what.empty()) {
      err << "scanmend-pages: warning: " << file.path << " skipped: " << file.what
          << ", no OCR file\n";
    } else {
      sources.push_back(file.path);  // of the kind, or unread: import says why
    }
  }
  if (sources.size() == before)
    err << "scanmend-pages: " << directory << ": no OCR files in the directory\n";
  return true;
}

// The files that the arguments name, in page order.
bool listSources(const std::vector<std::string>& arguments, std::vector<std::string>& sources,
                 std::ostream& err) {
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (!fs::is_directory(argument, error)) {
      sources.push_back(argument);
    } else if (!listDirectory(argument, sources, err)) {
      return false;
    }
  }
  return true;
}

std::string place(const std::string& path, const SourceError& error) {
  if (error.line == 0) return path;
  return path + ":" + std::to_string(error.line) + ":" + std::to_string(error.column);
}

// Reads a source: false, with the message said, for one that cannot be
// read as any format.
bool readSourceFile(const std::string& path, std::string& bytes, SourcePage& page,
                    std::ostream& err) {
  if (const ReadResult read = readFile(path, bytes); read != ReadResult::Read) {
    err << "scanmend-pages: " << path << " " << readFailure(read) << "\n";
    return false;
  }
  SourceError error;
  if (!readSource(bytes, page, error, /*confidences=*/true)) {
    err << "scanmend-pages: " << place(path, error) << ": " << error.message << "\n";
    return false;
  }
  return true;
}

// Writes the page text of `page` a chunk of lines at a time, with CR LF
// line ends, and its checksum; with `lineEnds`, notes there each line's
// end and the next line's start.
bool writePage(Replacement& file, const SourcePage& page, HyphenFinder* lineEnds,
               std::int64_t number, std::uint64_t& checksum) {
  constexpr std::size_t kChunk = 1 << 16;
  std::string chunk;
  Checksum sum;
  const auto flush = [&] {
    sum.add(chunk);
    const bool written = file.write(chunk);
    chunk.clear();
    return written;
  };
  PageLines lines(page);
  std::string last;
  for (std::uint32_t line = 0; lines.next(); ++line) {
    if (lineEnds != nullptr) {
      const auto piece = [&lines](std::size_t k) {
        return lines.text().substr(lines.pieces()[k].start, lines.pieces()[k].length);
      };
      if (line > 0) lineEnds->add(number, line - 1, last, piece(0));
      last = piece(lines.pieces().size() - 1);
    }
    appendWithCrLf(chunk, lines.text());
    chunk.append("\r\n");
    if (chunk.size() >= kChunk && !flush()) return false;
  }
  const bool written = flush() && file.close();
  checksum = sum.value();
  return written;
}

// When the file at `path` was last written, in nanoseconds since 1970, or 0.
std::int64_t modifiedAt(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return 0;
  return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
}

// Whether `path` is something import must not write over: a directory or
// any other file that is not a regular file or a link.
bool inTheWay(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  return fs::exists(status) && !fs::is_regular_file(status) && !fs::is_symlink(status);
}

// Everything import writes goes to new files first and replaces the old
// ones only once every file is whole: a failure (a full disk, a file in
// the way) leaves the working directory as it was, and the import can
// simply be run again.
// What one pass of import writes, each file new, put in place only once
// every file is whole.
struct ImportPass {
  std::vector<Replacement> pages;
  Replacement words{std::string(kWordsFile)};
  Replacement parsed{std::string(kParsedFile)};
  // What the files say of their words beyond the text, where they say it.
  Replacement evidence{std::string(kOcrEvidenceFile)};
  std::size_t evidenceRows = 0;
  std::vector<ManifestPage> manifest;
  std::size_t wordCount = 0;
  std::map<std::string_view, int> formats;
  bool failed = false;  // a source could not be read
  bool written = true;
};

// One source at a time, each page to a file of its own at once: a book of
// hundreds of files, or one file of a gigabyte, is never held whole. The
// line ends go to `lineEnds`, where given; that first pass also warns of
// the confidences it ignores.
void importPass(const std::vector<std::string>& paths, const BookHyphens& hyphens,
                HyphenFinder* lineEnds, ImportPass& pass, std::ostream& err) {
  const bool warn = lineEnds != nullptr;
  pass.written = pass.words.write(wordsTableHeader()) && pass.parsed.write(parsedPagesHeader()) &&
                 pass.evidence.write(ocrEvidenceHeader());
  for (const std::string& path : paths) {
    std::string bytes;
    SourcePage page;
    if (!readSourceFile(path, bytes, page, err)) {
      pass.failed = true;
      continue;
    }
    if (pass.failed || !pass.written) continue;  // the others are only checked
    const auto number = static_cast<std::int64_t>(pass.manifest.size() + 1);
    if (const auto own = hyphens.find(number); own != hyphens.end()) page.ownHyphens = own->second;
    const std::size_t count = page.tokens.size();
    const std::uint64_t checksum = checksumOf(bytes);
    Replacement& pageFile = pass.pages.emplace_back(pagePath("in", number));
    std::uint64_t pageChecksum = 0;
    bool written = writePage(pageFile, page, lineEnds, number, pageChecksum) &&
                   writeWordRows(pass.words, number, page);
    if (written) {
      std::string rows;
      IgnoredConfidences ignored;
      forEachOcrWord(
          page, number,
          [&](const OcrWord& word) {
            appendOcrWordRow(rows, word);
            ++pass.evidenceRows;
            // Written a chunk at a time: a large page has many rows.
            if (rows.size() >= (1 << 16)) {
              written = written && pass.evidence.write(rows);
              rows.clear();
            }
          },
          &ignored);
      written = written && pass.evidence.write(rows);
      if (warn && ignored.count > 0) {
        err << "scanmend-pages: warning: " << place(path, placedAt(bytes, ignored.firstAt))
            << ": the confidence \"" << ignored.firstValue
            << "\" is no number from 0 to 1 (0 to 100 in hOCR); ignored";
        if (ignored.count == 2) err << ", as is one more in this file";
        if (ignored.count > 2) err << ", as are " << ignored.count - 1 << " more in this file";
        err << "\n";
      }
    }
    // A text file is read again faster than its stored page, and so is a
    // large file for its memory: its stored page would be about as large.
    if (written && page.format != Format::Text && bytes.size() <= kMostStoredBytes) {
      std::string record;
      appendParsedPage(record, number, bytes.size(), checksum, page);
      written = pass.parsed.write(record);
    }
    if (!written) err << "scanmend-pages: " << pagePath("in", number) << ": cannot be written\n";
    pass.written = written;
    pass.manifest.push_back({number, path, page.format, bytes.size(), checksum, count, pageChecksum,
                             modifiedAt(pageFile.temporary())});
    pass.wordCount += count;
    ++pass.formats[formatName(page.format)];
  }
}

}  // namespace

namespace {

// Whether import may write the pages in/001.txt to page `count` and take
// away the pages after them that the book would read (up to the first
// gap; the last is `lastPage`): a page is replaced where an earlier import
// wrote it and it is as written (or a manifest of an older version names
// it), or with `force`; a directory or other special file in the way never.
bool pagesMayBeReplaced(const std::vector<ManifestPage>& earlier, std::size_t count, bool force,
                        std::size_t& lastPage, std::ostream& err) {
  bool may = true;
  lastPage = 0;
  for (std::size_t n = 1;; ++n) {
    const std::string path = pagePath("in", static_cast<std::int64_t>(n));
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (!fs::exists(status)) {
      if (n > count) return may;
      continue;
    }
    lastPage = n;
    if (!fs::is_regular_file(status) && !fs::is_symlink(status)) {
      err << "scanmend-pages: " << path << " is in the way: it must be a file\n";
      may = false;
      continue;
    }
    if (force) continue;
    if (n > earlier.size() || fs::is_symlink(status)) {
      err << "scanmend-pages: " << path << " is there, and no import wrote it (the manifest "
          << kPagesFile << " does not name it); import into a new working directory, move "
          << "in/ away first, or overwrite the pages with --force\n";
      may = false;
      continue;
    }
    std::string bytes;
    const std::uint64_t written = earlier[n - 1].pageChecksum;
    if (written != 0 && (!readFileBytes(path, bytes) || checksumOf(bytes) != written)) {
      err << "scanmend-pages: " << path << " was changed since import wrote it; move it away "
          << "to keep it, or overwrite it with --force\n";
      may = false;
    }
  }
}

}  // namespace

int importPages(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                bool force) {
  std::vector<std::string> paths;
  if (!listSources(arguments, paths, err)) return 1;
  if (paths.empty()) {
    err << "scanmend-pages: no files to import\n";
    return 1;
  }
  bool failed = false;
  std::map<std::string, std::string> byName;
  for (const std::string& path : paths) {
    const std::string name = fs::path(path).filename().string();
    if (path.find_first_of("\t\n\r") != std::string::npos) {
      err << "scanmend-pages: " << path << ": a tab or line end in a file name cannot be listed\n";
      failed = true;
    } else if (!byName.emplace(name, path).second) {
      err << "scanmend-pages: " << path << " and " << byName[name]
          << " have the same name; export writes files by their names\n";
      failed = true;
    }
  }
  // Pages of an earlier import are replaced where they are as it wrote
  // them; pages from elsewhere, or edited since, only with --force.
  std::vector<ManifestPage> earlier;
  if (std::string table; readFileBytes(std::string(kPagesFile), table)) {
    std::string why;
    if (!readPagesTable(table, earlier, why)) earlier.clear();
  }
  std::size_t lastPage = 0;
  if (!pagesMayBeReplaced(earlier, paths.size(), force, lastPage, err)) failed = true;
  std::error_code error;
  for (const std::string& path :
       {std::string("in"), std::string("out"), std::string(kPagesFile), std::string(kWordsFile),
        std::string(kParsedFile), std::string(kOcrEvidenceFile), std::string(kHyphensFile)}) {
    const bool directory = path == "in" || path == "out";
    if (directory ? fs::exists(path, error) && !fs::is_directory(path, error) : inTheWay(path)) {
      err << "scanmend-pages: " << path
          << " is in the way: " << (directory ? "it must be a directory" : "it must be a file")
          << "\n";
      failed = true;
    }
  }
  if (failed) {
    err << "scanmend-pages: nothing imported\n";
    return 1;
  }
  // in/ holds the new pages until they replace the old; where the import
  // made it, a failed import takes it away again.
  const bool madeIn = !fs::exists("in", error) && fs::create_directory("in", error);

  // A pass notes the line ends where this book's OCR may write its hyphen
  // as another mark; where the dictionary shows some that are, a second
  // pass joins them.
  HyphenFinder lineEnds;
  auto pass = std::make_unique<ImportPass>();
  importPass(paths, {}, &lineEnds, *pass, err);
  failed = failed || pass->failed;
  BookHyphens hyphens;
  if (std::string bytes;
      !failed && pass->written && lineEnds.worthLooking() && readFileBytes("dic.txt", bytes)) {
    // The dictionary as the learner reads it, in UTF-8 too.
    SortedWords dictionary;
    dictionary.assign(std::move(windows1252Text(bytes).bytes));
    hyphens = lineEnds.found(dictionary);
  }
  if (!hyphens.empty()) {
    pass.reset();  // its new files go before the next pass makes them again
    pass = std::make_unique<ImportPass>();
    importPass(paths, hyphens, nullptr, *pass, err);
    failed = failed || pass->failed;
  }
  std::vector<Replacement>& pages = pass->pages;
  Replacement& words = pass->words;
  Replacement& parsed = pass->parsed;
  Replacement& evidence = pass->evidence;
  const std::vector<ManifestPage>& manifest = pass->manifest;
  bool written = pass->written;
  Replacement hyphenTable{std::string(kHyphensFile)};
  if (!hyphens.empty()) written = written && hyphenTable.write(hyphensTable(hyphens));
  Replacement table{std::string(kPagesFile)};
  if (!failed && written)
    written = table.write(pagesTable(manifest)) && words.close() && parsed.close() &&
              evidence.close() && (hyphens.empty() || hyphenTable.close());
  if (failed || !written) {
    if (!written) err << "scanmend-pages: the manifest cannot be written\n";
    err << "scanmend-pages: nothing imported\n";
    pages.clear();
    if (madeIn) fs::remove("in", error);
    return 1;
  }
  bool committed = true;
  for (Replacement& page : pages) committed = page.commit() && committed;
  // The pages after the new last one would be read as the book's.
  for (std::size_t n = pages.size() + 1; n <= lastPage; ++n)
    fs::remove(pagePath("in", static_cast<std::int64_t>(n)), error);
  // Pages without confidences must not be weighed by an earlier import's,
  // nor lined up by its hyphens; the new files, unused, go with their
  // replacements.
  if (pass->evidenceRows > 0)
    committed = evidence.commit() && committed;
  else
    fs::remove(std::string(kOcrEvidenceFile), error);
  if (!hyphens.empty())
    committed = hyphenTable.commit() && committed;
  else
    fs::remove(std::string(kHyphensFile), error);
  committed = words.commit() && parsed.commit() && table.commit() && committed;
  fs::create_directories("out", error);
  if (!committed || !fs::is_directory("out", error)) {
    err << "scanmend-pages: the pages or the manifest could not be put in place\n";
    return 1;
  }
  out << "Imported " << manifest.size() << (manifest.size() == 1 ? " file (" : " files (");
  bool first = true;
  for (const auto& [name, count] : pass->formats) {
    out << (first ? "" : ", ") << name << " " << count;
    first = false;
  }
  out << "): " << pass->wordCount << " words on pages in/001.txt to "
      << pagePath("in", static_cast<std::int64_t>(manifest.size())) << ", manifest " << kPagesFile
      << ".\n";
  if (!hyphens.empty()) {
    std::size_t joined = 0;
    for (const auto& [page, lines] : hyphens) joined += lines.size();
    out << joined << " line ends joined where this book's OCR wrote the hyphen as another mark ("
        << kHyphensFile << ").\n";
  }
  out << "Correct them (scanmend-advise, scanmend), then: scanmend-pages export DIR\n";
  return 0;
}

namespace {

// The first character of `text` (UTF-8) that XML 1.0 cannot hold, even as
// a character reference, or 0.
char32_t unholdableInXml(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') return byte;
    // U+FFFE and U+FFFF: EF BF BE, EF BF BF.
    if (byte == 0xEF && at + 2 < text.size() && static_cast<unsigned char>(text[at + 1]) == 0xBF &&
        (static_cast<unsigned char>(text[at + 2]) & 0xFE) == 0xBE)
      return static_cast<unsigned char>(text[at + 2]) == 0xBE ? 0xFFFE : 0xFFFF;
  }
  return 0;
}

std::string codePointName(char32_t c) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
  return name;
}

}  // namespace

int exportPages(const ExportSettings& settings, std::ostream& out, std::ostream& err) {
  std::string table;
  std::vector<ManifestPage> pages;
  std::string why;
  if (const ReadResult read = readFile(std::string(kPagesFile), table); read != ReadResult::Read) {
    if (read == ReadResult::NotOpened)
      err << "scanmend-pages: no manifest " << kPagesFile
          << " here; run scanmend-pages import in this directory first\n";
    else
      err << "scanmend-pages: " << kPagesFile << " " << readFailure(read) << "\n";
    return 1;
  }
  if (!readPagesTable(table, pages, why)) {
    err << "scanmend-pages: " << kPagesFile << ": " << why << "\n";
    return 1;
  }
  std::vector<std::string> sources;
  std::map<std::string, int> names;
  for (const ManifestPage& entry : pages) {
    sources.push_back(entry.source);
    ++names[fs::path(entry.source).filename().string()];
  }
  const std::string& directory = settings.directory;
  if (!mayExportInto(directory, sources, fs::current_path(), why)) {
    err << "scanmend-pages: " << directory << " " << why << "; nothing exported\n";
    return 1;
  }
  ExportRecord ownRecord;
  ExportRecord& record = settings.record != nullptr ? *settings.record : ownRecord;
  if (settings.record == nullptr && !record.load(why)) {
    err << "scanmend-pages: " << why << "; nothing exported\n";
    return 1;
  }
  std::error_code error;
  fs::create_directories(directory, error);
  if (!fs::is_directory(directory, error)) {
    err << "scanmend-pages: " << directory << ": cannot create the directory\n";
    return 1;
  }
  std::string store;
  if (!readFileBytes(std::string(kParsedFile), store)) store.clear();
  const ParsedPages parsed(std::move(store));
  // The line ends that import joined at the book's own hyphens.
  BookHyphens hyphens;
  if (std::string table;
      readFileBytes(std::string(kHyphensFile), table) && !readHyphensTable(table, hyphens)) {
    err << "scanmend-pages: " << kHyphensFile
        << " cannot be read; import again to write it anew; nothing exported\n";
    return 1;
  }
  std::size_t written = 0;
  std::size_t changedFiles = 0;
  std::size_t changedWords = 0;
  bool failed = false;
  for (const ManifestPage& entry : pages) {
    const std::string page = "page " + std::to_string(entry.number);
    auto fail = [&](const std::string& message) {
      err << "scanmend-pages: " << page << ": " << message << "; not exported\n";
      failed = true;
    };
    const std::string name = fs::path(entry.source).filename().string();
    const fs::path target = fs::path(directory) / name;
    std::string bytes;
    SourcePage source;
    SourceError sourceError;
    std::string corrected;
    FieldTexts fieldTexts;
    WordEdits textEdits;  // a text file's, in place of its field's text
    const std::string outPage = pagePath("out", entry.number);
    if (names[name] > 1) {
      fail("two sources in " + std::string(kPagesFile) + " are named " + name +
           ", and export writes files by their names");
    } else if (!record.mayWrite(target, settings.force, why)) {
      fail(target.string() + " " + why);
    } else if (const ReadResult read = readFile(entry.source, bytes); read != ReadResult::Read) {
      fail(entry.source + " " + std::string(readFailure(read)));
    } else if (bytes.size() != entry.bytes || checksumOf(bytes) != entry.checksum) {
      fail(entry.source + " changed since the import");
    } else if (!(parsed.find(entry.number, bytes, entry.checksum, source) ||
                 readSource(bytes, source, sourceError)) ||
               source.format != entry.format) {
      fail(entry.source + " no longer reads as it did at the import");
    } else if (const ReadResult read = readPageFile(corrected, outPage); read != ReadResult::Read) {
      fail(outPage + " " + std::string(readFailure(read)));
    } else if (entry.importedAt != 0 && modifiedAt(outPage) < entry.importedAt) {
      fail(outPage + " was written before the pages were imported again, from the pages of " +
           "an earlier import; correct the pages again, then export");
    } else if (source.tokens.size() != entry.words) {
      fail(entry.source + " no longer has the words of the import");
    } else if (source.ownHyphens = hyphens[entry.number];
               !(source.format == Format::Text
                     ? correctedTextEdits(source, corrected, textEdits, why)
                     : correctedFieldTexts(source, corrected, fieldTexts, why))) {
      fail(outPage + " " + why + "; was it corrected from another import?");
    } else if (fs::exists(target, error) && fs::equivalent(target, entry.source, error)) {
      fail("exporting would overwrite the source " + entry.source);
    } else {
      std::size_t changed = textEdits.size();
      char32_t unholdable = 0;
      for (const std::optional<std::string>& text : fieldTexts) {
        if (!text) continue;
        ++changed;
        if (source.format != Format::Text && unholdable == 0) unholdable = unholdableInXml(*text);
      }
      if (unholdable != 0) {
        fail(outPage + " holds the control character " + codePointName(unholdable) +
             ", which an XML file cannot hold");
        continue;
      }
      // A large page is held once: the corrected page and the words are
      // done with before the file is written anew, a piece at a time.
      corrected = std::string();
      source.tokens = std::vector<Token>();
      Replacement file(target.string());
      Checksum checksum;
      std::size_t size = 0;
      // Many pieces are a few bytes, and go a chunk at a time; a large one
      // goes as it is.
      constexpr std::size_t kChunk = 1 << 16;
      std::string chunk;
      const auto put = [&](std::string_view bytes) {
        checksum.add(bytes);
        size += bytes.size();
        return file.write(bytes);
      };
      const auto flush = [&] {
        const bool flushed = put(chunk);
        chunk.clear();
        return flushed;
      };
      const auto write = [&](std::string_view piece) {
        if (piece.size() >= kChunk) return flush() && put(piece);
        chunk.append(piece);
        return chunk.size() < kChunk || flush();
      };
      const bool exported =
          (source.format == Format::Text
               ? textEdits.forEachPiece(bytes, write)
               : forEachEditedPiece(bytes, sourceEdits(bytes, source, std::move(fieldTexts)),
                                    write)) &&
          flush();
      if (!exported || !file.commit()) {
        fail(target.string() + " cannot be written");
        continue;
      }
      record.written(target, size, checksum.value());
      ++written;
      changedFiles += changed > 0 ? 1 : 0;
      changedWords += changed;
    }
  }
  if (written > 0 && settings.record == nullptr && !record.save()) {
    err << "scanmend-pages: " << kExportsFile
        << " cannot be written: the files just exported count as not written by export\n";
    failed = true;
  }
  out << "Exported " << written << " of " << pages.size() << " files to " << directory << ": "
      << changedWords << " words changed in " << changedFiles << " files.\n";
  return failed ? 1 : 0;
}

namespace {

// The arguments after "lines"; -1 for a wrong command line.
int linesCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  LinesSettings settings;
  std::size_t given = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--all") {
      settings.all = true;
    } else if ((arguments[i] == "--to" || arguments[i] == "--images") && i + 1 < arguments.size()) {
      (arguments[i] == "--to" ? settings.to : settings.images) = arguments[i + 1];
      ++i;
    } else if (arguments[i].starts_with("--")) {
      return -1;
    } else {
      settings.directory = arguments[i];
      ++given;
    }
  }
  return given == 1 ? writeTrainingLines(settings, out, err) : -1;
}

}  // namespace

int runPages(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      out << kUsage;
      return 0;
    }
    if (argument == "--version") {
      out << "scanmend-pages " << kVersion << "\n";
      return 0;
    }
  }
  const auto usage = [&err](const std::string& what) {
    err << "scanmend-pages: " << what << "\n\n" << kUsage;
    return 2;
  };
  if (arguments.empty()) return usage("a command is needed: correct, import, export or lines");
  const std::string& command = arguments[0];
  if (command == "lines") {
    const int status = linesCommand({arguments.begin() + 1, arguments.end()}, out, err);
    if (status >= 0) return status;
    err << "\n" << kUsage;
    return 2;
  }
  if (command == "correct") {
    const int status = correctPages({arguments.begin() + 1, arguments.end()}, out, err);
    if (status >= 0) return status;
    err << "\n" << kUsage;
    return 2;
  }
  if (command != "import" && command != "export") return usage("unknown command " + command);
  bool force = false;
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--force")
      force = true;
    else if (arguments[i].starts_with("-") && arguments[i].size() > 1)
      return usage("unknown option " + arguments[i] + " for " + command);
    else
      paths.push_back(arguments[i]);
  }
  if (command == "import") {
    if (paths.empty()) return usage("import needs the files to import");
    return importPages(paths, out, err, force);
  }
  if (paths.size() != 1) return usage("export needs one folder to write to");
  return exportPages({paths[0], force}, out, err);
}

}  // namespace scanmend::pages
