#include "pages/review_table.h"

#include <array>
#include <charconv>

#include "base/tab_separated.h"
#include "base/windows1252.h"
#include "pages/characters.h"

namespace scanmend::pages {
namespace {

constexpr std::string_view kHeader =
    "row\tfile\tpage\tline\tword\tid\tx\ty\twidth\theight\tread\twritten\tprobability\t"
    "runner_up\trunner_up_probability\treason\tconfidence\tcontext\n";

std::string cell(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return out;
}

bool parseNumber(std::string_view text, std::uint32_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty() && value > 0;
}

// The table as UTF-8: as it is, without a byte-order mark, or converted
// from Windows-1252.
std::string asUtf8(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (firstInvalidUtf8(bytes) == std::string_view::npos) return std::string(bytes);
  std::string out;
  for (const char c : bytes) appendUtf8(out, codePointOf(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string_view reviewTableHeader() { return kHeader; }

std::vector<std::string> reviewCells(const ReviewRow& row) {
  const bool box = !row.box.empty();
  const auto boxCell = [box](std::int64_t value) { return box ? std::to_string(value) : ""; };
  return {std::to_string(row.row),  cell(row.file),           std::to_string(row.page),
          std::to_string(row.line), std::to_string(row.word), cell(row.id),
          boxCell(row.box.x),       boxCell(row.box.y),       boxCell(row.box.width),
          boxCell(row.box.height),  cell(row.read),           cell(row.written),
          cell(row.probability),    cell(row.runnerUp),       cell(row.runnerUpProbability),
          cell(row.reason),         cell(row.confidence),     cell(row.context)};
}

void appendReviewRow(std::string& out, const ReviewRow& row) {
  bool first = true;
  for (const std::string& text : reviewCells(row)) {
    if (!first) out += '\t';
    out += text;
    first = false;
  }
  out += '\n';
}

bool readDecisionTable(std::string_view bytes, std::vector<DecisionRow>& rows,
                       std::vector<std::string>& problems) {
  rows.clear();
  const std::string table = asUtf8(bytes);
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < table.size();) {
    std::size_t end = table.find('\n', at);
    if (end == std::string::npos) end = table.size();
    std::string_view line = std::string_view(table).substr(at, end - at);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    at = end + 1;
  }
  if (lines.empty()) {
    problems.push_back("is empty; it needs a header line");
    return false;
  }
  const std::vector<std::string_view> header = tabSeparatedCells(lines[0]);
  constexpr std::array<std::string_view, 6> kNeeded{"file", "line",    "word",
                                                    "read", "written", "decision"};
  std::array<std::size_t, 6> column{};
  for (std::size_t k = 0; k < kNeeded.size(); ++k) {
    column[k] = header.size();
    for (std::size_t c = 0; c < header.size(); ++c)
      if (header[c] == kNeeded[k]) column[k] = c;
    if (column[k] == header.size())
      problems.push_back("line 1: the header has no column \"" + std::string(kNeeded[k]) + "\"");
  }
  if (!problems.empty()) return false;
  for (std::size_t n = 1; n < lines.size(); ++n) {
    if (lines[n].empty()) continue;
    const std::vector<std::string_view> cells = tabSeparatedCells(lines[n]);
    const std::string where = "line " + std::to_string(n + 1) + ": ";
    if (cells.size() != header.size()) {
      problems.push_back(where + "has " + std::to_string(cells.size()) +
                         " cells where the header has " + std::to_string(header.size()));
      continue;
    }
    DecisionRow row;
    row.line = n + 1;
    row.file = cells[column[0]];
    row.read = cells[column[3]];
    row.written = cells[column[4]];
    const std::string_view decision = cells[column[5]];
    if (decision.empty()) continue;
    if (!parseNumber(cells[column[1]], row.pageLine) || !parseNumber(cells[column[2]], row.word)) {
      problems.push_back(where + "the line \"" + std::string(cells[column[1]]) + "\" and word \"" +
                         std::string(cells[column[2]]) + "\" are not numbers from 1");
      continue;
    }
    if (row.file.empty() || row.read.empty()) {
      problems.push_back(where + "names no file or no word as read");
      continue;
    }
    if (decision == "accept") {
      row.kind = DecisionRow::Kind::Accept;
    } else if (decision == "reject") {
      row.kind = DecisionRow::Kind::Reject;
    } else {
      row.kind = DecisionRow::Kind::Typed;
      row.typed = decision;
    }
    rows.push_back(std::move(row));
  }
  return problems.empty();
}

}  // namespace scanmend::pages
