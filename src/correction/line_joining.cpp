#include "correction/line_joining.h"

#include <cstring>

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
// the current marker. So the joined text is built in place: text[0, kept)
// is final, and text from `copied` on is still as read, apart from the
// space-to-line-feed changes made ahead. Each join removes two bytes, so
// `kept` never overtakes `copied`, and moving the bytes between markers
// down never overwrites a byte not yet read. Positions below are
// positions in the text as read.
std::string joinHyphenatedLines(std::string text) {
  std::size_t kept = 0;
  std::size_t copied = 0;  // text[copied, marker) still has to move down to `kept`
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
    std::memmove(text.data() + kept, text.data() + copied, marker - copied);
    kept += marker - copied;
    copied = rest;
    // The next search starts one byte after the marker's position in the
    // joined text, which is one byte after `rest` here.
    marker = text.find("=\n", rest + 1);
  }
  if (copied == 0) return text;
  const std::size_t tail = text.size() - copied;
  std::memmove(text.data() + kept, text.data() + copied, tail);
  text.resize(kept + tail);
  return text;
}

}  // namespace scanmend
