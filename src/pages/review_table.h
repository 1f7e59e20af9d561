// review.tsv, every word occurrence that a person may want to check, and
// decisions.tsv, what the person decided of them.
//
// review.tsv is UTF-8 with LF line ends and a header line; a row is an
// occurrence of a word that the correction changed or left for review:
//   row file page line word id x y width height read written probability
//   runner_up runner_up_probability reason confidence context
// `row` counts from 1; `file` is the source's file name, `page` its number
// in the book, `line` and `word` the word's place on that page (both from
// 1, words as the correction cuts them, so "Haus," is one word and
// "Schweren-vnd" two); `id` the word's ID in the file where it has one;
// the box is in pixels of the page image (empty where the file has none);
// `read` and `written` are the word as the file holds it and as the
// corrected file holds it; `context` is the line as read with the word
// between the marks kMarkOpen and kMarkClose.
//
// decisions.tsv has the same columns and `decision`: "accept", "reject",
// or the word typed. It is read by the names of its columns (file, line,
// word, read, written, decision; the others are kept as they are), in
// UTF-8 with or without a byte-order mark, or else as Windows-1252, with
// LF or CR LF line ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pages/review_geometry.h"

namespace scanmend::pages {

inline constexpr std::string_view kMarkOpen = "\xE2\x9F\xA6";   // U+27E6
inline constexpr std::string_view kMarkClose = "\xE2\x9F\xA7";  // U+27E7

struct ReviewRow {
  std::size_t row = 0;
  std::string file;
  std::int64_t page = 0;
  std::uint32_t line = 0;
  std::uint32_t word = 0;
  std::string id;
  Box box;
  std::string read;
  std::string written;
  std::string probability;
  std::string runnerUp;
  std::string runnerUpProbability;
  std::string reason;
  std::string confidence;
  std::string context;
};

std::string_view reviewTableHeader();
// Appends the row's line; a tab or a line end in a text becomes a space.
void appendReviewRow(std::string& out, const ReviewRow& row);
// The cells of the row, as its line holds them.
std::vector<std::string> reviewCells(const ReviewRow& row);

// A row of decisions.tsv: its line there, the cells that name the word, and
// what was decided.
struct DecisionRow {
  std::size_t line = 0;  // in decisions.tsv, from 1
  std::string file;
  std::uint32_t pageLine = 0;
  std::uint32_t word = 0;
  std::string read;
  std::string written;
  enum class Kind { Accept, Reject, Typed } kind = Kind::Accept;
  std::string typed;
};

// Reads decisions.tsv. A row with an empty decision is no decision and is
// skipped. Every row that cannot be read is named in `problems` ("line 7:
// ..."); false when there is any, or when the header lacks a column.
bool readDecisionTable(std::string_view bytes, std::vector<DecisionRow>& rows,
                       std::vector<std::string>& problems);

}  // namespace scanmend::pages
