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
  auto textOf = [&](int unicode) -> std::string_view {
    const auto& text = changed[static_cast<std::size_t>(unicode)];
    return text ? std::string_view(*text) : std::string_view(tree[unicode].text);
  };
  auto changes = [&](int unicode) {
    return unicode >= 0 && changed[static_cast<std::size_t>(unicode)].has_value();
  };

  // Lines above changed words, then regions above changed lines: in
  // reverse document order an element comes after everything inside it,
  // so the levels are settled from the bottom up.
  for (int i = static_cast<int>(page.elements.size()) - 1; i >= 0; --i) {
    const std::string& name = tree[i].name;
    const int own = tree.unicodeOf(i);
    if (own < 0 || changes(own)) continue;
    std::vector<int> parts;
    std::string_view joint;
    if (name == "TextLine") {
      for (const int word : tree.childrenNamed(i, "Word")) parts.push_back(tree.unicodeOf(word));
      joint = " ";
    } else if (name == "TextRegion") {
      for (const int line : tree.childrenNamed(i, "TextLine"))
        parts.push_back(tree.unicodeOf(line));
      joint = "\n";
    } else {
      continue;
    }
    bool any = false;
    for (const int part : parts) any = any || changes(part);
    if (!any) continue;
    std::string text;
    bool first = true;
    for (const int part : parts) {
      if (part < 0) continue;
      if (!first) text += joint;
      text += textOf(part);
      first = false;
    }
    if (text != tree[own].text) changed[static_cast<std::size_t>(own)] = std::move(text);
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
