#include "pages/review_lines.h"

#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include "base/tab_separated.h"
#include "files/replacement.h"
#include "files/text_files.h"
#include "pages/review_book.h"
#include "pages/review_geometry.h"
#include "pages/review_images.h"
#include "pages/review_run.h"
#include "pages/review_table.h"

namespace scanmend::pages {
namespace {

namespace fs = std::filesystem;

struct PageFiles {
  std::string file;
  std::string source;
  std::string image;
};

bool readImagesTable(const fs::path& path, std::vector<PageFiles>& pages, std::string& why) {
  std::string table;
  if (const ReadResult read = readFile(path.string(), table); read != ReadResult::Read) {
    why = path.string() + " " + std::string(readFailure(read)) +
          "; it is written by scanmend-pages correct";
    return false;
  }
  std::size_t number = 0;
  for (std::size_t at = 0; at < table.size(); ++number) {
    const std::size_t end = std::min(table.find('\n', at), table.size());
    const std::vector<std::string_view> cells =
        tabSeparatedCells(std::string_view(table).substr(at, end - at));
    at = end + 1;
    if (number == 0) continue;
    if (cells.size() != 3 || cells[0].empty() || cells[0].find('/') != std::string_view::npos) {
      why = path.string() + " line " + std::to_string(number + 1) + " names no file";
      return false;
    }
    pages.push_back({std::string(cells[0]), std::string(cells[1]), std::string(cells[2])});
  }
  return true;
}

std::string lineName(const std::string& file, std::size_t line) {
  std::string name = file;
  for (char& c : name)
    if (c == '.') c = '_';
  char number[16];
  std::snprintf(number, sizeof number, "_%04zu", line);
  return name + number;
}

}  // namespace

int writeTrainingLines(const LinesSettings& settings, std::ostream& out, std::ostream& err) {
  const fs::path directory(settings.directory);
  const fs::path review = directory / "review";
  const fs::path to = settings.to.empty() ? review / "training" : fs::path(settings.to);
  std::vector<PageFiles> pages;
  std::string why;
  if (!readImagesTable(review / kImagesTable, pages, why)) {
    err << "scanmend-pages: " << why << "\n";
    return 1;
  }
  // The lines reviewed, by file: those with a decision.
  std::map<std::string, std::set<std::uint32_t>> reviewed;
  if (!settings.all) {
    const fs::path table = review / kDecisionsFile;
    std::string bytes;
    std::vector<DecisionRow> rows;
    std::vector<std::string> problems;
    if (const ReadResult read = readFile(table.string(), bytes); read != ReadResult::Read) {
      err << "scanmend-pages: " << table.string() << " " << readFailure(read)
          << "; it is kept by scanmend-pages correct --decisions, or ask for every line with "
             "--all\n";
      return 1;
    }
    if (!readDecisionTable(bytes, rows, problems)) {
      for (const std::string& problem : problems)
        err << "scanmend-pages: " << table.string() << " " << problem << "\n";
      return 1;
    }
    for (const DecisionRow& row : rows) reviewed[row.file].insert(row.pageLine);
  }
  std::error_code error;
  fs::create_directories(to, error);
  if (!fs::is_directory(to, error)) {
    err << "scanmend-pages: " << to.string() << ": cannot create the folder\n";
    return 1;
  }
  std::size_t written = 0;
  std::size_t skipped = 0;
  for (const PageFiles& files : pages) {
    const auto wanted = reviewed.find(files.file);
    if (!settings.all && wanted == reviewed.end()) continue;
    const fs::path corrected = directory / files.file;
    BookPage page;
    SourceError sourceError;
    if (const ReadResult read = readFile(corrected.string(), page.bytes);
        read != ReadResult::Read) {
      err << "scanmend-pages: " << corrected.string() << " " << readFailure(read) << "\n";
      return 1;
    }
    if (!readSource(page.bytes, page.source, sourceError)) {
      err << "scanmend-pages: " << corrected.string() << ": " << sourceError.message << "\n";
      return 1;
    }
    std::vector<std::uint32_t> lines;  // from 1
    if (settings.all) {
      for (std::uint32_t line = 1; line <= page.source.lineCount(); ++line) lines.push_back(line);
    } else {
      for (const std::uint32_t line : wanted->second)
        if (line <= page.source.lineCount()) lines.push_back(line);
    }
    const PageGeometry geometry = pageGeometry(page.bytes, page.source);
    const std::string imagePath =
        !files.image.empty() ? files.image
                             : findPageImage(files.source, geometry.image, settings.images);
    PageImage image;
    if (imagePath.empty() || !image.read(imagePath, why)) {
      err << "scanmend-pages: " << files.file << ": "
          << (imagePath.empty() ? "no page image found (--images DIR)" : imagePath + " " + why)
          << "; its lines are skipped\n";
      skipped += lines.size();
      continue;
    }
    const double factor = pixelsPerUnit(geometry, image.resolution());
    for (const std::uint32_t line : lines) {
      std::string png;
      Box cut;
      // A line for training is cut close, with a little white about it.
      const Box box = scaledBox(geometry.lines[line - 1], factor);
      if (!image.cutLine(box, std::max<std::int64_t>(2, box.height / 20), 0, png, cut)) {
        ++skipped;
        continue;
      }
      const std::string name = lineName(files.file, line);
      Replacement picture((to / (name + ".png")).string());
      Replacement text((to / (name + ".gt.txt")).string());
      if (!picture.write(png) || !text.write(lineAsRead(page.source, line - 1) + "\n") ||
          !picture.commit() || !text.commit()) {
        err << "scanmend-pages: " << (to / name).string() << ": cannot be written\n";
        return 1;
      }
      ++written;
    }
  }
  out << "Wrote " << written << (written == 1 ? " line" : " lines") << " to " << to.string()
      << " (NAME.png, NAME.gt.txt)";
  if (skipped > 0) out << "; " << skipped << " without an image or a box skipped";
  out << ".\n";
  if (written == 0) {
    err << "scanmend-pages: no line written\n";
    return 1;
  }
  return 0;
}

}  // namespace scanmend::pages
