// hOCR: the words are the elements of class ocrx_word, and their lines the
// nearest enclosing ocr_line, ocr_header, ocr_textfloat or ocr_caption.
// A word's text may sit in an inner element (<strong>, <em>).
#include <algorithm>
#include <utility>

#include "pages/formats.h"

namespace scanmend::pages::detail {
namespace {

bool isLine(const XmlElement& element) {
  for (const std::string_view kind : {"ocr_line", "ocr_header", "ocr_textfloat", "ocr_caption"})
    if (hasClass(element, kind)) return true;
  return false;
}

bool hasText(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") != std::string::npos;
}

}  // namespace

bool hasClass(const XmlElement& element, std::string_view wanted) {
  const XmlAttribute* classes = element.attribute("class");
  if (classes == nullptr) return false;
  const std::string_view list = classes->value;
  for (std::size_t at = 0; at < list.size();) {
    const std::size_t end = std::min(list.find(' ', at), list.size());
    if (list.substr(at, end - at) == wanted) return true;
    at = end + 1;
  }
  return false;
}

bool readHocr(SourcePage& page) {
  const std::vector<XmlElement>& elements = page.elements;
  const std::size_t count = elements.size();
  // In document order an element's descendants follow it: element i holds
  // [i, subtreeEnd[i]). Found from the back, each from its children.
  std::vector<std::size_t> subtreeEnd(count);
  for (std::size_t i = count; i-- > 0;) {
    subtreeEnd[i] = std::max(subtreeEnd[i], i + 1);
    if (const int parent = elements[i].parent; parent >= 0)
      subtreeEnd[static_cast<std::size_t>(parent)] =
          std::max(subtreeEnd[static_cast<std::size_t>(parent)], subtreeEnd[i]);
  }
  // The line of every element: itself, or the nearest enclosing line.
  std::vector<int> lineOf(count, -1);
  for (std::size_t i = 0; i < count; ++i)
    lineOf[i] = isLine(elements[i])       ? static_cast<int>(i)
                : elements[i].parent >= 0 ? lineOf[static_cast<std::size_t>(elements[i].parent)]
                                          : -1;
  // The free text holders (elements with text of their own that no word
  // has taken: the whole text of an element without children, or the text
  // before the first child, as in a word that lists its letters'
  // alternatives after it), found from any element on by following `next`: a holder
  // that is free points to itself, anything else onwards. Paths walked are
  // shortened, and a taken holder points on, so that words nested in
  // words, each looking for the first free holder in its subtree, take
  // time linear in the file.
  std::vector<std::size_t> next(count + 1);
  for (std::size_t i = 0; i <= count; ++i)
    next[i] = i < count && hasText(elements[i].text) ? i : std::min(i + 1, count);
  const auto firstFree = [&next](std::size_t from) {
    std::size_t found = from;
    while (next[found] != found) found = next[found];
    while (next[from] != found) from = std::exchange(next[from], found);
    return found;  // `count` where none is left
  };

  PageBuilder builder(page);
  bool isHocr = false;
  int line = -2;
  for (std::size_t i = 0; i < count; ++i) {
    const XmlElement& word = elements[i];
    if (word.attribute("class") != nullptr && word.attribute("class")->value.starts_with("ocr"))
      isHocr = true;
    if (!hasClass(word, "ocrx_word")) continue;
    // The word's text: that of the first element within it, itself
    // included, that holds text of its own that no other word has, so that
    // an edit replaces text only.
    const std::size_t holder = firstFree(i);
    if (holder >= subtreeEnd[i]) continue;
    next[holder] = holder + 1;
    // The word's line: the nearest enclosing line, else its parent.
    const int enclosing = word.parent >= 0 ? lineOf[static_cast<std::size_t>(word.parent)] : -1;
    const int container = enclosing >= 0 ? enclosing : word.parent;
    Field field = contentField(elements[holder], static_cast<int>(holder));
    // Every element of hOCR is kept: the next one is the holder's first
    // child, where its own text ends.
    if (elements[holder].holdsElements) field.end = elements[holder + 1].tagBegin;
    builder.addField(std::move(field), container != line);
    line = container;
  }
  return isHocr;
}

}  // namespace scanmend::pages::detail
