#include "pages/characters.h"

#include <gtest/gtest.h>

namespace scanmend::pages {
namespace {

struct CharacterCase {
  std::string utf8;
  std::string bytes;  // what the correction reads
};

// Written as UTF-8 bytes: the long s is "\xC5\xBF", the combining small e
// above "\xCD\xA4", the r rotunda "\xEA\x9D\x9B", the double hyphen
// "\xE2\xB8\x97".
TEST(ImportCharacters, ReadsEachCharacterAsTheByteTheCorrectionSees) {
  const std::vector<CharacterCase> cases{
      {"Haus", "Haus"},
      {"Ge\xC5\xBF"
       "ellfchaft",
       "Gesellfchaft"},
      {"u\xCD\xA4"
       "ber",
       "\xFC"
       "ber"},  // u with small e above
      {"Gro\xCC\x88"
       "\xC3\x9F"
       "e",
       "Gr\xF6\xDF"
       "e"},  // o with combining diaeresis, sharp s
      {"A\xCD\xA4"
       "rger",
       "\xC4rger"},
      {"e\xCD\xA4", "e\xA4"},  // no umlaut of e: an unreadable mark
      {"\xEA\x9D\x9B"
       "echt",
       "recht"},
      {"\xE2\x80\x9E"
       "Ja\xE2\x80\x9C \xE2\x82\xAC",
       "\x84"
       "Ja\x93 \x80"},  // quotes, euro
      {"Ver\xE2\xB8\x97", "Ver-"},
      {"\xE2\x98\x83", "\xA4"},  // a snowman: unreadable
      {"a\xFF"
       "b",
       "a\xA4"
       "b"},                             // invalid UTF-8: unreadable
      {"\xED\xA0\x80", "\xA4\xA4\xA4"},  // a surrogate is no character
      {"Schi\xEF\xAC\x80"
       "e",
       "Schi\xA4"
       "e"},  // the ligature ff, which Windows-1252 lacks
      {"", ""},
  };
  for (const CharacterCase& c : cases) {
    const ImportedText text = importCharacters(c.utf8);
    EXPECT_EQ(text.bytes, c.bytes) << c.utf8;
    ASSERT_EQ(text.ends.size(), text.bytes.size());
    std::string joined;
    for (std::size_t i = 0; i < text.bytes.size(); ++i) {
      EXPECT_FALSE(text.sourceOf(i, i + 1).empty()) << c.utf8;
      joined += text.sourceOf(i, i + 1);
    }
    EXPECT_EQ(joined, c.utf8) << "every source byte belongs to one imported byte";
  }
}

TEST(ExportCharacters, KeepsTheSourceWhereTheCorrectionLeftALetter) {
  const ImportedText text = importCharacters(
      "Ge\xC5\xBF"
      "ellfchaft");
  EXPECT_EQ(exportCharacters(text, "Gesellschaft"),
            "Ge\xC5\xBF"
            "ellschaft");
  EXPECT_EQ(exportCharacters(text, text.bytes),
            "Ge\xC5\xBF"
            "ellfchaft");
  // A character that Windows-1252 lacks comes back as it was, in a word
  // corrected around it too.
  const ImportedText ligature = importCharacters(
      "Schi\xEF\xAC\x80"
      "e fah");
  EXPECT_EQ(exportCharacters(ligature,
                             "Schi\xA4"
                             "e sah"),
            "Schi\xEF\xAC\x80"
            "e sah");
  const ImportedText umlaut = importCharacters("fu\xCD\xA4r");
  EXPECT_EQ(exportCharacters(umlaut, "f\xFCr"), "fu\xCD\xA4r");
  EXPECT_EQ(exportCharacters(umlaut, "s\xFCr"), "su\xCD\xA4r");
  // A corrected word of another length keeps the beginning and the end it
  // shares with the imported one.
  EXPECT_EQ(exportCharacters(text, "Gesell*"),
            "Ge\xC5\xBF"
            "ell*");
  // A word cut out of a longer piece keeps its own source characters.
  const ImportedText part = umlaut.part(1, 3);
  EXPECT_EQ(part.bytes, "\xFCr");
  EXPECT_EQ(exportCharacters(part, "\xFCr"), "u\xCD\xA4r");
  EXPECT_EQ(exportCharacters(part, "\xFCt"), "u\xCD\xA4t");
  EXPECT_EQ(exportCharacters(importCharacters("Stra\xC5\xBFze"),
                             "Stra\xDF"
                             "e"),
            "Stra\xC3\x9F"
            "e");
  EXPECT_EQ(exportCharacters(importCharacters("\xC5\xBFo"), "sso"), "\xC5\xBFso");
  EXPECT_EQ(exportCharacters(importCharacters("\xC3\x9F"), "\x80"), "\xE2\x82\xAC");
}

TEST(Windows1252ToUtf8, EveryByteHasOneCharacter) {
  EXPECT_EQ(windows1252ToUtf8('a'), "a");
  EXPECT_EQ(windows1252ToUtf8(0xFC), "\xC3\xBC");
  EXPECT_EQ(windows1252ToUtf8(0x84), "\xE2\x80\x9E");
  EXPECT_EQ(windows1252ToUtf8(0x81), "\xEF\xBF\xBD");  // undefined: the replacement character
  // Control characters would end a page or a line on disk.
  EXPECT_EQ(importCharacters("\x1A").bytes, "\xA4");
  for (int byte = 0x20; byte < 256; ++byte) {
    if (byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
        byte == 0x9D)
      continue;
    const ImportedText back = importCharacters(windows1252ToUtf8(static_cast<unsigned char>(byte)));
    EXPECT_EQ(back.bytes, std::string(1, static_cast<char>(byte))) << byte;
  }
}

}  // namespace
}  // namespace scanmend::pages
