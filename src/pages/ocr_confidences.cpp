#include "pages/ocr_confidences.h"

#include <algorithm>
#include <charconv>

#include "pages/characters.h"
#include "pages/formats.h"
#include "pages/page_text.h"

namespace scanmend::pages {
namespace {

using detail::hasClass;
using detail::Tree;

// A letter's place in a word, from 0, and what else it may have been, as
// UTF-8.
struct SeenOtherwise {
  std::size_t position;
  std::string text;
  float confidence;
};

struct TokenEvidence {
  float confidence = -1;
  std::vector<SeenOtherwise> alternatives;
};

// Reads confidences on a scale from 0 to `scale`, as fractions of it;
// any other value is noted and taken as none.
class ConfidenceReader {
 public:
  explicit ConfidenceReader(IgnoredConfidences* ignored) : ignored_(ignored) {}

  // The number that starts `text` (blanks before it), as a fraction of
  // `scale`, or -1.
  float read(std::string_view text, float scale, Offset at) const {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    float value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end != text.data() && value >= 0 && value <= scale)
      return value / scale;
    if (ignored_ != nullptr && ignored_->count++ == 0) {
      ignored_->firstAt = at;
      ignored_->firstValue = std::string(text.substr(0, std::min<std::size_t>(text.size(), 32)));
    }
    return -1;
  }

  // The attribute `name` of `element` on that scale, or -1 without one.
  float attribute(const XmlElement& element, std::string_view name, float scale = 1) const {
    const XmlAttribute* attribute = element.attribute(name);
    return attribute == nullptr ? -1 : read(attribute->value, scale, attribute->valueBegin);
  }

  // A property of an hOCR title ("bbox 0 9 88 40; x_wconf 95"), from 0 to
  // 100, or -1 without one.
  float titleProperty(const XmlElement& element, std::string_view property) const {
    const XmlAttribute* title = element.attribute("title");
    if (title == nullptr) return -1;
    const std::string_view value = title->value;
    for (std::size_t at = 0; at < value.size();) {
      while (at < value.size() && (value[at] == ' ' || value[at] == ';')) ++at;
      const std::size_t end = std::min(value.find(';', at), value.size());
      const std::string_view item = value.substr(at, end - at);
      if (item.starts_with(property) && item.size() > property.size() &&
          item[property.size()] == ' ')
        return read(item.substr(property.size()), 100, title->valueBegin);
      at = end;
    }
    return -1;
  }

 private:
  IgnoredConfidences* ignored_;
};

bool isBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// ALTO: WC on the String (else the mean of CC, 0 sure to 9 unsure), and
// its Glyphs' Variants.
TokenEvidence altoEvidence(const Tree& tree, int string, const ConfidenceReader& reader) {
  const XmlElement& element = tree[string];
  TokenEvidence evidence;
  evidence.confidence = reader.attribute(element, "WC");
  if (const XmlAttribute* cc = element.attribute("CC"); evidence.confidence < 0 && cc != nullptr) {
    float sum = 0;
    int count = 0;
    for (const char c : cc->value) {
      if (c < '0' || c > '9') continue;
      sum += static_cast<float>(c - '0');
      ++count;
    }
    if (count > 0) evidence.confidence = 1 - sum / static_cast<float>(9 * count);
  }
  std::size_t position = 0;
  tree.forEachChild(string, "Glyph", [&](int glyph) {
    tree.forEachChild(glyph, "Variant", [&](int variant) {
      if (const XmlAttribute* content = tree[variant].attribute("CONTENT"); content != nullptr)
        evidence.alternatives.push_back(
            {position, content->value, reader.attribute(tree[variant], "VC")});
    });
    ++position;
  });
  return evidence;
}

// hOCR: x_wconf of the word, and tesseract's choices: a group of
// ocrx_cinfo for each place (a group whose likeliest choice is a space
// belongs to none), its choices the likeliest first, with x_confs.
TokenEvidence hocrEvidence(const Tree& tree, int word, const ConfidenceReader& reader) {
  const XmlElement& element = tree[word];
  TokenEvidence evidence;
  evidence.confidence = reader.titleProperty(element, "x_wconf");
  std::size_t position = 0;
  tree.forEachChild(word, "", [&](int group) {
    if (!hasClass(tree[group], "ocrx_cinfo")) return;
    bool likeliest = true;
    bool placed = false;
    tree.forEachChild(group, "", [&](int choice) {
      const XmlElement& c = tree[choice];
      if (!hasClass(c, "ocrx_cinfo")) return;
      if (likeliest) {
        likeliest = false;
        placed = !isBlank(c.text);
        return;
      }
      const float confidence = reader.titleProperty(c, "x_confs");
      if (placed && !isBlank(c.text) && confidence > 0)
        evidence.alternatives.push_back({position, c.text, confidence});
    });
    position += placed ? 1 : 0;
  });
  return evidence;
}

// PAGE: conf of the Word's TextEquiv, and its Glyphs' TextEquivs after the
// first.
TokenEvidence pageEvidence(const Tree& tree, int equiv, const ConfidenceReader& reader) {
  TokenEvidence evidence;
  evidence.confidence = reader.attribute(tree[equiv], "conf");
  std::size_t position = 0;
  tree.forEachChild(tree[equiv].parent, "Glyph", [&](int glyph) {
    bool first = true;
    tree.forEachChild(glyph, "TextEquiv", [&](int choice) {
      const int unicode = tree.firstChild(choice, "Unicode");
      if (!first && unicode >= 0 && !isBlank(tree[unicode].text))
        evidence.alternatives.push_back(
            {position, tree[unicode].text, reader.attribute(tree[choice], "conf")});
      first = false;
    });
    ++position;
  });
  return evidence;
}

// The element whose evidence a field's words carry, or -1.
int wordElement(const SourcePage& page, int element) {
  switch (page.format) {
    case Format::Alto:
      return element;
    case Format::Page: {
      const int equiv = page.elements[static_cast<std::size_t>(element)].parent;
      if (equiv < 0) return -1;
      const int word = page.elements[static_cast<std::size_t>(equiv)].parent;
      return word >= 0 && page.elements[static_cast<std::size_t>(word)].name == "Word" ? equiv : -1;
    }
    case Format::Hocr:
      for (int at = element; at >= 0; at = page.elements[static_cast<std::size_t>(at)].parent)
        if (hasClass(page.elements[static_cast<std::size_t>(at)], "ocrx_word")) return at;
      return -1;
    case Format::Text:
      break;
  }
  return -1;
}

// The UTF-8 characters of a word, each as its bytes.
std::vector<std::string_view> charactersOf(std::string_view utf8) {
  std::vector<std::string_view> out;
  for (std::size_t at = 0; at < utf8.size();) {
    std::size_t end = at + 1;
    while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) ++end;
    out.push_back(utf8.substr(at, end - at));
    at = end;
  }
  return out;
}

}  // namespace

std::vector<OcrWord> ocrWordsOf(const SourcePage& page, std::int64_t number) {
  std::vector<OcrWord> words;
  forEachOcrWord(page, number, [&words](const OcrWord& word) { words.push_back(word); });
  return words;
}

void forEachOcrWord(const SourcePage& page, std::int64_t number,
                    const std::function<void(const OcrWord&)>& visit, IgnoredConfidences* ignored) {
  if (page.format == Format::Text) return;
  const Tree tree(page.elements);
  const ConfidenceReader reader(ignored);
  // The tokens of each field: only a field of one word carries letters'
  // alternatives.
  std::vector<int> tokensOfField(page.fields.size(), 0);
  for (const Token& token : page.tokens) ++tokensOfField[static_cast<std::size_t>(token.field)];
  PageLines lines(page);
  for (std::uint32_t line = 1; lines.next(); ++line) {
    std::uint32_t place = 0;
    for (const PageLines::Piece& piece : lines.pieces()) {
      ++place;
      const Token& token = page.tokens[piece.token];
      const Field& field = page.fields[static_cast<std::size_t>(token.field)];
      const int element = wordElement(page, field.element);
      if (element < 0) continue;
      TokenEvidence evidence = page.format == Format::Alto   ? altoEvidence(tree, element, reader)
                               : page.format == Format::Hocr ? hocrEvidence(tree, element, reader)
                                                             : pageEvidence(tree, element, reader);
      OcrWord word;
      word.page = number;
      word.line = line;
      word.word = place;
      word.text = std::string(lines.text().substr(piece.start, piece.length));
      word.confidence = evidence.confidence;
      const std::string_view source = page.tokenText(token);
      const bool alone = tokensOfField[static_cast<std::size_t>(token.field)] == 1;
      if (alone && !evidence.alternatives.empty() &&
          detail::characterCount(source) <= kLongestWithAlternatives &&
          importCharacters(source).bytes == word.text) {
        const std::vector<std::string_view> letters = charactersOf(source);
        // Of each letter the likeliest few, written in the order read.
        std::vector<std::size_t> byLikelihood(evidence.alternatives.size());
        for (std::size_t i = 0; i < byLikelihood.size(); ++i) byLikelihood[i] = i;
        std::stable_sort(
            byLikelihood.begin(), byLikelihood.end(), [&](std::size_t a, std::size_t b) {
              return evidence.alternatives[a].confidence > evidence.alternatives[b].confidence;
            });
        std::vector<std::string> kept(evidence.alternatives.size());
        std::vector<std::size_t> keptOfLetter(letters.size(), 0);
        for (const std::size_t i : byLikelihood) {
          const SeenOtherwise& other = evidence.alternatives[i];
          if (other.position >= letters.size() || other.text == letters[other.position] ||
              keptOfLetter[other.position] == kMostAlternativesPerLetter)
            continue;
          std::string changed;
          for (std::size_t k = 0; k < letters.size(); ++k)
            changed += k == other.position ? std::string_view(other.text) : letters[k];
          std::string bytes = importCharacters(changed).bytes;
          if (bytes != word.text && bytes.find(kUnreadable) == std::string::npos) {
            kept[i] = std::move(bytes);
            ++keptOfLetter[other.position];
          }
        }
        for (std::size_t i = 0; i < kept.size(); ++i)
          if (!kept[i].empty())
            word.alternatives.push_back(
                {std::move(kept[i]), std::max(evidence.alternatives[i].confidence, 0.0F)});
      }
      if (word.hasConfidence() || !word.alternatives.empty()) visit(word);
    }
  }
}

}  // namespace scanmend::pages
