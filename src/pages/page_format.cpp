// PAGE (2013-07-15 and 2019-07-15): text sits in TextEquiv/Unicode at the
// level of the Word, the TextLine and the TextRegion. The words come from
// the lowest level a line has; a region without lines gives its own text.
// After a correction the levels above a changed word agree with it again:
// a line's text is its words joined by a space, a region's its lines
// joined by a line feed.
#include <optional>

#include "pages/formats.h"

namespace scanmend::pages::detail {
namespace {

class Tree {
 public:
  explicit Tree(const std::vector<XmlElement>& elements)
      : elements_(elements), children_(elements.size()) {
    for (std::size_t i = 0; i < elements.size(); ++i)
      if (elements[i].parent >= 0)
        children_[static_cast<std::size_t>(elements[i].parent)].push_back(static_cast<int>(i));
  }

  const XmlElement& operator[](int i) const { return elements_[static_cast<std::size_t>(i)]; }

  std::vector<int> childrenNamed(int parent, std::string_view name) const {
    std::vector<int> found;
    for (const int child : children_[static_cast<std::size_t>(parent)])
      if (elements_[static_cast<std::size_t>(child)].name == name) found.push_back(child);
    return found;
  }

  // The Unicode element of an element's first TextEquiv, or -1; one that
  // holds elements is no text to edit.
  int unicodeOf(int element) const {
    const std::vector<int> equivs = childrenNamed(element, "TextEquiv");
    if (equivs.empty()) return -1;
    const std::vector<int> unicode = childrenNamed(equivs.front(), "Unicode");
    if (unicode.empty() || elements_[static_cast<std::size_t>(unicode.front())].holdsElements)
      return -1;
    return unicode.front();
  }

 private:
  const std::vector<XmlElement>& elements_;
  std::vector<std::vector<int>> children_;
};

// A word's, line's or region's text before and after the correction.
struct Texts {
  std::string before;
  std::string after;
};

std::string joined(const std::vector<const Texts*>& parts, std::string_view joint,
                   std::string Texts::*which) {
  std::string text;
  for (std::size_t k = 0; k < parts.size(); ++k) {
    if (k > 0) text += joint;
    text += parts[k]->*which;
  }
  return text;
}

// Whether `byte` belongs to a word: a letter, a digit or any byte of a
// character beyond ASCII.
bool isWordByte(char byte) {
  const auto c = static_cast<unsigned char>(byte);
  return c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// `text` with each part's text before the correction replaced by its text
// after, the parts found in order, each a whole word where it stands;
// nothing when a part is not there.
std::optional<std::string> replacedInOrder(std::string_view text,
                                           const std::vector<const Texts*>& parts) {
  std::string out;
  std::size_t at = 0;
  for (const Texts* part : parts) {
    const std::string_view before = part->before;
    if (before.empty()) {
      if (part->after.empty()) continue;
      return std::nullopt;  // a text that had no place yet
    }
    std::size_t found = text.find(before, at);
    while (found != std::string_view::npos &&
           ((found > 0 && isWordByte(text[found - 1]) && isWordByte(before.front())) ||
            (found + before.size() < text.size() && isWordByte(text[found + before.size()]) &&
             isWordByte(before.back()))))
      found = text.find(before, found + 1);
    if (found == std::string_view::npos) return std::nullopt;
    out.append(text.substr(at, found - at)).append(part->after);
    at = found + before.size();
  }
  out.append(text.substr(at));
  return out;
}

}  // namespace

bool readPageXml(SourcePage& page) {
  const Tree tree(page.elements);
  PageBuilder builder(page);
  for (int i = 0; i < static_cast<int>(page.elements.size()); ++i) {
    const std::string& name = tree[i].name;
    if (name == "TextLine") {
      bool newLine = true;
      for (const int word : tree.childrenNamed(i, "Word")) {
        if (const int unicode = tree.unicodeOf(word); unicode >= 0) {
          builder.addField(contentField(tree[unicode], unicode), newLine);
          newLine = false;
        }
      }
      if (newLine) {
        if (const int unicode = tree.unicodeOf(i); unicode >= 0)
          builder.addField(contentField(tree[unicode], unicode), true);
      }
    } else if (name == "TextRegion" && tree.childrenNamed(i, "TextLine").empty()) {
      if (const int unicode = tree.unicodeOf(i); unicode >= 0)
        builder.addField(contentField(tree[unicode], unicode), true, true);
    }
  }
  return true;
}

std::vector<Edit> pageXmlEdits(std::string_view bytes, const SourcePage& page,
                               const NewTexts& newTexts) {
  const Tree tree(page.elements);
  // The text of every Unicode element after the correction, where it changes.
  std::vector<std::optional<std::string>> changed(page.elements.size());
  for (std::size_t f = 0; f < page.fields.size(); ++f)
    if (newTexts[f]) changed[static_cast<std::size_t>(page.fields[f].element)] = *newTexts[f];
  auto changes = [&](int unicode) {
    return unicode >= 0 && changed[static_cast<std::size_t>(unicode)].has_value();
  };

  // Every line's and region's text before and after the correction: its
  // own text, or, where it has none, its parts' texts joined. In reverse
  // document order an element comes after everything inside it, so the
  // levels are settled from the bottom up.
  std::vector<Texts> texts(page.elements.size());
  for (int i = static_cast<int>(page.elements.size()) - 1; i >= 0; --i) {
    const std::string& name = tree[i].name;
    std::vector<const Texts*> parts;
    std::string_view joint;
    if (name == "Word" || name == "TextLine" || name == "TextRegion") {
      const int own = tree.unicodeOf(i);
      Texts& self = texts[static_cast<std::size_t>(i)];
      if (name == "Word") {
        if (own < 0) continue;
        self.before = tree[own].text;
        self.after = changes(own) ? *changed[static_cast<std::size_t>(own)] : self.before;
        continue;
      }
      const bool line = name == "TextLine";
      for (const int part : tree.childrenNamed(i, line ? "Word" : "TextLine"))
        if (tree.unicodeOf(part) >= 0 || !line)
          parts.push_back(&texts[static_cast<std::size_t>(part)]);
      joint = line ? " " : "\n";
      bool partChanged = false;
      for (const Texts* part : parts) partChanged = partChanged || part->before != part->after;
      if (own < 0) {
        self.before = joined(parts, joint, &Texts::before);
        self.after = joined(parts, joint, &Texts::after);
        continue;
      }
      self.before = tree[own].text;
      self.after = changes(own) ? *changed[static_cast<std::size_t>(own)] : self.before;
      if (changes(own) || !partChanged) continue;
      // The own text keeps its spacing, its punctuation and whatever the
      // parts do not hold: each part's text is replaced where it stands.
      std::optional<std::string> after = replacedInOrder(self.before, parts);
      self.after = after ? std::move(*after) : joined(parts, joint, &Texts::after);
      if (self.after != self.before) changed[static_cast<std::size_t>(own)] = self.after;
    }
  }

  std::vector<Edit> edits;
  for (std::size_t i = 0; i < changed.size(); ++i) {
    if (!changed[i]) continue;
    const Field field = contentField(page.elements[i], static_cast<int>(i));
    edits.push_back(fieldEdit(bytes, page, field, std::move(*changed[i])));
  }
  return edits;
}

}  // namespace scanmend::pages::detail
