#include "pages/review_page.h"

#include <cstdio>

#include "pages/manifest.h"
#include "pages/review_page_template.h"

namespace scanmend::pages {
namespace {

constexpr std::string_view kDataMark = "<!--REVIEW-DATA-->";

std::string percent(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

}  // namespace

void appendJsonString(std::string& out, std::string_view utf8) {
  out += '"';
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || c == '<' || c == '>' || c == '&' || c == '\'') {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  out += '"';
}

std::string reviewPageHtml(const ReviewPage& page) {
  std::string json = "{\"title\":";
  appendJsonString(json, page.title);
  std::string all;
  for (const ReviewRow& row : page.rows) appendReviewRow(all, row);
  json += ",\"key\":\"";
  // The browser keeps the decisions of this review under a key of its own.
  const std::uint64_t key = checksumOf(all);
  for (int shift = 60; shift >= 0; shift -= 4) json += "0123456789abcdef"[(key >> shift) & 15];
  json += "\",\"columns\":[";
  const std::string_view header = reviewTableHeader();
  for (std::size_t at = 0, k = 0; at < header.size() - 1; ++k) {
    const std::size_t end = std::min(header.find('\t', at), header.size() - 1);
    if (k > 0) json += ',';
    appendJsonString(json, header.substr(at, end - at));
    at = end + 1;
  }
  json += "],\"rows\":[";
  for (std::size_t r = 0; r < page.rows.size(); ++r) {
    json += r == 0 ? "[" : ",\n[";
    bool first = true;
    for (const std::string& cell : reviewCells(page.rows[r])) {
      if (!first) json += ',';
      appendJsonString(json, cell);
      first = false;
    }
    json += ']';
  }
  json += "],\"lines\":[";
  for (std::size_t k = 0; k < page.lines.size(); ++k) {
    if (k > 0) json += ",\n";
    appendJsonString(json, page.lines[k]);
  }
  json += "],\"near\":[";
  for (std::size_t r = 0; r < page.near.size(); ++r) {
    if (r > 0) json += ',';
    json +=
        '[' + std::to_string(page.near[r].first) + ',' + std::to_string(page.near[r].second) + ']';
  }
  json += "],\"shots\":[";
  for (std::size_t r = 0; r < page.shots.size(); ++r) {
    if (r > 0) json += ',';
    const std::optional<LineShot>& shot = page.shots[r];
    if (!shot) {
      json += '0';
      continue;
    }
    json += '[';
    appendJsonString(json, shot->url);
    json += ',' + std::to_string(shot->region.x) + ',' + std::to_string(shot->region.y) + ',' +
            std::to_string(shot->region.width) + ',' + std::to_string(shot->region.height);
    json += ',' + percent(shot->left) + ',' + percent(shot->top) + ',' + percent(shot->width) +
            ',' + percent(shot->height) + ']';
  }
  json += "],\"initial\":{";
  bool first = true;
  for (const auto& [row, decision] : page.decided) {
    if (!first) json += ',';
    first = false;
    appendJsonString(json, std::to_string(row));
    json += ':';
    appendJsonString(json, decision);
  }
  json += "}}";

  const std::string_view page_template = kReviewPageTemplate;
  const std::size_t mark = page_template.find(kDataMark);
  std::string html(page_template.substr(0, mark));
  html += "<script type=\"application/json\" id=\"review-data\">";
  html += json;
  html += "</script>";
  html += page_template.substr(mark + kDataMark.size());
  return html;
}

}  // namespace scanmend::pages
