#include "correction/line_joining.h"

namespace scanmend {
namespace {

// The first `wanted` byte at or after `from`, remembering the answer so
// that a page with many markers is not scanned again and again. `known`
// is a position at or after every earlier `from` with no `wanted` byte
// between it and them.
class ForwardSearch {
 public:
  ForwardSearch(const std::string& text, char wanted) : text_(text), wanted_(wanted) {}

  std::size_t firstAtOrAfter(std::size_t from) {
    if (!valid_ || known_ < from || (known_ != std::string::npos && text_[known_] != wanted_)) {
      known_ = text_.find(wanted_, known_ != std::string::npos && known_ >= from ? known_ : from);
      valid_ = true;
    }
    return known_;
  }
  // A `wanted` byte was written at `at`, after the last `from` asked.
  void appeared(std::size_t at) {
    if (valid_ && (known_ == std::string::npos || at < known_)) known_ = at;
  }

 private:
  const std::string& text_;
  char wanted_;
  std::size_t known_ = std::string::npos;
  bool valid_ = false;
};

}  // namespace

// One forward pass. A join deletes the two marker bytes and may turn one
// later space into a line feed; both only ever touch the text at or after
// the current marker. So the joined text is `out` (everything before the
// marker, final) followed by `text` from the marker's end on, where the
// space-to-line-feed changes are made in place. Positions below are
// positions in `text`.
std::string joinHyphenatedLines(std::string text) {
  std::string out;
  std::size_t copied = 0;  // text[copied, marker) still has to go to `out`
  ForwardSearch spaces(text, ' ');
  ForwardSearch lineFeeds(text, '\n');

  std::size_t marker = text.find("=\n");
  while (marker != std::string::npos) {
    const std::size_t space = spaces.firstAtOrAfter(marker);
    if (space == std::string::npos) break;  // this and all later markers stay
    const std::size_t rest = marker + 2;
    if (text[rest] == '\n') {  // an empty line follows: no join
      marker = text.find("=\n", marker + 1);
      continue;
    }
    const std::size_t lineFeed = lineFeeds.firstAtOrAfter(rest);
    if (lineFeed != std::string::npos && space < lineFeed) {
      text[space] = '\n';
      lineFeeds.appeared(space);
    }
    if (out.empty()) out.reserve(text.size());
    out.append(text, copied, marker - copied);
    copied = rest;
    // The next search starts one byte after the marker's position in the
    // joined text, which is one byte after `rest` here.
    marker = text.find("=\n", rest + 1);
  }
  if (copied == 0) return text;
  out.append(text, copied, std::string::npos);
  return out;
}

}  // namespace scanmend
