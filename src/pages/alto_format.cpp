// ALTO, v1 to v4 alike: the words are the CONTENT of String elements (and
// HYP, the printed hyphen) in TextLine elements. A word hyphenated across
// lines is two Strings, marked HypPart1 and HypPart2, which both carry the
// whole word in SUBS_CONTENT.

#include "base/version.h"
#include "pages/formats.h"

namespace scanmend::pages::detail {
namespace {

bool isWordElement(std::string_view name) { return name == "String" || name == "HYP"; }

std::string_view subsType(const XmlElement& element) {
  const XmlAttribute* type = element.attribute("SUBS_TYPE");
  return type == nullptr ? std::string_view() : std::string_view(type->value);
}

// The end of an element's end tag, or of its empty-element tag.
std::size_t elementEnd(std::string_view bytes, const XmlElement& element) {
  if (element.contentEnd == element.tagEnd && bytes.substr(element.tagEnd - 2, 2) == "/>")
    return element.tagEnd;
  return bytes.find('>', element.contentEnd) + 1;
}

// The namespace prefix with its colon, as the element spells its name.
std::string prefixOf(std::string_view bytes, const XmlElement& element) {
  const std::string_view name = rawName(bytes, element);
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? "" : std::string(name.substr(0, colon + 1));
}

std::string stepBody(const std::string& p) {
  return "<" + p + "processingStepDescription>OCR post-correction against a dictionary</" + p +
         "processingStepDescription><" + p + "processingSoftware><" + p +
         "softwareName>scanmend</" + p + "softwareName><" + p + "softwareVersion>" +
         std::string(kVersion) + "</" + p + "softwareVersion></" + p + "processingSoftware>";
}

// An ID that no element has: SCANMEND_1, or the first number free. Found
// in the bytes, where every ID stands between quotes: the IDs of a large
// file are not kept.
std::string freeId(std::string_view bytes) {
  for (int n = 1;; ++n) {
    const std::string id = "SCANMEND_" + std::to_string(n);
    if (bytes.find("\"" + id + "\"") == std::string_view::npos &&
        bytes.find("'" + id + "'") == std::string_view::npos)
      return id;
  }
}

// The whitespace right before `at`, to indent what is inserted there like
// the end tag that follows.
std::string_view indentBefore(std::string_view bytes, std::size_t at) {
  std::size_t begin = at;
  while (begin > 0 && isXmlSpace(bytes[begin - 1])) --begin;
  return bytes.substr(begin, at - begin);
}

// Records the correction: a postProcessingStep in the OCRProcessing of
// v2 and v3, a Processing step of its own in v4.
void addProcessingStep(std::string_view bytes, const SourcePage& page, std::vector<Edit>& edits) {
  const XmlElement* ocrProcessing = nullptr;
  const XmlElement* lastProcessing = nullptr;
  const XmlElement* description = nullptr;
  for (const XmlElement& element : page.elements) {
    if (element.name == "OCRProcessing" && ocrProcessing == nullptr) ocrProcessing = &element;
    if (element.name == "Processing") lastProcessing = &element;
    if (element.name == "Description" && description == nullptr) description = &element;
  }
  if (ocrProcessing != nullptr && elementEnd(bytes, *ocrProcessing) != ocrProcessing->tagEnd) {
    const std::string p = prefixOf(bytes, *ocrProcessing);
    const std::size_t at = ocrProcessing->contentEnd;
    edits.push_back({at, at,
                     "<" + p + "postProcessingStep>" + stepBody(p) + "</" + p +
                         "postProcessingStep>" + std::string(indentBefore(bytes, at))});
    return;
  }
  const std::string processing = "Processing ID=\"" + freeId(bytes) + "\">";
  if (lastProcessing != nullptr) {
    const std::string p = prefixOf(bytes, *lastProcessing);
    const std::size_t at = elementEnd(bytes, *lastProcessing);
    edits.push_back({at, at,
                     std::string(indentBefore(bytes, lastProcessing->tagBegin)) + "<" + p +
                         processing + stepBody(p) + "</" + p + "Processing>"});
    return;
  }
  const std::string_view root =
      bytes.substr(page.elements.front().tagBegin,
                   page.elements.front().tagEnd - page.elements.front().tagBegin);
  if (description != nullptr && root.find("alto/ns-v4#") != std::string_view::npos &&
      elementEnd(bytes, *description) != description->tagEnd) {
    const std::string p = prefixOf(bytes, *description);
    const std::size_t at = description->contentEnd;
    edits.push_back({at, at,
                     "<" + p + processing + stepBody(p) + "</" + p + "Processing>" +
                         std::string(indentBefore(bytes, at))});
  }
}

}  // namespace

bool readAlto(std::string_view bytes, SourcePage& page) {
  PageBuilder builder(page);
  int line = -1;
  for (std::size_t i = 0; i < page.elements.size(); ++i) {
    const XmlElement& element = page.elements[i];
    if (!isWordElement(element.name) || element.parent < 0 ||
        page.elements[static_cast<std::size_t>(element.parent)].name != "TextLine")
      continue;
    const XmlAttribute* content = element.attribute("CONTENT");
    if (content == nullptr) continue;
    const bool newLine = element.parent != line;
    line = element.parent;
    builder.addField(attributeField(bytes, *content, static_cast<int>(i)), newLine);
  }
  return true;
}

std::vector<Edit> altoEdits(std::string_view bytes, const SourcePage& page,
                            const NewTexts& newTexts) {
  std::vector<Edit> edits;
  std::vector<int> fieldOf(page.elements.size(), -1);
  for (std::size_t f = 0; f < page.fields.size(); ++f)
    fieldOf[static_cast<std::size_t>(page.fields[f].element)] = static_cast<int>(f);
  auto changed = [&](int f) { return f >= 0 && newTexts[static_cast<std::size_t>(f)].has_value(); };

  for (std::size_t f = 0; f < page.fields.size(); ++f) {
    if (!changed(static_cast<int>(f))) continue;
    const Field& field = page.fields[f];
    const std::string& text = *newTexts[f];
    edits.push_back(fieldEdit(bytes, page, field, text));  // a copy: the text is used again
    const XmlElement& element = page.elements[static_cast<std::size_t>(field.element)];
    // Confidences per character no longer match a word of another length.
    if (const XmlAttribute* cc = element.attribute("CC");
        cc != nullptr && characterCount(text) != characterCount(page.textOf(field)))
      edits.push_back(removeAttribute(bytes, *cc));
  }
  if (edits.empty()) return edits;

  // Both halves of a hyphenated word carry the whole word.
  for (std::size_t first = 0; first < page.elements.size(); ++first) {
    if (page.elements[first].name != "String" || subsType(page.elements[first]) != "HypPart1")
      continue;
    std::size_t second = first + 1;
    while (second < page.elements.size() && page.elements[second].name != "String") ++second;
    if (second == page.elements.size() || subsType(page.elements[second]) != "HypPart2") continue;
    const int f1 = fieldOf[first];
    const int f2 = fieldOf[second];
    if (f1 < 0 || f2 < 0 || (!changed(f1) && !changed(f2))) continue;
    const auto textOf = [&](int f) -> std::string_view {
      const auto& text = newTexts[static_cast<std::size_t>(f)];
      return text ? std::string_view(*text) : page.textOf(page.fields[static_cast<std::size_t>(f)]);
    };
    std::string head(textOf(f1));
    for (const std::string_view hyphen : {"-", "\xC2\xAD", "\xE2\xB8\x97", "\xC2\xAC", "="}) {
      if (head.ends_with(hyphen)) {
        head.resize(head.size() - hyphen.size());
        break;
      }
    }
    const std::string whole = head.append(textOf(f2));
    for (const std::size_t half : {first, second}) {
      if (const XmlAttribute* subs = page.elements[half].attribute("SUBS_CONTENT");
          subs != nullptr && subs->value != whole)
        edits.push_back({subs->valueBegin, subs->valueEnd,
                         escapeAttribute(whole, bytes[subs->valueBegin - 1])});
    }
  }
  addProcessingStep(bytes, page, edits);
  return edits;
}

}  // namespace scanmend::pages::detail
