// review.html: the rows of review.tsv as a page that works from the file
// system alone (no server, no network, no script from elsewhere), grouped
// by the word as read and as written, each with the image of its line
// where there is one, to be decided by keyboard and saved as
// decisions.tsv. The page's script is src/pages/review_page.html, built
// into the program; the rows go into it as JSON, in which every text is
// escaped, and the page escapes each again as it shows it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "pages/review_table.h"

namespace scanmend::pages {

// The image of a row's line: the part `region` (in its pixels) of the
// image at `url` (relative to the page: the page image itself, a smaller
// copy of it, or a line's own image), and where the word stands in that
// part, in percent of its width and height.
struct LineShot {
  std::string url;
  Box region;
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

struct ReviewPage {
  std::string title;
  std::vector<ReviewRow> rows;
  // The texts of the lines before and after each row's line (indexes into
  // `lines`, -1 for none), so that a line is held once however many rows
  // it is next to.
  std::vector<std::string> lines;
  std::vector<std::pair<int, int>> near;
  std::vector<std::optional<LineShot>> shots;  // by row
  std::map<std::size_t, std::string> decided;  // by row number: decided before
};

std::string reviewPageHtml(const ReviewPage& page);

// Text as a JSON string, quoted, with every character that could end a
// script element or a JSON string written as an escape.
void appendJsonString(std::string& out, std::string_view utf8);

}  // namespace scanmend::pages
