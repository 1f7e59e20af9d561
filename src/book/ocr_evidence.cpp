#include "book/ocr_evidence.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>

#include "base/tab_separated.h"
#include "base/windows1252.h"

namespace scanmend {
namespace {

constexpr std::string_view kHeader = "page\tline\tword\ttext\tconfidence\talternatives\n";

bool appendUtf8Of(std::string& out, std::string_view windows1252) {
  for (const char c : windows1252) {
    const auto byte = static_cast<unsigned char>(c);
    if (!isDefinedInWindows1252(byte)) return false;
    appendUtf8(out, codePointOf(byte));
  }
  return true;
}

bool carriesAsCell(std::string_view word) {
  for (const char c : word) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || !isDefinedInWindows1252(byte)) return false;
  }
  return !word.empty();
}

void appendConfidence(std::string& out, float confidence) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(confidence));
  out += text;
}

template <typename Number>
bool parseNumber(std::string_view text, Number& number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool parseConfidence(std::string_view text, float& confidence) {
  return parseNumber(text, confidence) && confidence >= 0 && confidence <= 1;
}

}  // namespace

std::string_view ocrEvidenceHeader() { return kHeader; }

void appendOcrWordRow(std::string& out, const OcrWord& word) {
  std::string row = std::to_string(word.page) + "\t" + std::to_string(word.line) + "\t" +
                    std::to_string(word.word) + "\t";
  if (!carriesAsCell(word.text) || !appendUtf8Of(row, word.text)) return;
  row += "\t";
  if (word.hasConfidence()) appendConfidence(row, word.confidence);
  row += "\t";
  bool first = true;
  for (const OcrAlternative& alternative : word.alternatives) {
    if (!carriesAsCell(alternative.text)) continue;
    if (!first) row += " ";
    first = false;
    appendUtf8Of(row, alternative.text);
    row += ":";
    appendConfidence(row, alternative.confidence);
  }
  out.append(row).append("\n");
}

bool parseOcrEvidence(std::string_view table, std::vector<OcrWord>& words, std::string& error) {
  words.clear();
  if (!table.starts_with(kHeader)) {
    error = "line 1: not the header of " + std::string(kOcrEvidenceFile);
    return false;
  }
  std::size_t number = 1;
  for (std::size_t at = kHeader.size(); at < table.size();) {
    ++number;
    const std::size_t end = std::min(table.find('\n', at), table.size());
    const std::string_view line = table.substr(at, end - at);
    at = end + 1;
    const std::vector<std::string_view> cells = tabSeparatedCells(line);
    OcrWord word;
    bool read = cells.size() == 6 && parseNumber(cells[0], word.page) &&
                parseNumber(cells[1], word.line) && parseNumber(cells[2], word.word) &&
                utf8ToWindows1252(cells[3], word.text) && !word.text.empty() &&
                (cells[4].empty() || parseConfidence(cells[4], word.confidence));
    for (std::size_t from = 0; read && from < cells[5].size();) {
      const std::size_t space = std::min(cells[5].find(' ', from), cells[5].size());
      const std::string_view entry = cells[5].substr(from, space - from);
      from = space + 1;
      const std::size_t colon = entry.rfind(':');
      OcrAlternative alternative;
      read = colon != std::string_view::npos &&
             utf8ToWindows1252(entry.substr(0, colon), alternative.text) &&
             !alternative.text.empty() &&
             parseConfidence(entry.substr(colon + 1), alternative.confidence);
      word.alternatives.push_back(std::move(alternative));
    }
    if (!read) {
      error = "line " + std::to_string(number) + ": not a row of " + std::string(kOcrEvidenceFile);
      return false;
    }
    words.push_back(std::move(word));
  }
  return true;
}

bool ocrRowsFitPages(const std::vector<OcrWord>& words, const std::vector<std::string>& pages,
                     std::string& error) {
  // The most words that each line of each page can hold, counted only for
  // the pages that rows name: every word takes a byte of the line at least
  // (import numbers a hyphen that stands as a word of its own, which the
  // page joins to the word before).
  std::vector<std::vector<std::uint32_t>> piecesOfLines(pages.size());
  for (std::size_t row = 0; row < words.size(); ++row) {
    const OcrWord& word = words[row];
    const std::string where = "line " + std::to_string(row + 2) + ": ";
    if (word.page < 1 || static_cast<std::size_t>(word.page) > pages.size()) {
      error = where + "page " + std::to_string(word.page) + " is none of the " +
              std::to_string(pages.size()) + " pages";
      return false;
    }
    std::vector<std::uint32_t>& lines = piecesOfLines[static_cast<std::size_t>(word.page - 1)];
    if (lines.empty()) {
      const std::string_view page = pages[static_cast<std::size_t>(word.page - 1)];
      for (std::size_t at = 0; at < page.size();) {
        const std::size_t end = std::min(page.find('\n', at), page.size());
        const std::string_view line = page.substr(at, end - at);
        lines.push_back(
            static_cast<std::uint32_t>(std::min<std::size_t>(line.size() + 1, UINT32_MAX)));
        at = end + 1;
      }
    }
    if (word.line < 1 || word.line > lines.size()) {
      error = where + "page " + std::to_string(word.page) + " has " + std::to_string(lines.size()) +
              " lines, not " + std::to_string(word.line);
      return false;
    }
    if (word.word < 1 || word.word > lines[word.line - 1]) {
      error = where + "line " + std::to_string(word.line) + " of page " +
              std::to_string(word.page) + " has no word " + std::to_string(word.word);
      return false;
    }
  }
  return true;
}

}  // namespace scanmend
