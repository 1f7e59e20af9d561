// What the readers and writers of the formats share; only for
// source_page.cpp, the format files and ocr_confidences.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pages/source_page.h"

namespace scanmend::pages::detail {

// Builds a page field by field: words are the runs of non-space bytes of
// a field's text; a line begins where a field or a line feed asks for one
// and a word follows, so that no line is empty.
class PageBuilder {
 public:
  explicit PageBuilder(SourcePage& page) : page_(page) {}
  // With `newLine`, the field's first word starts a new line; with
  // `linesInside`, so does every line feed in its text (a PAGE region's or
  // a text file's lines), else a line feed is a space.
  void addField(Field field, bool newLine, bool linesInside = false);

 private:
  SourcePage& page_;
  bool lineAsked_ = true;
};

// The elements as a tree, each linked to its first child and its next
// sibling: two numbers an element, however many children.
class Tree {
 public:
  explicit Tree(const std::vector<XmlElement>& elements)
      : elements_(elements), firstChild_(elements.size(), -1), nextSibling_(elements.size(), -1) {
    // From the back, so that each child is put before the ones after it.
    for (std::size_t i = elements.size(); i-- > 0;) {
      const int parent = elements[i].parent;
      if (parent < 0) continue;
      nextSibling_[i] = firstChild_[static_cast<std::size_t>(parent)];
      firstChild_[static_cast<std::size_t>(parent)] = static_cast<int>(i);
    }
  }

  const XmlElement& operator[](int i) const { return elements_[static_cast<std::size_t>(i)]; }

  // Calls visit(child) for each child named `name` (any, where empty), in
  // order.
  template <typename Visit>
  void forEachChild(int parent, std::string_view name, Visit visit) const {
    for (int child = firstChild_[static_cast<std::size_t>(parent)]; child >= 0;
         child = nextSibling_[static_cast<std::size_t>(child)])
      if (name.empty() || (*this)[child].name == name) visit(child);
  }

  int firstChild(int parent, std::string_view name) const {
    int found = -1;
    forEachChild(parent, name, [&](int child) {
      if (found < 0) found = child;
    });
    return found;
  }

  // PAGE: the Unicode element of an element's first TextEquiv, or -1; one
  // that holds elements is no text to edit.
  int unicodeOf(int element) const {
    const int equiv = firstChild(element, "TextEquiv");
    const int unicode = equiv < 0 ? -1 : firstChild(equiv, "Unicode");
    return unicode < 0 || (*this)[unicode].holdsElements ? -1 : unicode;
  }

 private:
  const std::vector<XmlElement>& elements_;
  std::vector<int> firstChild_;
  std::vector<int> nextSibling_;
};

// The field holding an attribute's value, or an element's character data.
Field attributeField(std::string_view bytes, const XmlAttribute& attribute, int element);

// The elements that each format's reader and edits need, by the root.
bool keptElement(std::string_view root, std::string_view name);
Field contentField(const XmlElement& element, int index);

// Writes a field's new text over its raw bytes, escaped as the place
// needs; an element written as <a/> gets an end tag.
Edit fieldEdit(std::string_view bytes, const SourcePage& page, const Field& field,
               std::string text);

// The edit that removes an attribute, with the space before it.
Edit removeAttribute(std::string_view bytes, const XmlAttribute& attribute);

// The qualified name of an element as its start tag spells it.
std::string_view rawName(std::string_view bytes, const XmlElement& element);

std::size_t characterCount(std::string_view utf8);

// Whether an hOCR element's class attribute lists `wanted`.
bool hasClass(const XmlElement& element, std::string_view wanted);

// Each reads the words of a parsed file of its format into `page`; false
// when the file is not of it after all.
bool readAlto(std::string_view bytes, SourcePage& page);
bool readPageXml(SourcePage& page);
bool readHocr(SourcePage& page);
std::vector<Edit> altoEdits(std::string_view bytes, const SourcePage& page,
                            const NewTexts& newTexts);
// Takes the new texts, which it leaves empty.
std::vector<Edit> pageXmlEdits(std::string_view bytes, const SourcePage& page, NewTexts& newTexts);

}  // namespace scanmend::pages::detail
