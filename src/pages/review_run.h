// What `scanmend-pages correct` writes for a person to check the
// correction, into the folder DIR/review/: review.tsv (every occurrence
// changed or left for review, see review_table.h), review.html (the page
// to decide them by keyboard, see review_page.h) and, where a page's
// image is found, the snippets of the lines with rows under lines/.
//
// It reads the book's working directory, after the learner and before the
// working directory is removed: pages.tsv and hyphens.tsv, the sources,
// out/ (the corrected pages), changes.tsv (each form's reading and why),
// word_fr.txt (the words left unknown) and ocr.tsv (the OCR's
// confidences). An occurrence is listed where the correction changed it,
// where changes.tsv lists its form as a suspect or in doubt, where it is
// left unknown, or where the OCR was less sure of it than a given
// confidence; and wherever a person decided it before.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "pages/review_table.h"

namespace scanmend::pages {

inline constexpr std::string_view kReviewTable = "review.tsv";
inline constexpr std::string_view kReviewPage = "review.html";
inline constexpr std::string_view kSnippetFolder = "lines";
inline constexpr std::string_view kPageImageFolder = "pages";
inline constexpr std::string_view kDecisionsFile = "decisions.tsv";
// Each page's file, its source and the image found for it (empty where
// none was looked for or found): file source image.
inline constexpr std::string_view kImagesTable = "images.tsv";

struct ReviewSettings {
  std::string folder;        // where the files go: DIR/review
  std::string imagesFolder;  // where else page images may be; may be empty
  std::string title;
  // Words the OCR was less sure of than this are listed.
  double confidenceBelow = 0.5;
  // What a person decided before, by the file's name, the line and the
  // word: listed again, with the decision.
  std::map<std::tuple<std::string, std::uint32_t, std::uint32_t>, std::string> decided;
  // The file of those decisions, kept in the folder as decisions.tsv for
  // `scanmend-pages lines`; may be empty.
  std::string decisionsFile;
  // Each row's line cut into an image of its own, so that the review goes
  // without the page images.
  bool lineImages = false;
  // The book's working directory, to read; the current one where empty.
  std::string book;
  // Writes a file whole, or says why not; where unset, as a new file
  // renamed into place. correct gives its own, which keeps the record of
  // what it wrote.
  std::function<bool(const std::string& path, std::string_view bytes, std::string& reason)> write;
};

struct ReviewSummary {
  std::size_t rows = 0;
  std::size_t snippets = 0;    // line images cut
  std::size_t pageImages = 0;  // smaller copies of page images
  std::size_t pagesWithImages = 0;
  std::size_t pagesWithoutImages = 0;  // of those with rows and boxes
  // Every file written, by its path, for the record of what correct wrote.
  std::vector<std::string> written;
};

// Writes the review of the book in its working directory. False, with
// the messages said, when a file cannot be read or written; a page image
// that cannot be read is only noted: its rows have text alone.
bool writeReview(const ReviewSettings& settings, ReviewSummary& summary, std::ostream& err);

// What was written, for the console: where the page is, with how many
// rows, and how many have line images.
std::string reviewReport(const ReviewSummary& summary, const std::string& directory);

// The decisions passed on to another run, as writeReview takes them.
std::map<std::tuple<std::string, std::uint32_t, std::uint32_t>, std::string> decidedOccurrences(
    const std::vector<DecisionRow>& rows);

}  // namespace scanmend::pages
