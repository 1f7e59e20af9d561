// The one place where the bytes of a dictionary file become words. Every
// view of the dictionary (the hashed lookup of a run, the sorted word list
// of the learner) reads its words here, so that all tools agree on what a
// dic.txt lists:
//  - a Ctrl-Z byte ends the list: it and everything after it are ignored;
//  - each line ended by LF is one word, a CR before the LF dropped, every
//    other byte (blanks included) part of the word, exactly and
//    case-sensitively; an empty line is the empty word;
//  - a word keeps at most its first 255 bytes; the rest of the line is
//    skipped;
//  - a last line without a line end is not a word.
// Words come in file order, a word listed twice twice: the views keep one.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace scanmend {

class ListedWords {
 public:
  // Longest word a line can contribute.
  static constexpr std::size_t kMaxWordLength = 255;

  // `fileBytes` must outlive the reader, and stay unchanged from the
  // reader's position on: a view may rewrite the bytes it has been given.
  explicit ListedWords(std::string_view fileBytes)
      : bytes_(fileBytes.substr(0, std::min(fileBytes.size(), fileBytes.find('\x1A')))) {}

  // The next word, a view into the file's bytes; false after the last.
  bool next(std::string_view& word) {
    const void* lf = std::memchr(bytes_.data() + at_, '\n', bytes_.size() - at_);
    if (lf == nullptr) return false;
    const auto lineEnd = static_cast<std::size_t>(static_cast<const char*>(lf) - bytes_.data());
    std::size_t length = lineEnd - at_;
    if (length > 0 && bytes_[lineEnd - 1] == '\r') --length;
    word = bytes_.substr(at_, std::min(length, kMaxWordLength));
    at_ = lineEnd + 1;
    return true;
  }

  // How many words a reader of these bytes gives, at most: their line ends.
  std::size_t lineEnds() const {
    return static_cast<std::size_t>(std::count(bytes_.begin(), bytes_.end(), '\n'));
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

}  // namespace scanmend
