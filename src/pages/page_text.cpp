#include "pages/page_text.h"

#include <algorithm>

#include "correction/line_joining.h"
#include "correction/word_splitting.h"

namespace scanmend::pages {
namespace {

bool isHyphen(char byte) { return byte == '-' || byte == '\xAD' || byte == '\xAC' || byte == '='; }

bool isSeparator(char byte) { return isWordSeparator(static_cast<unsigned char>(byte)); }

bool endsInWordByte(std::string_view bytes) { return !bytes.empty() && !isSeparator(bytes.back()); }

// How many words of the page each word of the joined page is made of: the
// joining is run on the page with every word replaced by a code of fixed
// width, so a joined word's width tells how many words it took, and the
// bytes between the joined words are those of the joined page. One letter
// will do, and keeps the coded page of a large file small.
constexpr std::size_t kCodeWidth = 1;

std::string joinedCodes(const SourcePage& source) {
  // A code and a separator a word at most, and a line feed a line.
  std::string coded;
  coded.reserve(2 * kCodeWidth * source.tokens.size() + 2 * source.lineCount());
  PageLines lines(source);
  while (lines.next()) {
    const std::string_view text = lines.text();
    for (std::size_t at = 0; at < text.size();) {
      if (isSeparator(text[at])) {
        coded += text[at++];
        continue;
      }
      while (at < text.size() && !isSeparator(text[at])) ++at;
      coded.append(kCodeWidth, 'a');
    }
    coded += '\n';
  }
  return joinHyphenatedLines(std::move(coded));
}

std::size_t wordCount(std::string_view text) {
  std::size_t count = 0;
  forEachWord(text, [&count](std::string_view) { ++count; });
  return count;
}

// The bytes between two words, as written to a page: a "=" that the
// correction turned into "-" is still the same.
bool sameBetween(std::string_view imported, std::string_view corrected) {
  if (imported.size() != corrected.size()) return false;
  for (std::size_t i = 0; i < imported.size(); ++i)
    if (imported[i] != corrected[i] && !(imported[i] == '=' && corrected[i] == '-')) return false;
  return true;
}

// Whether `corrected` has as many words as `reference` and between them
// the same bytes; else the first line where it has not, in `reason`.
bool sameOutsideWords(std::string_view reference, std::string_view corrected, std::string& reason) {
  std::size_t r = 0;
  std::size_t c = 0;
  std::size_t line = 1;
  for (;;) {
    const std::size_t referenceFrom = r;
    const std::size_t correctedFrom = c;
    while (r < reference.size() && isSeparator(reference[r])) ++r;
    while (c < corrected.size() && isSeparator(corrected[c])) ++c;
    const std::string_view between = reference.substr(referenceFrom, r - referenceFrom);
    if (!sameBetween(between, corrected.substr(correctedFrom, c - correctedFrom))) {
      reason = "differs from the import in line " + std::to_string(line) +
               " outside its words, which a correction never does";
      return false;
    }
    line += static_cast<std::size_t>(std::count(between.begin(), between.end(), '\n'));
    // Both end here, or a word is left on one side only.
    if (r == reference.size() || c == corrected.size()) {
      if (r == reference.size() && c == corrected.size()) return true;
      reason = "differs from the import in line " + std::to_string(line) +
               " outside its words, which a correction never does";
      return false;
    }
    while (r < reference.size() && !isSeparator(reference[r])) ++r;
    while (c < corrected.size() && !isSeparator(corrected[c])) ++c;
  }
}

// Cuts a corrected joined word into as many pieces as it was joined from:
// where the corrected word begins or ends as the pieces did, at the same
// places; elsewhere in proportion.
std::vector<std::string> cutJoined(std::string_view corrected,
                                   const std::vector<std::string_view>& pieces) {
  std::string whole;
  for (const std::string_view piece : pieces) whole += piece;
  std::size_t prefix = 0;
  while (prefix < whole.size() && prefix < corrected.size() && whole[prefix] == corrected[prefix])
    ++prefix;
  std::size_t suffix = 0;
  while (suffix < whole.size() - prefix && suffix < corrected.size() - prefix &&
         whole[whole.size() - 1 - suffix] == corrected[corrected.size() - 1 - suffix])
    ++suffix;
  std::vector<std::string> cut;
  std::size_t boundary = 0;  // in `whole`
  std::size_t previous = 0;  // in `corrected`
  for (std::size_t k = 0; k + 1 < pieces.size(); ++k) {
    boundary += pieces[k].size();
    std::size_t at;
    if (boundary <= prefix) {
      at = boundary;
    } else if (whole.size() - boundary <= suffix) {
      at = corrected.size() - (whole.size() - boundary);
    } else {
      at = whole.empty() ? 0 : boundary * corrected.size() / whole.size();
    }
    at = std::clamp(at, previous, corrected.size());
    cut.emplace_back(corrected.substr(previous, at - previous));
    previous = at;
  }
  cut.emplace_back(corrected.substr(previous));
  return cut;
}

// Writes the corrected words back into the fields, word by word in the
// page's order, which is the fields' order: each changed token's source
// text is made anew from its imported characters, and each changed field
// from its unchanged text and its changed tokens.
//
// With `edits`, each changed token of a text file is an edit of its own
// bytes instead: a text file is one field, whose new text would be held
// whole beside the file.
class FieldWriter {
 public:
  FieldWriter(const SourcePage& source, FieldTexts& fieldTexts, WordEdits* edits = nullptr)
      : source_(source), fieldTexts_(fieldTexts), edits_(edits) {
    fieldTexts_.assign(edits == nullptr ? source.fields.size() : 0, std::nullopt);
    if (edits_ != nullptr) edits_->clear();
  }

  // The bytes [from, to) of token `token`, whose bytes on the page (the
  // line-end "=" among them) are `placed`, become `corrected`.
  void change(std::size_t token, std::string_view placed, std::size_t from, std::size_t to,
              std::string_view corrected) {
    if (token != token_) {
      finishToken();
      token_ = token;
      imported_ = importCharacters(source_.tokenText(source_.tokens[token]));
      imported_.bytes = placed;
      tokenText_.clear();
      tokenDone_ = 0;
    }
    tokenText_ += imported_.sourceOf(tokenDone_, from);
    tokenText_ += exportCharacters(imported_.part(from, to), corrected);
    tokenDone_ = to;
  }

  void finish() {
    finishToken();
    finishField();
  }

 private:
  void finishToken() {
    if (token_ == kNone) return;
    tokenText_ += imported_.sourceOf(tokenDone_, imported_.bytes.size());
    const Token& token = source_.tokens[token_];
    const auto field = static_cast<std::size_t>(token.field);
    if (edits_ != nullptr) {
      const Offset begin = source_.fields[field].begin;
      edits_->add(begin + token.from, begin + token.to, tokenText_);
      token_ = kNone;
      return;
    }
    const std::string_view text = source_.textOf(source_.fields[field]);
    if (field != field_) {
      finishField();
      field_ = field;
      fieldText_.clear();
      // About as long as before: a large field grown by doubling would
      // take twice its room.
      fieldText_.reserve(text.size() + text.size() / 16);
      fieldDone_ = 0;
    }
    fieldText_.append(text.substr(fieldDone_, token.from - fieldDone_)).append(tokenText_);
    fieldDone_ = token.to;
    token_ = kNone;
  }

  void finishField() {
    if (field_ == kNone) return;
    const std::string_view text = source_.textOf(source_.fields[field_]);
    fieldText_.append(text.substr(fieldDone_));
    if (fieldText_ != text) fieldTexts_[field_] = std::move(fieldText_);
    fieldText_ = std::string();
    field_ = kNone;
  }

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  const SourcePage& source_;
  FieldTexts& fieldTexts_;
  WordEdits* edits_;
  std::size_t token_ = kNone;
  ImportedText imported_;
  std::string tokenText_;
  std::size_t tokenDone_ = 0;  // of the token's imported bytes
  std::size_t field_ = kNone;
  std::string fieldText_;
  std::size_t fieldDone_ = 0;  // of the field's text
};

// A word of the page text with the token it lies in.
struct PageWord {
  std::string text;
  std::size_t token = 0;
  std::string placed;    // the token's bytes on the page
  std::size_t from = 0;  // of the word in `placed`
};

// The words of the page text in order, across its lines.
class PageWords {
 public:
  explicit PageWords(const SourcePage& source) : lines_(source) {}

  bool next(PageWord& word) {
    for (;;) {
      const std::string_view view = nextWord(lines_.text(), at_);
      if (!view.empty()) {
        const std::size_t start = static_cast<std::size_t>(view.data() - lines_.text().data());
        while (lines_.pieces()[piece_].start + lines_.pieces()[piece_].length <= start) ++piece_;
        const PageLines::Piece& piece = lines_.pieces()[piece_];
        word.text = view;
        word.token = piece.token;
        word.placed = lines_.text().substr(piece.start, piece.length);
        word.from = start - piece.start;
        return true;
      }
      if (!lines_.next()) return false;
      at_ = 0;
      piece_ = 0;
    }
  }

 private:
  PageLines lines_;
  std::size_t at_ = 0;
  std::size_t piece_ = 0;
};

// Gives each word its corrected text, through `writer`.
void change(FieldWriter& writer, const PageWord& word, std::string_view corrected) {
  if (corrected != word.text)
    writer.change(word.token, word.placed, word.from, word.from + word.text.size(), corrected);
}

// Writes the corrected words through `writer` where `corrected` has the
// lines of the page as imported and, line by line, its words and between
// them the same bytes; else says why not. One pass over the page's lines,
// which also counts the page's words.
bool writeAsImported(const SourcePage& source, std::string_view corrected, FieldWriter& writer,
                     std::size_t& words, std::string& reason) {
  std::size_t line = 0;
  std::size_t at = 0;
  bool linedUp = true;
  PageLines imported(source);
  while (imported.next()) {
    ++line;
    const std::string_view text = imported.text();
    words += wordCount(text);
    if (!linedUp) continue;
    const std::size_t end = std::min(corrected.find('\n', at), corrected.size());
    const std::string_view correctedLine = corrected.substr(at, end - at);
    at = end + 1;
    if (end == corrected.size() || !sameOutsideWords(text, correctedLine, reason)) {
      reason = "differs from the import in line " + std::to_string(line) +
               " outside its words, which a correction never does";
      linedUp = false;
      continue;
    }
    std::size_t textAt = 0;
    std::size_t correctedWordAt = 0;
    std::size_t piece = 0;
    for (std::string_view word = nextWord(text, textAt); !word.empty();
         word = nextWord(text, textAt)) {
      const std::string_view now = nextWord(correctedLine, correctedWordAt);
      if (now == word) continue;
      const auto start = static_cast<std::size_t>(word.data() - text.data());
      while (imported.pieces()[piece].start + imported.pieces()[piece].length <= start) ++piece;
      const PageLines::Piece& placed = imported.pieces()[piece];
      writer.change(placed.token, text.substr(placed.start, placed.length), start - placed.start,
                    start - placed.start + word.size(), now);
    }
  }
  if (linedUp && at < corrected.size()) {
    reason = "has more lines than the import";
    linedUp = false;
  }
  return linedUp;
}

}  // namespace

bool PageLines::next() {
  if (line_ == page_.lineCount()) return false;
  const std::span<const Token> tokens = page_.line(line_);
  const std::size_t first = static_cast<std::size_t>(tokens.data() - page_.tokens.data());
  ++line_;
  std::vector<std::string> bytes;
  bytes.reserve(tokens.size());
  for (const Token& token : tokens) bytes.push_back(importCharacters(page_.tokenText(token)).bytes);
  std::string& last = bytes.back();
  const bool hyphenAlone = last.size() == 1 && isHyphen(last[0]) && bytes.size() >= 2 &&
                           endsInWordByte(bytes[bytes.size() - 2]);
  const bool ownHyphen =
      std::binary_search(page_.ownHyphens.begin(), page_.ownHyphens.end(), line_ - 1);
  if (hyphenAlone) {
    last[0] = '=';
  } else if (last.size() >= 2 && (isHyphen(last.back()) || ownHyphen) &&
             !isSeparator(last[last.size() - 2])) {
    last.back() = '=';
  }
  text_.clear();
  pieces_.clear();
  for (std::size_t p = 0; p < bytes.size(); ++p) {
    if (p > 0 && !(hyphenAlone && p + 1 == bytes.size())) text_ += ' ';
    pieces_.push_back({first + p, text_.size(), bytes[p].size()});
    text_ += bytes[p];
  }
  return true;
}

std::string makePageText(const SourcePage& page) {
  std::string text;
  PageLines lines(page);
  while (lines.next()) text.append(lines.text()).append(1, '\n');
  return text;
}

namespace {

bool writeCorrected(const SourcePage& source, std::string_view corrected, FieldTexts& fieldTexts,
                    WordEdits* edits, std::string& reason) {
  // As imported, word for word; else joined at "=", which need not change
  // the number of words or of lines ("ver=" and "&mehr" stay two words).
  std::size_t words = 0;
  std::string asImported;
  {
    FieldWriter writer(source, fieldTexts, edits);
    if (writeAsImported(source, corrected, writer, words, asImported)) {
      writer.finish();
      return true;
    }
  }
  const std::size_t correctedWords = wordCount(corrected);
  const auto lineFeeds =
      static_cast<std::size_t>(std::count(corrected.begin(), corrected.end(), '\n'));
  FieldWriter writer(source, fieldTexts, edits);
  PageWords page(source);
  PageWord word;
  std::size_t correctedAt = 0;
  // Each joined word is as many words of the page as its code's width tells.
  const std::string joined = joinedCodes(source);
  if (wordCount(joined) != correctedWords) {
    reason = correctedWords == words && lineFeeds == source.lineCount()
                 ? asImported
                 : "has " + std::to_string(correctedWords) + " words in " +
                       std::to_string(lineFeeds) + " lines where the import gave " +
                       std::to_string(words) + " words in " + std::to_string(source.lineCount()) +
                       " lines";
    return false;
  }
  if (!sameOutsideWords(joined, corrected, reason)) {
    if (correctedWords == words && lineFeeds == source.lineCount()) reason = asImported;
    return false;
  }
  std::size_t joinedAt = 0;
  std::vector<PageWord> parts;
  std::vector<std::string_view> texts;
  for (std::string_view code = nextWord(joined, joinedAt); !code.empty();
       code = nextWord(joined, joinedAt)) {
    const std::string_view correctedWord = nextWord(corrected, correctedAt);
    const std::size_t count = code.size() / kCodeWidth;
    if (count == 1) {
      page.next(word);
      change(writer, word, correctedWord);
      continue;
    }
    parts.resize(count);
    texts.clear();
    for (PageWord& part : parts) {
      page.next(part);
      texts.push_back(part.text);
    }
    const std::vector<std::string> cut = cutJoined(correctedWord, texts);
    for (std::size_t k = 0; k < count; ++k) change(writer, parts[k], cut[k]);
  }
  writer.finish();
  return true;
}

}  // namespace

bool correctedFieldTexts(const SourcePage& source, std::string_view corrected,
                         FieldTexts& fieldTexts, std::string& reason) {
  return writeCorrected(source, corrected, fieldTexts, nullptr, reason);
}

void WordEdits::clear() {
  places_ = std::vector<Place>();
  texts_ = std::string();
}

void WordEdits::add(Offset begin, Offset end, std::string_view text) {
  texts_.append(text);
  places_.push_back({begin, end, texts_.size()});
}

bool WordEdits::forEachPiece(std::string_view source,
                             const std::function<bool(std::string_view)>& write) const {
  std::size_t copied = 0;
  std::size_t textAt = 0;
  for (const Place& place : places_) {
    const std::string_view text = std::string_view(texts_).substr(textAt, place.textEnd - textAt);
    textAt = place.textEnd;
    if (!write(source.substr(copied, place.begin - copied)) || !write(text)) return false;
    copied = place.end;
  }
  return write(source.substr(copied));
}

bool correctedTextEdits(const SourcePage& source, std::string_view corrected, WordEdits& edits,
                        std::string& reason) {
  FieldTexts none;
  return writeCorrected(source, corrected, none, &edits, reason);
}

}  // namespace scanmend::pages

namespace scanmend::pages {

std::vector<std::size_t> joinedWordWidths(const SourcePage& page) {
  std::vector<std::size_t> widths;
  forEachWord(joinedCodes(page),
              [&widths](std::string_view code) { widths.push_back(code.size() / kCodeWidth); });
  return widths;
}

}  // namespace scanmend::pages
