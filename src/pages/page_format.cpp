// PAGE (2013-07-15 and 2019-07-15): text sits in TextEquiv/Unicode at the
// level of the Word, the TextLine and the TextRegion. The words come from
// the lowest level a line has; a region without lines gives its own text.
// After a correction the levels above a changed word agree with it again:
// each part's new text replaces its old one where it stands in the text
// above, or, where it cannot be found there, the text above is made of its
// parts anew, a line's words joined by a space, a region's lines by a line
// feed.
#include <optional>
#include <unordered_map>

#include "pages/formats.h"

namespace scanmend::pages::detail {
namespace {

// A word's, line's or region's text before and after the correction.
struct Texts {
  std::string before;
  std::string after;
};

std::string joined(const std::vector<Texts>& parts, std::string_view joint,
                   std::string Texts::*which) {
  std::string text;
  for (std::size_t k = 0; k < parts.size(); ++k) {
    if (k > 0) text += joint;
    text += parts[k].*which;
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
std::optional<std::string> replacedInOrder(std::string_view text, const std::vector<Texts>& parts) {
  std::string out;
  std::size_t at = 0;
  for (const Texts& part : parts) {
    const std::string_view before = part.before;
    if (before.empty()) {
      if (part.after.empty()) continue;
      return std::nullopt;  // a text that had no place yet
    }
    std::size_t found = text.find(before, at);
    while (found != std::string_view::npos &&
           ((found > 0 && isWordByte(text[found - 1]) && isWordByte(before.front())) ||
            (found + before.size() < text.size() && isWordByte(text[found + before.size()]) &&
             isWordByte(before.back()))))
      found = text.find(before, found + 1);
    if (found == std::string_view::npos) return std::nullopt;
    out.append(text.substr(at, found - at)).append(part.after);
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
    const std::string_view name = tree[i].name;
    if (name == "TextLine") {
      bool newLine = true;
      tree.forEachChild(i, "Word", [&](int word) {
        if (const int unicode = tree.unicodeOf(word); unicode >= 0) {
          builder.addField(contentField(tree[unicode], unicode), newLine);
          newLine = false;
        }
      });
      if (newLine) {
        if (const int unicode = tree.unicodeOf(i); unicode >= 0)
          builder.addField(contentField(tree[unicode], unicode), true);
      }
    } else if (name == "TextRegion" && tree.firstChild(i, "TextLine") < 0) {
      if (const int unicode = tree.unicodeOf(i); unicode >= 0)
        builder.addField(contentField(tree[unicode], unicode), true, true);
    }
  }
  return true;
}

std::vector<Edit> pageXmlEdits(std::string_view bytes, const SourcePage& page, NewTexts& newTexts) {
  const Tree tree(page.elements);
  // The new text of every Unicode element that changes, by element.
  std::unordered_map<int, std::string> changed;
  for (std::size_t f = 0; f < page.fields.size(); ++f)
    if (newTexts[f]) changed[page.fields[f].element] = std::move(*newTexts[f]);
  newTexts = NewTexts();
  const auto textOf = [&](int unicode) -> std::string_view {
    const auto found = changed.find(unicode);
    return found == changed.end() ? std::string_view(tree[unicode].text) : found->second;
  };

  // Every word's, line's and region's text before and after the
  // correction: its own text, or, where it has none, its parts' texts
  // joined. In reverse document order an element comes after everything
  // inside it, so the levels are settled from the bottom up; a word's
  // texts are those of its Unicode element, and only lines and regions
  // keep texts of their own.
  // The texts of a line are held until its region takes them.
  std::unordered_map<int, Texts> texts;
  const auto textsOf = [&](int element, bool word) -> Texts {
    if (!word) {
      const auto found = texts.find(element);
      if (found == texts.end()) return {};
      Texts taken = std::move(found->second);
      texts.erase(found);
      return taken;
    }
    const int own = tree.unicodeOf(element);
    return {std::string(tree[own].text), std::string(textOf(own))};
  };
  for (int i = static_cast<int>(page.elements.size()) - 1; i >= 0; --i) {
    const std::string_view name = tree[i].name;
    if (name != "TextLine" && name != "TextRegion") continue;
    const bool line = name == "TextLine";
    std::vector<Texts> parts;
    tree.forEachChild(i, line ? "Word" : "TextLine", [&](int part) {
      if (!line || tree.unicodeOf(part) >= 0) parts.push_back(textsOf(part, line));
    });
    const std::string_view joint = line ? " " : "\n";
    bool partChanged = false;
    for (const Texts& part : parts) partChanged = partChanged || part.before != part.after;
    const int own = tree.unicodeOf(i);
    // A region's texts are no part of anything.
    Texts region;
    Texts& self = line ? texts[i] : region;
    if (own < 0) {
      if (line) self = {joined(parts, joint, &Texts::before), joined(parts, joint, &Texts::after)};
      continue;
    }
    self.before = tree[own].text;
    self.after = textOf(own);
    if (changed.contains(own) || !partChanged) continue;
    // The own text keeps its spacing, its punctuation and whatever the
    // parts do not hold: each part's text is replaced where it stands.
    std::optional<std::string> after = replacedInOrder(self.before, parts);
    self.after = after ? std::move(*after) : joined(parts, joint, &Texts::after);
    if (self.after != self.before) changed[own] = self.after;
  }

  std::vector<Edit> edits;
  for (auto& [element, text] : changed) {
    const Field field = contentField(page.elements[static_cast<std::size_t>(element)], element);
    edits.push_back(fieldEdit(bytes, page, field, std::move(text)));
  }
  return edits;
}

}  // namespace scanmend::pages::detail
