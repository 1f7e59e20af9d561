#include "correction/page_correction.h"

#include <array>
#include <string_view>

#include "correction/line_joining.h"
#include "correction/phrase_repairs.h"
#include "correction/replace_all.h"
#include "correction/word_splitting.h"

namespace scanmend {
namespace {

// Hands out the words of a text in order, each with its hash, while
// keeping the next few words' memory on its way: their dictionary slots
// and outcome cache sets are fetched while earlier words are decided, so
// that the waits for memory overlap instead of coming one after another.
class WordsAhead {
 public:
  WordsAhead(std::string_view text, const CorrectionContext& context)
      : text_(text), context_(context) {
    while (queued_ < kAhead && scan()) {
    }
  }

  // The next word, or false after the last.
  bool next(std::size_t& start, PageWord& word) {
    if (queued_ == 0) return false;
    start = static_cast<std::size_t>(ring_[first_].text.data() - text_.data());
    word = ring_[first_];
    first_ = (first_ + 1) % kAhead;
    --queued_;
    scan();
    return true;
  }

 private:
  static constexpr std::size_t kAhead = 16;

  bool scan() {
    const std::string_view text = nextWord(text_, at_);
    if (text.empty()) return false;
    const PageWord word(text, context_.dictionary);
    prefetchDecision(word, context_);
    ring_[(first_ + queued_) % kAhead] = word;
    ++queued_;
    return true;
  }

  std::string_view text_;
  const CorrectionContext& context_;
  std::size_t at_ = 0;
  std::array<PageWord, kAhead> ring_{};
  std::size_t first_ = 0;
  std::size_t queued_ = 0;
};

}  // namespace

std::string correctPage(std::string page, CorrectionContext& context) {
  if (context.optionSet.contains(OptionWord::Join)) page = joinHyphenatedLines(std::move(page));

  // With "german" the output is built with the padding spaces that the
  // phrase repairs search with, so they work on it in place.
  const bool german = context.optionSet.contains(OptionWord::German);
  std::string output;
  output.reserve(page.size() + 2);
  if (german) output += ' ';
  const std::string_view text(page);
  WordsAhead words(text, context);
  std::size_t copied = 0;  // text before this is in the output
  std::size_t start;
  PageWord word{};
  while (words.next(start, word)) {
    if (start - copied == 1) {  // mostly one separator before the word
      output += text[copied];
    } else {
      output.append(text, copied, start - copied);
    }
    appendCorrectedWord(output, word, context);
    copied = start + word.text.size();
  }
  output.append(text, copied);
  page = std::string();

  if (german) {
    output += ' ';
    repairPaddedPhrases(output);
    output = stripPadding(std::move(output));
  }
  return output;
}

}  // namespace scanmend
