#include "pages/review_run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "base/letters.h"
#include "base/tab_separated.h"
#include "base/windows1252.h"
#include "book/ocr_evidence.h"
#include "files/replacement.h"
#include "files/text_files.h"
#include "pages/review_book.h"
#include "pages/review_geometry.h"
#include "pages/review_images.h"
#include "pages/review_page.h"
#include "pages/review_words.h"

namespace scanmend::pages {
namespace {

namespace fs = std::filesystem;

// What changes.tsv says of a form: why it was changed or kept, and how
// likely its reading was against the next.
struct FormInfo {
  std::string reason;
  std::string probability;
  std::string runnerUp;  // UTF-8
  std::string runnerUpProbability;
};
using Forms = std::unordered_map<std::string, FormInfo>;  // by the form as read, Windows-1252

// A report of the learner as lines of cells, and whether it is UTF-8
// (else Windows-1252).
struct Report {
  std::vector<std::vector<std::string_view>> rows;
  bool utf8 = true;
  std::string text;
};

bool readReport(const std::string& path, Report& report) {
  if (!readFileBytes(path, report.text)) return false;
  if (report.text.starts_with("\xEF\xBB\xBF")) report.text.erase(0, 3);
  report.utf8 = firstInvalidUtf8(report.text) == std::string::npos;
  const std::string_view text = report.text;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (line.ends_with('\r')) line.remove_suffix(1);
    report.rows.push_back(tabSeparatedCells(line));
    at = end + 1;
  }
  return true;
}

std::string asWindows1252(std::string_view cell, bool utf8) {
  if (!utf8) return std::string(cell);
  std::string out;
  return utf8ToWindows1252(cell, out) ? out : std::string();
}

std::string asUtf8(std::string_view cell, bool utf8) {
  return utf8 ? std::string(cell) : utf8Of(cell);
}

// The reason in the words of changes.tsv's `kept` column, for a learner
// that writes no `reason` column.
std::string reasonOfKept(std::string_view kept) {
  if (kept.starts_with("spelling")) return "spelling";
  if (kept.starts_with("compound")) return "compound";
  if (kept.starts_with("the book's own word")) return "book-word";
  return std::string(kept);
}

// changes.tsv, read by the names of its columns.
Forms readForms() {
  Forms forms;
  Report report;
  if (!readReport("changes.tsv", report) || report.rows.empty()) return forms;
  const std::vector<std::string_view>& header = report.rows[0];
  const auto column = [&header](std::string_view name) {
    const auto found = std::find(header.begin(), header.end(), name);
    return found == header.end() ? -1 : static_cast<int>(found - header.begin());
  };
  const int scanned = column("scanned"), written = column("written"), reason = column("reason"),
            kept = column("kept"), probability = column("probability"),
            runnerUp = column("runner_up"), runnerUpProbability = column("runner_up_probability");
  if (scanned < 0) return forms;
  const auto cellOf = [](const std::vector<std::string_view>& row, int k) {
    return k >= 0 && static_cast<std::size_t>(k) < row.size() ? row[static_cast<std::size_t>(k)]
                                                              : std::string_view();
  };
  for (std::size_t n = 1; n < report.rows.size(); ++n) {
    const std::vector<std::string_view>& row = report.rows[n];
    if (row.size() != header.size()) continue;
    const std::string key = asWindows1252(cellOf(row, scanned), report.utf8);
    if (key.empty()) continue;
    FormInfo info;
    if (reason >= 0) {
      info.reason = cellOf(row, reason);
    } else if (!cellOf(row, kept).empty()) {
      info.reason = reasonOfKept(cellOf(row, kept));
    } else {
      info.reason = cellOf(row, written) == cellOf(row, scanned) ? "doubt" : "misreading";
    }
    info.probability = cellOf(row, probability);
    info.runnerUp = asUtf8(cellOf(row, runnerUp), report.utf8);
    info.runnerUpProbability = cellOf(row, runnerUpProbability);
    forms.emplace(key, std::move(info));
  }
  return forms;
}

// word_fr.txt: the words left unknown, Windows-1252.
std::unordered_set<std::string> readUnknownWords() {
  std::unordered_set<std::string> words;
  Report report;
  if (!readReport("word_fr.txt", report)) return words;
  for (std::size_t n = 1; n < report.rows.size(); ++n)
    if (report.rows[n].size() == 2 && !report.rows[n][0].empty())
      words.insert(asWindows1252(report.rows[n][0], report.utf8));
  return words;
}

// ocr.tsv's confidences, by page, line and the word's place among the
// space-separated pieces of its line.
using Confidences = std::map<std::tuple<std::int64_t, std::uint32_t, std::uint32_t>, float>;

Confidences readConfidences() {
  Confidences confidences;
  std::string table;
  std::vector<OcrWord> words;
  std::string error;
  if (!readFileBytes(std::string(kOcrEvidenceFile), table) ||
      !parseOcrEvidence(table, words, error))
    return confidences;
  for (const OcrWord& word : words)
    if (word.hasConfidence()) confidences[{word.page, word.line, word.word}] = word.confidence;
  return confidences;
}

// Lines are shown at most this high; a higher line is scaled down.
constexpr std::int64_t kShownLineHeight = 96;

constexpr std::string_view kImagesHeader = "file\tsource\timage\n";

std::string decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

std::string snippetName(std::int64_t page, std::uint32_t line) {
  char name[64];
  std::snprintf(name, sizeof name, "p%04lld-l%04u.jpg", static_cast<long long>(page), line);
  return name;
}

std::string pageImageName(std::int64_t page) {
  char name[64];
  std::snprintf(name, sizeof name, "p%04lld.jpg", static_cast<long long>(page));
  return name;
}

// Writes `bytes` to `path` whole or not at all, and notes it.
bool writeWhole(const ReviewSettings& settings, const fs::path& path, std::string_view bytes,
                ReviewSummary& summary, std::ostream& err) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  std::string why = "cannot be written";
  bool written = false;
  if (settings.write) {
    written = settings.write(path.string(), bytes, why);
  } else {
    Replacement file(path.string());
    written = file.write(bytes) && file.commit();
  }
  if (!written) {
    err << "scanmend-pages: " << path.string() << ": " << why << "\n";
    return false;
  }
  summary.written.push_back(path.string());
  return true;
}

// The part of a line's image where the row's word stands, in percent.
void markWord(const Box& word, const Box& cut, LineShot& shot) {
  if (word.empty()) {
    shot.left = shot.top = 0;
    shot.width = shot.height = 100;
    return;
  }
  const auto share = [](std::int64_t value, std::int64_t whole) {
    return std::clamp(100.0 * static_cast<double>(value) / static_cast<double>(whole), 0.0, 100.0);
  };
  shot.left = share(word.x - cut.x, cut.width);
  shot.top = share(word.y - cut.y, cut.height);
  shot.width = std::min(share(word.width, cut.width), 100 - shot.left);
  shot.height = std::min(share(word.height, cut.height), 100 - shot.top);
}

// A margin of a fifth of the line's height shows what the line's box may
// clip of the letters, and a little of the lines about it.
std::int64_t lineMargin(const Box& line) { return std::max<std::int64_t>(4, line.height / 5); }

// The rows of one page and the images of their lines, added to the review.
class PageReview {
 public:
  PageReview(const ReviewSettings& settings, const Forms& forms,
             const std::unordered_set<std::string>& unknown, const Confidences& confidences,
             ReviewPage& review, ReviewSummary& summary, std::ostream& err)
      : settings_(settings),
        forms_(forms),
        unknown_(unknown),
        confidences_(confidences),
        review_(review),
        summary_(summary),
        err_(err) {}

  bool add(const ManifestPage& entry, const BookPage& page, const PageAlignment& alignment);
  // images.tsv: each page's file, source and image, where one was found.
  const std::string& images() const { return images_; }

 private:
  // Why the occurrence is listed; empty where it is not.
  std::string reasonFor(const std::string& read, const std::string& written, float confidence,
                        bool decided, const FormInfo* form) const;
  // Each row's line shown from the image at `url`, the page image scaled
  // by `scale`.
  void addShots(const PageGeometry& geometry, double factor, double scale, std::size_t firstRow,
                const std::string& url);
  // Each row's line cut from `image` into an image of its own.
  void addLineImages(const ManifestPage& entry, const PageGeometry& geometry, double factor,
                     std::size_t firstRow, PageImage& image);

  const ReviewSettings& settings_;
  const Forms& forms_;
  const std::unordered_set<std::string>& unknown_;
  const Confidences& confidences_;
  ReviewPage& review_;
  ReviewSummary& summary_;
  std::ostream& err_;
  bool failed_ = false;
  std::string images_{kImagesHeader};
};

std::string PageReview::reasonFor(const std::string& read, const std::string& written,
                                  float confidence, bool decided, const FormInfo* form) const {
  if (read != written) {
    if (form != nullptr && !form->reason.empty()) return form->reason;
    return decided ? "reviewed" : "misreading";  // else a person's word
  }
  if (form != nullptr && (form->reason == "suspect" || form->reason == "doubt"))
    return form->reason;
  // A number or a mark ("3", "|") is no word to check letter by letter.
  const bool letters = std::any_of(read.begin(), read.end(),
                                   [](char c) { return isLetter(static_cast<unsigned char>(c)); });
  if (!letters) return decided ? "reviewed" : "";
  if (unknown_.contains(read)) return "unknown";
  if (confidence >= 0 && confidence < settings_.confidenceBelow) return "low-confidence";
  return decided ? "reviewed" : "";
}

bool PageReview::add(const ManifestPage& entry, const BookPage& page,
                     const PageAlignment& alignment) {
  const SourcePage& source = page.source;
  const std::string file = fs::path(entry.source).filename().string();
  const std::size_t firstRow = review_.rows.size();
  const auto noteImage = [&](const std::string& image) {
    images_ += file + '\t' + entry.source + '\t' + image + '\n';
  };
  std::map<std::uint32_t, int> lineIndex;  // the page's lines in review_.lines
  const auto lineAt = [&](std::int64_t line) -> int {
    if (line < 0 || static_cast<std::size_t>(line) >= source.lineCount()) return -1;
    const auto [found, added] = lineIndex.emplace(static_cast<std::uint32_t>(line), 0);
    if (added) {
      found->second = static_cast<int>(review_.lines.size());
      review_.lines.push_back(lineAsRead(source, static_cast<std::uint32_t>(line)));
    }
    return found->second;
  };
  std::vector<std::size_t> wordOfRow;  // the corrected word of each row of the page
  for (std::size_t w = 0; w < alignment.corrected.size(); ++w) {
    const CorrectedWord& word = alignment.corrected[w];
    const ImportedWord& first = alignment.imported[word.first];
    const std::string read = alignment.readOf(word);
    float confidence = -1;
    for (std::size_t k = word.first; k < word.first + word.count; ++k) {
      const ImportedWord& part = alignment.imported[k];
      const auto found = confidences_.find({entry.number, part.line + 1, part.spaced});
      if (found != confidences_.end() && (confidence < 0 || found->second < confidence))
        confidence = found->second;
    }
    const auto decided = settings_.decided.find({file, first.line + 1, first.number});
    const auto form = forms_.find(read);
    const FormInfo* info = form == forms_.end() ? nullptr : &form->second;
    const std::string reason =
        reasonFor(read, word.text, confidence, decided != settings_.decided.end(), info);
    if (reason.empty()) continue;
    ReviewRow row;
    row.row = review_.rows.size() + 1;
    row.file = file;
    row.page = entry.number;
    row.line = first.line + 1;
    row.word = first.number;
    const ImportedText characters = importedRun(source, alignment.imported, word.first, word.count);
    row.read = characters.source;
    row.written = exportCharacters(characters, word.text);
    if (info != nullptr) {
      row.probability = info->probability;
      row.runnerUp = info->runnerUp;
      row.runnerUpProbability = info->runnerUpProbability;
    }
    row.reason = reason;
    if (confidence >= 0) row.confidence = decimal(confidence);
    row.context = lineAsRead(source, first.line, &first);
    if (decided != settings_.decided.end()) review_.decided[row.row] = decided->second;
    review_.near.emplace_back(lineAt(static_cast<std::int64_t>(first.line) - 1),
                              lineAt(static_cast<std::int64_t>(first.line) + 1));
    review_.shots.emplace_back();
    review_.rows.push_back(std::move(row));
    wordOfRow.push_back(w);
  }
  if (review_.rows.size() == firstRow || source.format == Format::Text) {
    noteImage("");
    return !failed_;
  }

  // Boxes, and the images of the rows' lines where the page image is found.
  const PageGeometry geometry = pageGeometry(page.bytes, source);
  const std::string imagePath =
      findPageImage(fs::path(entry.source), geometry.image, settings_.imagesFolder);
  // An image that a browser shows as it is stays where it is, and the page
  // shows each line from it: nothing is read here. Others are read, and
  // made a smaller JPEG once, or cut into lines where asked for.
  const bool asItIs = !imagePath.empty() && !settings_.lineImages && geometry.unitsPerInch == 0 &&
                      browserShows(imagePath);
  PageImage image;
  std::string why;
  const bool read = !imagePath.empty() && !asItIs && image.read(imagePath, why);
  if (!imagePath.empty() && !asItIs && !read)
    err_ << "scanmend-pages: " << imagePath << " " << why << "; the review of " << file
         << " shows its text only\n";
  const bool hasImage = asItIs || read;
  noteImage(hasImage ? imagePath : "");
  const double factor = pixelsPerUnit(geometry, read ? image.resolution() : 0);
  for (std::size_t r = firstRow; r < review_.rows.size(); ++r) {
    ReviewRow& row = review_.rows[r];
    const ImportedWord& first =
        alignment.imported[alignment.corrected[wordOfRow[r - firstRow]].first];
    row.id = geometry.ids[first.token];
    const std::size_t length =
        importCharacters(source.tokenText(source.tokens[first.token])).bytes.size();
    row.box =
        scaledBox(partOfBox(geometry.words[first.token], first.from, first.to, length), factor);
  }
  if (!hasImage) {
    if (std::any_of(geometry.lines.begin(), geometry.lines.end(),
                    [](const Box& box) { return !box.empty(); }))
      ++summary_.pagesWithoutImages;
    return !failed_;
  }
  ++summary_.pagesWithImages;
  if (asItIs) {
    addShots(geometry, factor, 1, firstRow, relativeUrl(settings_.folder, imagePath));
  } else if (settings_.lineImages) {
    addLineImages(entry, geometry, factor, firstRow, image);
  } else {
    // One smaller page, where its lines are higher than the page shows them.
    std::vector<std::int64_t> heights;
    for (const Box& line : geometry.lines)
      if (!line.empty()) heights.push_back(scaledBox(line, factor).height);
    std::sort(heights.begin(), heights.end());
    const double scale =
        heights.empty()
            ? 1
            : std::min(1.0, static_cast<double>(kShownLineHeight) /
                                static_cast<double>(heights[heights.size() / 2] * 3 / 2));
    std::string jpeg;
    const std::string name = pageImageName(entry.number);
    if (!image.smallerJpeg(scale, jpeg) ||
        !writeWhole(settings_, fs::path(settings_.folder) / kPageImageFolder / name, jpeg, summary_,
                    err_))
      return false;
    ++summary_.pageImages;
    addShots(geometry, factor, scale, firstRow, std::string(kPageImageFolder) + "/" + name);
  }
  return !failed_;
}

void PageReview::addShots(const PageGeometry& geometry, double factor, double scale,
                          std::size_t firstRow, const std::string& url) {
  for (std::size_t r = firstRow; r < review_.rows.size(); ++r) {
    const ReviewRow& row = review_.rows[r];
    const Box line = scaledBox(scaledBox(geometry.lines[row.line - 1], factor), scale);
    if (line.empty()) continue;
    const std::int64_t margin = lineMargin(line);
    const std::int64_t left = std::max<std::int64_t>(0, line.x - margin);
    const std::int64_t top = std::max<std::int64_t>(0, line.y - margin);
    LineShot shot{
        url, {left, top, line.x + line.width + margin - left, line.y + line.height + margin - top}};
    markWord(scaledBox(row.box, scale), shot.region, shot);
    review_.shots[r] = shot;
  }
}

void PageReview::addLineImages(const ManifestPage& entry, const PageGeometry& geometry,
                               double factor, std::size_t firstRow, PageImage& image) {
  // By line, from 1: the line's image and the part of the page it shows.
  std::map<std::uint32_t, std::optional<std::pair<LineShot, Box>>> cuts;
  const fs::path folder = fs::path(settings_.folder) / kSnippetFolder;
  for (std::size_t r = firstRow; r < review_.rows.size(); ++r) {
    const ReviewRow& row = review_.rows[r];
    auto [found, added] = cuts.emplace(row.line, std::nullopt);
    if (added) {
      const Box line = scaledBox(geometry.lines[row.line - 1], factor);
      std::string bytes;
      Box cut;
      if (image.cutLine(line, lineMargin(line), kShownLineHeight, bytes, cut)) {
        const std::string name = snippetName(entry.number, row.line);
        if (!writeWhole(settings_, folder / name, bytes, summary_, err_)) {
          failed_ = true;
          return;
        }
        ++summary_.snippets;
        // The line's image is the cut, scaled down as cutLine scales it.
        const double scale = cut.height > kShownLineHeight ? static_cast<double>(kShownLineHeight) /
                                                                 static_cast<double>(cut.height)
                                                           : 1;
        LineShot shot{std::string(kSnippetFolder) + "/" + name,
                      scaledBox({0, 0, cut.width, cut.height}, scale)};
        found->second.emplace(shot, cut);
      }
    }
    if (!found->second) continue;
    auto [shot, cut] = *found->second;
    markWord(row.box, cut, shot);
    review_.shots[r] = shot;
  }
}

}  // namespace

bool writeReview(const ReviewSettings& settings, ReviewSummary& summary, std::ostream& err) {
  // The working directory's files are read by their names in it.
  struct InBook {
    fs::path previous;
    explicit InBook(const std::string& book) {
      if (book.empty()) return;
      previous = fs::current_path();
      fs::current_path(book);
    }
    ~InBook() {
      std::error_code error;
      if (!previous.empty()) fs::current_path(previous, error);
    }
  } inBook(settings.book);
  ReviewBook book;
  std::string why;
  if (!book.load(why)) {
    err << "scanmend-pages: " << why << "; no review written\n";
    return false;
  }
  std::error_code error;
  fs::create_directories(settings.folder, error);
  if (!fs::is_directory(settings.folder, error)) {
    err << "scanmend-pages: " << settings.folder << ": cannot create the folder\n";
    return false;
  }
  const Forms forms = readForms();
  const std::unordered_set<std::string> unknown = readUnknownWords();
  const Confidences confidences = readConfidences();
  ReviewPage review;
  review.title = settings.title;
  PageReview pages(settings, forms, unknown, confidences, review, summary, err);
  for (std::size_t index = 0; index < book.pages().size(); ++index) {
    const ManifestPage& entry = book.pages()[index];
    BookPage page;
    std::string corrected;
    PageAlignment alignment;
    if (!book.readCorrected(index, page, corrected, alignment, why)) {
      err << "scanmend-pages: " << why << "; no review written\n";
      return false;
    }
    if (!pages.add(entry, page, alignment)) return false;
  }
  std::string table(reviewTableHeader());
  for (const ReviewRow& row : review.rows) appendReviewRow(table, row);
  summary.rows = review.rows.size();
  std::string decisions;
  if (!settings.decisionsFile.empty() && !readFileBytes(settings.decisionsFile, decisions)) {
    err << "scanmend-pages: " << settings.decisionsFile << ": cannot be read again\n";
    return false;
  }
  const fs::path folder(settings.folder);
  return writeWhole(settings, folder / kReviewTable, table, summary, err) &&
         writeWhole(settings, folder / kImagesTable, pages.images(), summary, err) &&
         writeWhole(settings, folder / kReviewPage, reviewPageHtml(review), summary, err) &&
         (settings.decisionsFile.empty() ||
          writeWhole(settings, folder / kDecisionsFile, decisions, summary, err));
}

std::string reviewReport(const ReviewSummary& summary, const std::string& directory) {
  std::string report = "Review: " + (fs::path(directory) / "review" / kReviewPage).string() + " (" +
                       std::to_string(summary.rows) + (summary.rows == 1 ? " row" : " rows");
  if (summary.pagesWithImages > 0)
    report += ", the lines shown from " + std::to_string(summary.pagesWithImages) +
              (summary.pagesWithImages == 1 ? " page image" : " page images");
  if (summary.snippets > 0) report += ", " + std::to_string(summary.snippets) + " cut";
  report += ")";
  if (summary.pagesWithoutImages > 0)
    report += "; no image found for " + std::to_string(summary.pagesWithoutImages) +
              " pages (--images DIR)";
  return report + ".\n";
}

std::map<std::tuple<std::string, std::uint32_t, std::uint32_t>, std::string> decidedOccurrences(
    const std::vector<DecisionRow>& rows) {
  std::map<std::tuple<std::string, std::uint32_t, std::uint32_t>, std::string> decided;
  for (const DecisionRow& row : rows)
    decided[{row.file, row.pageLine, row.word}] = row.kind == DecisionRow::Kind::Accept ? "accept"
                                                  : row.kind == DecisionRow::Kind::Reject
                                                      ? "reject"
                                                      : row.typed;
  return decided;
}

}  // namespace scanmend::pages
