#include "pages/xml_spans.h"

#include <gtest/gtest.h>

namespace scanmend::pages {
namespace {

std::string spanOf(std::string_view bytes, std::size_t begin, std::size_t end) {
  return std::string(bytes.substr(begin, end - begin));
}

// A file as OCR programs and hand edits leave them: a byte-order mark, a
// namespace prefix, CR LF, single and double quotes, attributes over several
// lines, entities, a comment, an empty element.
const std::string kFile =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<!-- made by hand -->\r\n"
    "<alto:alto xmlns:alto=\"http://www.loc.gov/standards/alto/ns-v3#\">\r\n"
    "  <alto:String ID='s1' CONTENT='Ge&#x17F;ellfchaft'\r\n"
    "      WC=\"0.91\" />\r\n"
    "  <String CONTENT = \"Tom &amp; Jerry\"/><TextEquiv><Unicode>a &lt; "
    "b</Unicode></TextEquiv>\r\n"
    "</alto:alto>\r\n";

TEST(ParseXml, GivesTheByteSpansOfTagsAttributeValuesAndContents) {
  std::vector<XmlElement> elements;
  XmlError error;
  ASSERT_TRUE(parseXml(kFile, elements, error)) << error.message;
  ASSERT_EQ(elements.size(), 5u);
  EXPECT_EQ(elements[0].name, "alto");
  EXPECT_EQ(elements[1].name, "String");
  EXPECT_EQ(elements[1].parent, 0);
  EXPECT_EQ(spanOf(kFile, elements[1].tagBegin, elements[1].tagEnd),
            "<alto:String ID='s1' CONTENT='Ge&#x17F;ellfchaft'\r\n      WC=\"0.91\" />");
  const XmlAttribute* content = elements[1].attribute("CONTENT");
  ASSERT_NE(content, nullptr);
  EXPECT_EQ(content->value,
            "Ge\xC5\xBF"
            "ellfchaft");
  EXPECT_EQ(spanOf(kFile, content->valueBegin, content->valueEnd), "Ge&#x17F;ellfchaft");
  EXPECT_EQ(
      spanOf(kFile, elements[1].attribute("WC")->valueBegin, elements[1].attribute("WC")->valueEnd),
      "0.91");
  EXPECT_EQ(elements[1].contentBegin, elements[1].contentEnd);  // an empty element
  const XmlAttribute* spaced = elements[2].attribute("CONTENT");
  EXPECT_EQ(spaced->value, "Tom & Jerry");
  EXPECT_EQ(spanOf(kFile, spaced->valueBegin, spaced->valueEnd), "Tom &amp; Jerry");
  EXPECT_EQ(elements[4].name, "Unicode");
  EXPECT_EQ(elements[4].parent, 3);
  EXPECT_EQ(elements[4].text, "a < b");
  EXPECT_EQ(spanOf(kFile, elements[4].contentBegin, elements[4].contentEnd), "a &lt; b");
}

TEST(ParseXml, KeepsTheNamedAttributesWithTheirSpansAndTheTextBeforeTheFirstChild) {
  std::vector<XmlElement> elements;
  XmlError error;
  const std::string_view kept[] = {"CONTENT"};
  ASSERT_TRUE(parseXml(kFile, elements, error, kept));
  EXPECT_EQ(elements[1].attributes.size(), 1u);
  EXPECT_EQ(elements[1].attribute("ID"), nullptr);
  const XmlAttribute* content = elements[1].attribute("CONTENT");
  ASSERT_NE(content, nullptr);
  EXPECT_EQ(spanOf(kFile, content->valueBegin, content->valueEnd), "Ge&#x17F;ellfchaft");
  EXPECT_EQ(elements[0].text, "") << "the white space between the elements is not kept";
  EXPECT_EQ(elements[3].text, "");
  EXPECT_EQ(elements[4].text, "a < b");

  // Mixed content: only the text before the first child is kept.
  ASSERT_TRUE(parseXml("<a>x<b>y</b>z</a>", elements, error));
  EXPECT_EQ(elements[0].text, "x");
  EXPECT_TRUE(elements[0].holdsElements);
  EXPECT_EQ(elements[1].text, "y");
}

TEST(ParseXml, BadBytesGiveTheLineAndColumn) {
  std::vector<XmlElement> elements;
  XmlError error;
  EXPECT_FALSE(parseXml("<a>\n  <b></a>\n", elements, error));
  EXPECT_EQ(error.line, 2u);
  EXPECT_EQ(error.column, 8u);  // at the name that does not match
  EXPECT_FALSE(error.message.empty());
  EXPECT_TRUE(elements.empty());
  EXPECT_FALSE(parseXml("", elements, error));
  EXPECT_FALSE(parseXml("<a x='1' x='2'/>", elements, error));  // a doubled attribute
}

TEST(ApplyEdits, ReplacesOnlyTheGivenSpans) {
  std::vector<XmlElement> elements;
  XmlError error;
  ASSERT_TRUE(parseXml(kFile, elements, error));
  const XmlAttribute* content = elements[1].attribute("CONTENT");
  EXPECT_EQ(applyEdits(kFile, {}), kFile);
  const std::string edited = applyEdits(
      kFile, {{elements[4].contentBegin, elements[4].contentEnd, escapeText("a > b & c")},
              {content->valueBegin, content->valueEnd,
               escapeAttribute("Ge\xC5\xBF"
                               "ell's",
                               '\'')}});
  std::string expected = kFile;
  expected.replace(expected.find("a &lt; b"), 8, "a &gt; b &amp; c");
  expected.replace(expected.find("Ge&#x17F;ellfchaft"), 18,
                   "Ge\xC5\xBF"
                   "ell&apos;s");
  EXPECT_EQ(edited, expected);
  ASSERT_TRUE(parseXml(edited, elements, error));
  EXPECT_EQ(elements[1].attribute("CONTENT")->value,
            "Ge\xC5\xBF"
            "ell's");
  EXPECT_EQ(elements[4].text, "a > b & c");
}

TEST(Escape, KeepsTheOtherQuote) {
  EXPECT_EQ(escapeAttribute("a\"b'c<&", '"'), "a&quot;b'c&lt;&amp;");
  EXPECT_EQ(escapeAttribute("a\"b'c", '\''), "a\"b&apos;c");
  EXPECT_EQ(escapeText("<x> & \"y\""), "&lt;x&gt; &amp; \"y\"");
}

}  // namespace
}  // namespace scanmend::pages
