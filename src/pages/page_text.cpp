#include "pages/page_text.h"

#include <algorithm>

#include "correction/line_joining.h"
#include "correction/word_splitting.h"

namespace scanmend::pages {
namespace {

bool isHyphen(char byte) { return byte == '-' || byte == '\xAD' || byte == '\xAC' || byte == '='; }

bool endsInWordByte(const std::string& bytes) {
  return !bytes.empty() && !isWordSeparator(static_cast<unsigned char>(bytes.back()));
}

struct Word {
  std::size_t piece;
  std::size_t from;  // within the piece's imported bytes
  std::size_t to;
};

std::vector<Word> wordsOf(const PageText& page) {
  std::vector<Word> words;
  std::size_t piece = 0;
  std::size_t at = 0;
  for (std::string_view word = nextWord(page.text, at); !word.empty(); word = nextWord(page.text, at)) {
    const std::size_t start = static_cast<std::size_t>(word.data() - page.text.data());
    while (page.pieces[piece].start + page.pieces[piece].imported.bytes.size() <= start) ++piece;
    const std::size_t from = start - page.pieces[piece].start;
    words.push_back({piece, from, from + word.size()});
  }
  return words;
}

// How many words of the page each word of the joined page is made of: the
// joining is run on the page with every word replaced by a code of fixed
// width, so a joined word's width tells how many words it took.
constexpr std::size_t kCodeWidth = 6;

std::vector<std::size_t> joinedGroups(const PageText& page, std::size_t& lineFeeds) {
  std::string coded;
  coded.reserve(page.text.size() * 2);
  std::size_t index = 0;
  for (std::size_t at = 0; at < page.text.size();) {
    if (isWordSeparator(static_cast<unsigned char>(page.text[at]))) {
      coded += page.text[at++];
      continue;
    }
    while (at < page.text.size() && !isWordSeparator(static_cast<unsigned char>(page.text[at]))) ++at;
    std::size_t code = index++;
    for (std::size_t k = 0; k < kCodeWidth; ++k, code /= 26) coded += static_cast<char>('a' + code % 26);
  }
  const std::string joined = joinHyphenatedLines(std::move(coded));
  lineFeeds = static_cast<std::size_t>(std::count(joined.begin(), joined.end(), '\n'));
  std::vector<std::size_t> groups;
  for (const std::string_view word : splitWords(joined)) groups.push_back(word.size() / kCodeWidth);
  return groups;
}

// Cuts a corrected joined word into as many pieces as it was joined from:
// where the corrected word begins or ends as the pieces did, at the same
// places; elsewhere in proportion.
std::vector<std::string> cutJoined(std::string_view corrected, const std::vector<std::string_view>& pieces) {
  std::string whole;
  for (const std::string_view piece : pieces) whole += piece;
  std::size_t prefix = 0;
  while (prefix < whole.size() && prefix < corrected.size() && whole[prefix] == corrected[prefix]) ++prefix;
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

}  // namespace

PageText makePageText(const SourcePage& page) {
  PageText out;
  for (const std::vector<Token>& line : page.lines) {
    const std::size_t first = out.pieces.size();
    for (const Token& token : line)
      out.pieces.push_back({token, importCharacters(page.tokenText(token)), 0});
    PageText::Piece& last = out.pieces.back();
    std::string& bytes = last.imported.bytes;
    const bool hyphenAlone = bytes.size() == 1 && isHyphen(bytes[0]) && out.pieces.size() - first >= 2 &&
                             endsInWordByte(out.pieces[out.pieces.size() - 2].imported.bytes);
    if (hyphenAlone) {
      bytes[0] = '=';
    } else if (bytes.size() >= 2 && isHyphen(bytes.back()) &&
               !isWordSeparator(static_cast<unsigned char>(bytes[bytes.size() - 2]))) {
      bytes.back() = '=';
    }
    for (std::size_t p = first; p < out.pieces.size(); ++p) {
      if (p > first && !(hyphenAlone && p + 1 == out.pieces.size())) out.text += ' ';
      out.pieces[p].start = out.text.size();
      out.text += out.pieces[p].imported.bytes;
    }
    out.text += '\n';
  }
  return out;
}

bool correctedFieldTexts(const SourcePage& source, const PageText& page,
                         std::string_view corrected, std::vector<std::string>& fieldTexts,
                         std::string& reason) {
  const std::vector<Word> words = wordsOf(page);
  const std::vector<std::string_view> correctedWords = splitWords(corrected);
  const auto correctedLineFeeds = static_cast<std::size_t>(std::count(corrected.begin(), corrected.end(), '\n'));
  const auto lineFeeds = static_cast<std::size_t>(std::count(page.text.begin(), page.text.end(), '\n'));

  std::vector<std::size_t> groups;
  std::size_t joinedLineFeeds = 0;
  if (correctedWords.size() == words.size() && correctedLineFeeds == lineFeeds) {
    groups.assign(words.size(), 1);
  } else if (groups = joinedGroups(page, joinedLineFeeds);
             correctedWords.size() != groups.size() || correctedLineFeeds != joinedLineFeeds) {
    reason = "has " + std::to_string(correctedWords.size()) + " words in " +
             std::to_string(correctedLineFeeds) + " lines where the import gave " +
             std::to_string(words.size()) + " words in " + std::to_string(lineFeeds) + " lines";
    return false;
  }

  // The corrected bytes of every word of the page.
  std::vector<std::string> wordTexts(words.size());
  std::size_t next = 0;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (groups[g] == 1) {
      wordTexts[next++] = std::string(correctedWords[g]);
      continue;
    }
    std::vector<std::string_view> pieces;
    for (std::size_t k = 0; k < groups[g]; ++k) {
      const Word& word = words[next + k];
      pieces.push_back(std::string_view(page.pieces[word.piece].imported.bytes).substr(word.from, word.to - word.from));
    }
    for (std::string& cut : cutJoined(correctedWords[g], pieces)) wordTexts[next++] = std::move(cut);
  }

  // Each piece anew where one of its words changed: the separators and
  // the unchanged words as the source had them.
  fieldTexts.clear();
  for (const Field& field : source.fields) fieldTexts.push_back(field.text);
  std::vector<std::string> pieceTexts(page.pieces.size());
  std::vector<bool> pieceChanged(page.pieces.size(), false);
  std::vector<std::size_t> pieceDone(page.pieces.size(), 0);
  for (std::size_t w = 0; w < words.size(); ++w) {
    const Word& word = words[w];
    const ImportedText& imported = page.pieces[word.piece].imported;
    if (std::string_view(imported.bytes).substr(word.from, word.to - word.from) == wordTexts[w]) continue;
    std::string& text = pieceTexts[word.piece];
    text += imported.sourceOf(pieceDone[word.piece], word.from);
    text += exportCharacters(imported.part(word.from, word.to), wordTexts[w]);
    pieceDone[word.piece] = word.to;
    pieceChanged[word.piece] = true;
  }
  // Pieces are replaced from the back of each field, so that the places of
  // the earlier ones stay right.
  for (std::size_t p = page.pieces.size(); p-- > 0;) {
    if (!pieceChanged[p]) continue;
    const PageText::Piece& piece = page.pieces[p];
    pieceTexts[p] += piece.imported.sourceOf(pieceDone[p], piece.imported.bytes.size());
    std::string& field = fieldTexts[static_cast<std::size_t>(piece.token.field)];
    field.replace(piece.token.from, piece.token.to - piece.token.from, pieceTexts[p]);
  }
  return true;
}

}  // namespace scanmend::pages
