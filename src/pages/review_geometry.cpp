#include "pages/review_geometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "pages/formats.h"

namespace scanmend::pages {
namespace {

// The elements that carry boxes, IDs and the image's name, by the root.
bool geometryElement(std::string_view root, std::string_view name) {
  static constexpr std::string_view kAlto[] = {"String",   "HYP",  "TextLine",
                                               "fileName", "Page", "MeasurementUnit"};
  static constexpr std::string_view kPage[] = {"Page",      "TextRegion", "TextLine", "Word",
                                               "TextEquiv", "Unicode",    "Coords"};
  if (root == "alto") return std::find(std::begin(kAlto), std::end(kAlto), name) != std::end(kAlto);
  if (root == "PcGts")
    return std::find(std::begin(kPage), std::end(kPage), name) != std::end(kPage);
  return true;  // hOCR: a word's text may sit in any element within it
}

bool number(std::string_view text, double& value) {
  while (!text.empty() && isXmlSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isXmlSpace(text.back())) text.remove_suffix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(value) &&
         std::fabs(value) < 1e9;
}

Box fromCorners(double x0, double y0, double x1, double y1) {
  const auto at = [](double v) { return static_cast<std::int64_t>(std::floor(v)); };
  const auto upTo = [](double v) { return static_cast<std::int64_t>(std::ceil(v)); };
  if (x1 < x0 || y1 < y0) return {};
  return {at(x0), at(y0), upTo(x1) - at(x0), upTo(y1) - at(y0)};
}

// ALTO: HPOS, VPOS, WIDTH and HEIGHT.
Box altoBox(const XmlElement& element) {
  double v[4];
  const char* names[] = {"HPOS", "VPOS", "WIDTH", "HEIGHT"};
  for (int k = 0; k < 4; ++k) {
    const XmlAttribute* attribute = element.attribute(names[k]);
    if (attribute == nullptr || !number(attribute->value, v[k])) return {};
  }
  return fromCorners(v[0], v[1], v[0] + v[2], v[1] + v[3]);
}

// hOCR: the value of the title's property `name` ("bbox 1 2 3 4; image
// \"p.png\"" has bbox and image), without the name and the spaces around
// it; false where the title has no such property. "imagemd5" is no
// "image".
bool titleProperty(const XmlElement& element, std::string_view name, std::string_view& value) {
  const XmlAttribute* title = element.attribute("title");
  if (title == nullptr) return false;
  const std::string_view text = title->value;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find(';', at), text.size());
    std::string_view property = text.substr(at, end - at);
    at = end + 1;
    while (!property.empty() && isXmlSpace(property.front())) property.remove_prefix(1);
    while (!property.empty() && isXmlSpace(property.back())) property.remove_suffix(1);
    if (!property.starts_with(name) ||
        (property.size() > name.size() && !isXmlSpace(property[name.size()])))
      continue;
    property.remove_prefix(name.size());
    while (!property.empty() && isXmlSpace(property.front())) property.remove_prefix(1);
    value = property;
    return true;
  }
  return false;
}

// hOCR: the "bbox x0 y0 x1 y1" of the title.
Box hocrBox(const XmlElement& element) {
  std::string_view corners;
  if (!titleProperty(element, "bbox", corners)) return {};
  double v[4];
  std::size_t from = 0;
  for (int k = 0; k < 4; ++k) {
    while (from < corners.size() && corners[from] == ' ') ++from;
    const std::size_t to = std::min(corners.find(' ', from), corners.size());
    if (!number(corners.substr(from, to - from), v[k])) return {};
    from = to;
  }
  return fromCorners(v[0], v[1], v[2], v[3]);
}

// hOCR: the image of the title, quoted or not.
std::string hocrImage(const XmlElement& element) {
  std::string_view image;
  if (!titleProperty(element, "image", image)) return "";
  if (image.size() >= 2 && image.front() == '"') {
    const std::size_t close = image.find('"', 1);
    return std::string(
        image.substr(1, close == std::string_view::npos ? image.size() - 1 : close - 1));
  }
  return std::string(image);
}

// PAGE: the points "x,y x,y ..." of a Coords element.
Box pageBox(const XmlElement& coords) {
  const XmlAttribute* points = coords.attribute("points");
  if (points == nullptr) return {};
  const std::string_view text = points->value;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool any = false;
  for (std::size_t at = 0; at < text.size();) {
    while (at < text.size() && isXmlSpace(text[at])) ++at;
    std::size_t end = at;
    while (end < text.size() && !isXmlSpace(text[end])) ++end;
    const std::string_view point = text.substr(at, end - at);
    at = end;
    if (point.empty()) continue;
    const std::size_t comma = point.find(',');
    double x = 0, y = 0;
    if (comma == std::string_view::npos || !number(point.substr(0, comma), x) ||
        !number(point.substr(comma + 1), y))
      return {};
    x0 = any ? std::min(x0, x) : x;
    y0 = any ? std::min(y0, y) : y;
    x1 = any ? std::max(x1, x) : x;
    y1 = any ? std::max(y1, y) : y;
    any = true;
  }
  return any ? fromCorners(x0, y0, x1, y1) : Box{};
}

std::string idOf(const XmlElement& element) {
  for (const char* name : {"ID", "id"})
    if (const XmlAttribute* id = element.attribute(name); id != nullptr) return id->value;
  return "";
}

bool isHocrLine(const XmlElement& element) {
  for (const std::string_view kind : {"ocr_line", "ocr_header", "ocr_textfloat", "ocr_caption"})
    if (detail::hasClass(element, kind)) return true;
  return false;
}

struct Found {
  int word = -1;  // the element of the word's box and ID
  int line = -1;  // the element of its line's box
};

// The word and line elements of a token, from the element of its text.
Found findElements(const std::vector<XmlElement>& elements, Format format, int element) {
  Found found;
  for (int at = element; at >= 0; at = elements[static_cast<std::size_t>(at)].parent) {
    const XmlElement& e = elements[static_cast<std::size_t>(at)];
    if (format == Format::Alto) {
      if (found.word < 0 && (e.name == "String" || e.name == "HYP")) found.word = at;
      if (e.name == "TextLine") {
        found.line = at;
        break;
      }
    } else if (format == Format::Hocr) {
      if (found.word < 0 && detail::hasClass(e, "ocrx_word")) found.word = at;
      if (isHocrLine(e)) {
        found.line = at;
        break;
      }
    } else {
      if (found.word < 0 && (e.name == "Word" || e.name == "TextLine" || e.name == "TextRegion"))
        found.word = at;
      if (e.name == "TextLine" || e.name == "TextRegion") {
        found.line = at;
        break;
      }
    }
  }
  return found;
}

}  // namespace

Box Box::united(const Box& other) const {
  if (other.empty()) return *this;
  if (empty()) return other;
  const std::int64_t left = std::min(x, other.x);
  const std::int64_t top = std::min(y, other.y);
  const std::int64_t right = std::max(x + width, other.x + other.width);
  const std::int64_t bottom = std::max(y + height, other.y + other.height);
  return {left, top, right - left, bottom - top};
}

double pixelsPerUnit(const PageGeometry& geometry, int resolution) {
  if (geometry.unitsPerInch <= 0) return 1;
  return (resolution > 0 ? resolution : 300) / static_cast<double>(geometry.unitsPerInch);
}

Box scaledBox(const Box& box, double factor) {
  if (factor == 1 || box.empty()) return box;
  const auto at = [factor](std::int64_t v) {
    return static_cast<std::int64_t>(std::floor(static_cast<double>(v) * factor));
  };
  const auto upTo = [factor](std::int64_t v) {
    return static_cast<std::int64_t>(std::ceil(static_cast<double>(v) * factor));
  };
  return {at(box.x), at(box.y), upTo(box.x + box.width) - at(box.x),
          upTo(box.y + box.height) - at(box.y)};
}

Box partOfBox(const Box& box, std::size_t from, std::size_t to, std::size_t length) {
  if (box.empty() || length == 0 || to <= from || (from == 0 && to >= length)) return box;
  const std::int64_t left =
      box.x + box.width * static_cast<std::int64_t>(from) / static_cast<std::int64_t>(length);
  const std::int64_t right = box.x + box.width * static_cast<std::int64_t>(std::min(to, length)) /
                                         static_cast<std::int64_t>(length);
  return {left, box.y, std::max<std::int64_t>(right - left, 1), box.height};
}

PageGeometry pageGeometry(std::string_view bytes, const SourcePage& page) {
  PageGeometry geometry;
  geometry.ids.assign(page.tokens.size(), "");
  geometry.words.assign(page.tokens.size(), Box{});
  geometry.lines.assign(page.lineCount(), Box{});
  if (page.format == Format::Text) return geometry;
  std::vector<XmlElement> elements;
  XmlError error;
  if (!parseXml(bytes, elements, error, {}, geometryElement) || elements.empty()) return geometry;

  // The elements of the page's own parse, found here by the place of
  // their start tags.
  const auto elementAt = [&elements](Offset tagBegin) {
    const auto found =
        std::lower_bound(elements.begin(), elements.end(), tagBegin,
                         [](const XmlElement& e, Offset at) { return e.tagBegin < at; });
    return found != elements.end() && found->tagBegin == tagBegin
               ? static_cast<int>(found - elements.begin())
               : -1;
  };
  // PAGE's boxes are Coords children.
  std::vector<int> coordsOf;
  if (page.format == Format::Page) {
    coordsOf.assign(elements.size(), -1);
    for (std::size_t i = 0; i < elements.size(); ++i)
      if (elements[i].name == "Coords" && elements[i].parent >= 0 &&
          coordsOf[static_cast<std::size_t>(elements[i].parent)] < 0)
        coordsOf[static_cast<std::size_t>(elements[i].parent)] = static_cast<int>(i);
  }
  const auto boxOf = [&](int element) -> Box {
    if (element < 0) return {};
    const XmlElement& e = elements[static_cast<std::size_t>(element)];
    switch (page.format) {
      case Format::Alto:
        return altoBox(e);
      case Format::Hocr:
        return hocrBox(e);
      case Format::Page: {
        const int coords = coordsOf[static_cast<std::size_t>(element)];
        return coords < 0 ? Box{} : pageBox(elements[static_cast<std::size_t>(coords)]);
      }
      case Format::Text:
        break;
    }
    return {};
  };

  for (const XmlElement& e : elements) {
    if (page.format == Format::Alto && e.name == "fileName" && geometry.image.empty())
      geometry.image = e.text;
    if (page.format == Format::Alto && e.name == "MeasurementUnit") {
      if (e.text.find("mm10") != std::string::npos) geometry.unitsPerInch = 254;
      if (e.text.find("inch1200") != std::string::npos) geometry.unitsPerInch = 1200;
    }
    if (page.format == Format::Page && e.name == "Page" && geometry.image.empty())
      if (const XmlAttribute* file = e.attribute("imageFilename"); file != nullptr)
        geometry.image = file->value;
    if (page.format == Format::Hocr && geometry.image.empty() && detail::hasClass(e, "ocr_page"))
      geometry.image = hocrImage(e);
  }
  const auto trim = [](std::string& text) {
    const std::size_t begin = text.find_first_not_of(" \t\r\n");
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    text = begin == std::string::npos ? "" : text.substr(begin, end - begin + 1);
  };
  trim(geometry.image);

  std::vector<int> lineElements(page.lineCount(), -1);
  for (std::size_t line = 0; line < page.lineCount(); ++line) {
    for (const Token& token : page.line(line)) {
      const auto index = static_cast<std::size_t>(&token - page.tokens.data());
      const int own = page.fields[static_cast<std::size_t>(token.field)].element;
      if (own < 0 || static_cast<std::size_t>(own) >= page.elements.size()) continue;
      const int element = elementAt(page.elements[static_cast<std::size_t>(own)].tagBegin);
      if (element < 0) continue;
      const Found found = findElements(elements, page.format, element);
      if (found.word >= 0) {
        geometry.ids[index] = idOf(elements[static_cast<std::size_t>(found.word)]);
        geometry.words[index] = boxOf(found.word);
      }
      if (lineElements[line] < 0) lineElements[line] = found.line;
    }
    Box box = boxOf(lineElements[line]);
    if (box.empty())
      for (const Token& token : page.line(line))
        box = box.united(geometry.words[static_cast<std::size_t>(&token - page.tokens.data())]);
    geometry.lines[line] = box;
  }
  return geometry;
}

}  // namespace scanmend::pages
