#include "learn/ocr_weighing.h"

#include <algorithm>

#include "correction/word_splitting.h"

namespace scanmend::learn {
namespace {

// The bins of confidence, by their lower bounds: tesseract's confidences
// crowd near the top, where most words are right.
constexpr std::array<float, 6> kBinFloors{0.0F, 0.5F, 0.8F, 0.9F, 0.93F, 0.96F};

// An alternative is taken only where the OCR gave it this much.
constexpr float kLeastAlternative = 0.1F;

std::vector<std::string_view> wordsOf(std::string_view page) {
  std::vector<std::string_view> words;
  forEachWord(page, [&words](std::string_view word) { words.push_back(word); });
  return words;
}

}  // namespace

OcrWeighing::OcrWeighing(std::vector<OcrWord> rows, const std::vector<std::string>& pages)
    : rows_(std::move(rows)), byWord_(pages.size()), sizes_(pages.size()) {
  // The rows of each page by line and place.
  std::vector<std::vector<std::vector<const OcrWord*>>> placed(pages.size());
  for (const OcrWord& row : rows_) {
    if (row.page < 1 || static_cast<std::size_t>(row.page) > pages.size() || row.line == 0 ||
        row.word == 0)
      continue;
    auto& lines = placed[static_cast<std::size_t>(row.page - 1)];
    if (lines.size() < row.line) lines.resize(row.line);
    auto& places = lines[row.line - 1];
    if (places.size() < row.word) places.resize(row.word, nullptr);
    places[row.word - 1] = &row;
  }
  // Each word of a page, in order, gets the row of the piece between
  // spaces that holds it, where the row names that piece as the page
  // shows it.
  for (std::size_t n = 0; n < pages.size(); ++n) {
    const std::string_view page = pages[n];
    const auto& lines = placed[n];
    std::size_t line = 0;
    for (std::size_t at = 0; at < page.size(); ++line) {
      const std::size_t end = std::min(page.find('\n', at), page.size());
      std::string_view text = page.substr(at, end - at);
      at = end + 1;
      if (text.ends_with('\r')) text.remove_suffix(1);
      std::size_t place = 0;
      for (std::size_t from = 0; from <= text.size(); ++place) {
        const std::size_t space = std::min(text.find(' ', from), text.size());
        const std::string_view piece = text.substr(from, space - from);
        from = space + 1;
        const OcrWord* row =
            line < lines.size() && place < lines[line].size() ? lines[line][place] : nullptr;
        if (row != nullptr && row->text != piece) row = nullptr;
        forEachWord(piece, [&](std::string_view word) {
          byWord_[n].push_back(row);
          sizes_[n].push_back(word.size());
        });
      }
    }
  }
}

void OcrWeighing::followJoining(const std::vector<std::string>& pages) {
  // Only the words of the lines joined differ: a joined word is its two
  // halves one after the other, as long as both. Where the words no
  // longer line up, the rest of the page has no evidence.
  for (std::size_t n = 0; n < pages.size() && n < byWord_.size(); ++n) {
    std::vector<const OcrWord*> joined;
    const std::vector<const OcrWord*>& halves = byWord_[n];
    const std::vector<std::size_t>& sizes = sizes_[n];
    std::size_t k = 0;
    for (const std::string_view word : wordsOf(pages[n])) {
      if (k < sizes.size() && word.size() == sizes[k]) {
        joined.push_back(halves[k++]);
      } else if (k + 1 < sizes.size() && word.size() == sizes[k] + sizes[k + 1]) {
        // The half the OCR was less sure of speaks for the word.
        const OcrWord* first = halves[k];
        const OcrWord* second = halves[k + 1];
        joined.push_back(first == nullptr || second == nullptr     ? nullptr
                         : first->confidence <= second->confidence ? first
                                                                   : second);
        k += 2;
      } else {
        joined.push_back(nullptr);
        k = sizes.size();
      }
    }
    byWord_[n] = std::move(joined);
  }
  sizes_.clear();
}

const OcrWord* OcrWeighing::evidence(std::size_t n, std::size_t k) const {
  return n < byWord_.size() && k < byWord_[n].size() ? byWord_[n][k] : nullptr;
}

std::size_t OcrWeighing::binOf(float confidence) {
  std::size_t bin = 0;
  while (bin + 1 < kBinFloors.size() && confidence >= kBinFloors[bin + 1]) ++bin;
  return bin;
}

void OcrWeighing::count(float confidence, bool right) {
  (right ? right_ : wrong_)[binOf(confidence)] += 1;
}

double OcrWeighing::ratio(float confidence) const {
  double right = 0;
  double wrong = 0;
  for (std::size_t bin = 0; bin < kBinFloors.size(); ++bin) {
    right += right_[bin];
    wrong += wrong_[bin];
  }
  // A book that shows too few of either tells nothing.
  if (right < 20 || wrong < 20) return 1;
  const std::size_t bin = binOf(confidence);
  const auto bins = static_cast<double>(kBinFloors.size());
  return ((right_[bin] + 1) / (right + bins)) / ((wrong_[bin] + 1) / (wrong + bins));
}

bool OcrWeighing::hasConfidences() const {
  return std::any_of(rows_.begin(), rows_.end(),
                     [](const OcrWord& row) { return row.hasConfidence(); });
}

std::string OcrWeighing::reconsider(std::string_view word, std::string_view shown,
                                    const FormVerdict& verdict, const OcrWord& evidence,
                                    const SortedWords& lexicon, WordOutcome::Kind& kind) {
  kind = verdict.kind;
  const double ratio = evidence.hasConfidence() ? this->ratio(evidence.confidence) : 1;
  // Only towards the word as read: a word the decision keeps stays, the
  // confidence of misreadings or not. Turning such words to their
  // runner-up broke more right words than it mended.
  const bool changed = !shown.empty();
  if (changed && verdict.asRead > 0 && ratio > 1 &&
      verdict.probability <= verdict.asReadOutweighedBy * verdict.asRead * ratio) {
    ++turned_;
    kind =
        lexicon.contains(word) ? WordOutcome::Kind::CorrectUnchanged : WordOutcome::Kind::Unknown;
    return "";
  }
  if (verdict.kind == WordOutcome::Kind::Unknown && !changed &&
      wordsOf(evidence.text).size() == 1) {
    const OcrAlternative* best = nullptr;
    for (const OcrAlternative& alternative : evidence.alternatives) {
      if (alternative.confidence < kLeastAlternative) continue;
      // The alternative is of the piece between spaces; its word is the
      // same piece's word with the letter read otherwise.
      std::size_t at = 0;
      const std::string_view inside = nextWord(alternative.text, at);
      if (inside.size() != word.size() || !lexicon.contains(inside)) continue;
      if (best == nullptr || alternative.confidence > best->confidence) best = &alternative;
    }
    if (best != nullptr) {
      ++turned_;
      kind = WordOutcome::Kind::ChangedIncorrect;
      std::size_t at = 0;
      return std::string(nextWord(best->text, at));
    }
  }
  return std::string(shown);
}

}  // namespace scanmend::learn
