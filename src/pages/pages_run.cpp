#include "pages/pages_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "base/version.h"
#include "files/text_files.h"
#include "pages/manifest.h"
#include "pages/page_text.h"
#include "pages/parsed_pages.h"
#include "pages/source_page.h"

namespace scanmend::pages {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "Usage: scanmend-pages import FILE...\n"
    "       scanmend-pages export DIR\n"
    "\n"
    "Run in a book's working directory, beside dic.txt.\n"
    "\n"
    "  import FILE...  read OCR files (ALTO, PAGE, hOCR or UTF-8 text; a directory\n"
    "                  stands for its .xml, .hocr, .html and .txt files, sorted by\n"
    "                  name) as the pages in/001.txt, in/002.txt, ... in that order,\n"
    "                  create out/, and write the manifest pages.tsv and words.tsv\n"
    "                  and pages.parsed (what was read, to spare export a parse)\n"
    "  export DIR      write each file, corrected from out/NNN.txt, under DIR\n"
    "  --help, -h      print this help\n"
    "  --version       print the version\n";

constexpr std::string_view kFormatsByExtension[] = {".xml", ".alto", ".page", ".hocr", ".html",
                                                    ".htm", ".xhtml", ".txt"};

bool isOcrFileName(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find(std::begin(kFormatsByExtension), std::end(kFormatsByExtension), extension) !=
         std::end(kFormatsByExtension);
}

// The files that the arguments name, in page order.
bool listSources(const std::vector<std::string>& arguments, std::vector<std::string>& sources,
                 std::ostream& err) {
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (!fs::is_directory(argument, error)) {
      sources.push_back(argument);
      continue;
    }
    std::vector<std::string> inside;
    for (const fs::directory_entry& entry : fs::directory_iterator(argument, error)) {
      const std::string name = entry.path().filename().string();
      if (!name.starts_with('.') && entry.is_regular_file(error) && isOcrFileName(entry.path()))
        inside.push_back(entry.path().string());
    }
    if (error) {
      err << "scanmend-pages: " << argument << ": cannot list the directory\n";
      return false;
    }
    std::sort(inside.begin(), inside.end());
    if (inside.empty()) err << "scanmend-pages: " << argument << ": no OCR files in the directory\n";
    sources.insert(sources.end(), inside.begin(), inside.end());
  }
  return true;
}

std::string place(const std::string& path, const SourceError& error) {
  if (error.line == 0) return path;
  return path + ":" + std::to_string(error.line) + ":" + std::to_string(error.column);
}

bool writeBytes(const std::string& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return !file.fail();
}

// What import writes of one source. The source's bytes and elements are
// not kept: a book of hundreds of files need not be held whole.
struct ImportedSource {
  std::string path;
  Format format = Format::Text;
  std::size_t bytes = 0;
  std::uint64_t checksum = 0;
  std::string text;       // the page
  std::size_t words = 0;  // on the page
  std::string wordRows;   // for words.tsv
};

int runImport(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  std::vector<std::string> paths;
  if (!listSources(arguments, paths, err)) return 1;
  if (paths.empty()) {
    err << "scanmend-pages: no files to import\n";
    return 1;
  }
  // Everything is read before anything is written, so that a bad file
  // leaves the working directory as it was.
  std::vector<ImportedSource> sources;
  std::map<std::string, std::string> byName;
  bool failed = false;
  std::string bytes;
  SourcePage page;
  std::string parsed(parsedPagesHeader());
  for (const std::string& path : paths) {
    SourceError error;
    if (path.find_first_of("\t\n\r") != std::string::npos) {
      err << "scanmend-pages: " << path << ": a tab or line end in a file name cannot be listed\n";
      failed = true;
    } else if (!readFileBytes(path, bytes)) {
      err << "scanmend-pages: " << path << ": cannot read the file\n";
      failed = true;
    } else if (!readSource(bytes, page, error)) {
      err << "scanmend-pages: " << place(path, error) << ": " << error.message << "\n";
      failed = true;
    } else if (const std::string name = fs::path(path).filename().string();
               !byName.emplace(name, path).second) {
      err << "scanmend-pages: " << path << " and " << byName[name]
          << " have the same name; export writes files by their names\n";
      failed = true;
    } else if (!failed) {
      PageText text = makePageText(page);
      ImportedSource& source = sources.emplace_back();
      source.path = path;
      source.format = page.format;
      source.bytes = bytes.size();
      source.checksum = checksumOf(bytes);
      source.text = std::move(text.text);
      source.words = text.pieces.size();
      appendWordRows(source.wordRows, static_cast<std::int64_t>(sources.size()), bytes, page);
      appendParsedPage(parsed, static_cast<std::int64_t>(sources.size()), source.bytes,
                       source.checksum, page);
    }
  }
  if (failed) {
    err << "scanmend-pages: nothing imported\n";
    return 1;
  }

  // Pages of an earlier import are replaced; pages from elsewhere are not.
  std::error_code error;
  std::size_t earlier = 0;
  std::string earlierTable;
  if (readFileBytes(std::string(kPagesFile), earlierTable)) {
    std::vector<ManifestPage> pages;
    std::string why;
    if (readPagesTable(earlierTable, pages, why)) earlier = pages.size();
  }
  if (earlier == 0 && fs::exists(pagePath("in", 1), error)) {
    err << "scanmend-pages: in/ already holds pages that no import wrote; import into a new "
           "working directory\n";
    return 1;
  }
  fs::create_directories("in", error);
  fs::create_directories("out", error);

  std::vector<ManifestPage> manifest;
  std::string words(wordsTableHeader());
  std::size_t wordCount = 0;
  std::map<std::string_view, int> formats;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    const ImportedSource& source = sources[i];
    const auto number = static_cast<std::int64_t>(i + 1);
    if (writeTextFile(source.text, pagePath("in", number)) != WriteResult::Written) {
      err << "scanmend-pages: " << pagePath("in", number) << ": cannot write the page\n";
      return 1;
    }
    manifest.push_back(
        {number, source.path, source.format, source.bytes, source.checksum, source.words});
    words += source.wordRows;
    wordCount += source.words;
    ++formats[formatName(source.format)];
  }
  for (std::size_t n = sources.size() + 1; n <= earlier; ++n)
    fs::remove(pagePath("in", static_cast<std::int64_t>(n)), error);
  if (!writeBytes(std::string(kPagesFile), pagesTable(manifest)) ||
      !writeBytes(std::string(kWordsFile), words)) {
    err << "scanmend-pages: cannot write the manifest " << kPagesFile << "\n";
    return 1;
  }
  // Export reads the sources anew without it, only slower.
  if (!writeBytes(std::string(kParsedFile), parsed)) fs::remove(std::string(kParsedFile), error);
  out << "Imported " << sources.size() << (sources.size() == 1 ? " file (" : " files (");
  bool first = true;
  for (const auto& [name, count] : formats) {
    out << (first ? "" : ", ") << name << " " << count;
    first = false;
  }
  out << "): " << wordCount << " words on pages in/001.txt to " << pagePath("in", static_cast<std::int64_t>(sources.size()))
      << ", manifest " << kPagesFile << ".\n"
      << "Correct them (scanmend-advise, scanmend), then: scanmend-pages export DIR\n";
  return 0;
}

int runExport(const std::string& directory, std::ostream& out, std::ostream& err) {
  std::string table;
  std::vector<ManifestPage> pages;
  std::string why;
  if (!readFileBytes(std::string(kPagesFile), table)) {
    err << "scanmend-pages: no manifest " << kPagesFile
        << " here; run scanmend-pages import in this directory first\n";
    return 1;
  }
  if (!readPagesTable(table, pages, why)) {
    err << "scanmend-pages: " << kPagesFile << ": " << why << "\n";
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
    std::string bytes;
    SourcePage source;
    SourceError sourceError;
    std::string corrected;
    std::vector<std::string> fieldTexts;
    const fs::path target = fs::path(directory) / fs::path(entry.source).filename();
    if (!readFileBytes(entry.source, bytes)) {
      fail(entry.source + " cannot be read");
    } else if (bytes.size() != entry.bytes || checksumOf(bytes) != entry.checksum) {
      fail(entry.source + " changed since the import");
    } else if (!(parsed.find(entry.number, bytes, entry.checksum, source) ||
                 readSource(bytes, source, sourceError)) ||
               source.format != entry.format) {
      fail(entry.source + " no longer reads as it did at the import");
    } else if (!readPage(corrected, pagePath("out", entry.number))) {
      fail(pagePath("out", entry.number) + " cannot be read");
    } else if (const PageText text = makePageText(source); text.pieces.size() != entry.words) {
      fail(entry.source + " no longer has the words of the import");
    } else if (!correctedFieldTexts(source, text, corrected, fieldTexts, why)) {
      fail(pagePath("out", entry.number) + " " + why + "; was it corrected from another import?");
    } else if (fs::exists(target, error) && fs::equivalent(target, entry.source, error)) {
      fail("exporting would overwrite the source " + entry.source);
    } else {
      const std::vector<Edit> edits = sourceEdits(bytes, source, fieldTexts);
      std::size_t changed = 0;
      for (std::size_t f = 0; f < fieldTexts.size(); ++f)
        if (fieldTexts[f] != source.fields[f].text) ++changed;
      if (!writeBytes(target.string(), applyEdits(bytes, edits))) {
        fail(target.string() + " cannot be written");
        continue;
      }
      ++written;
      changedFiles += changed > 0 ? 1 : 0;
      changedWords += changed;
    }
  }
  out << "Exported " << written << " of " << pages.size() << " files to " << directory << ": "
      << changedWords << " words changed in " << changedFiles << " files.\n";
  return failed ? 1 : 0;
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
  if (!arguments.empty() && arguments[0] == "import" && arguments.size() >= 2)
    return runImport({arguments.begin() + 1, arguments.end()}, out, err);
  if (!arguments.empty() && arguments[0] == "export" && arguments.size() == 2)
    return runExport(arguments[1], out, err);
  err << kUsage;
  return 2;
}

}  // namespace scanmend::pages
