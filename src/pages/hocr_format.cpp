// hOCR: the words are the elements of class ocrx_word, and their lines the
// nearest enclosing ocr_line, ocr_header, ocr_textfloat or ocr_caption.
// A word's text may sit in an inner element (<strong>, <em>).
#include "pages/formats.h"

namespace scanmend::pages::detail {
namespace {

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

bool isLine(const XmlElement& element) {
  for (const std::string_view kind : {"ocr_line", "ocr_header", "ocr_textfloat", "ocr_caption"})
    if (hasClass(element, kind)) return true;
  return false;
}

bool hasText(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") != std::string::npos;
}

}  // namespace

bool readHocr(SourcePage& page) {
  const std::vector<XmlElement>& elements = page.elements;
  std::vector<int> childCount(elements.size(), 0);
  for (const XmlElement& element : elements)
    if (element.parent >= 0) ++childCount[static_cast<std::size_t>(element.parent)];

  bool isHocr = false;
  int line = -2;
  std::vector<bool> holding(elements.size(), false);  // a word nested in a word has one text
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const XmlElement& word = elements[i];
    if (word.attribute("class") != nullptr && word.attribute("class")->value.starts_with("ocr"))
      isHocr = true;
    if (!hasClass(word, "ocrx_word")) continue;
    // The word's text: the first element within it, itself included, that
    // holds text and no element, so that an edit replaces text only.
    int holder = -1;
    for (std::size_t j = i; j < elements.size(); ++j) {
      if (j > i) {
        int up = elements[j].parent;
        while (up > static_cast<int>(i)) up = elements[static_cast<std::size_t>(up)].parent;
        if (up != static_cast<int>(i)) break;
      }
      if (childCount[j] == 0 && hasText(elements[j].text) && !holding[j]) {
        holder = static_cast<int>(j);
        break;
      }
    }
    if (holder < 0) continue;
    holding[static_cast<std::size_t>(holder)] = true;
    int container = word.parent;
    while (container >= 0 && !isLine(elements[static_cast<std::size_t>(container)]))
      container = elements[static_cast<std::size_t>(container)].parent;
    if (container < 0) container = word.parent;
    addField(page, contentField(elements[static_cast<std::size_t>(holder)], holder), container != line);
    line = container;
  }
  return isHocr;
}

}  // namespace scanmend::pages::detail
