// Writes the benchmark workloads: working directories with a dic.txt, pages
// under in/ and an empty out/; and the 400-page book again as ALTO files
// with their page images (book-alto/), for scanmend-pages correct and its
// review. Deterministic: the same bytes on every run.
//
//   make_workloads TARGET_DIRECTORY
//
// German-like words are built from syllables; the pages carry the
// misreadings of Fraktur OCR (long s as f, n/u, v/o, B for V, E for C, "="
// at line ends, "a*s dem").
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <unordered_set>
#include <vector>

#include "generator_support.h"

#ifdef SCANMEND_WITH_LEPTONICA
#include <allheaders.h>
#endif

namespace fs = std::filesystem;

namespace {

// clang-format off
const std::vector<std::string> kOnsets{"b", "d", "f", "g", "h", "k", "l", "m", "n", "p", "r",
                                       "s", "t", "w", "z", "sch", "st", "sp", "br", "tr", "gr",
                                       "kr", "fl", "pf", "v", "", "", "schw", "str", "bl"};
const std::vector<std::string> kVowels{"a", "e", "i", "o", "u", "\xE4", "\xF6", "\xFC", "ei",
                                       "au", "eu", "ie", "e", "e", "a"};
const std::vector<std::string> kCodas{"", "", "n", "r", "s", "t", "ch", "ck", "ng", "nd", "st",
                                      "\xDF", "l", "m", "rt", "ns", "ff", "ss"};
const std::vector<std::string> kEndings{"", "", "en", "er", "es", "e", "ung", "heit", "keit",
                                        "lich", "isch", "ern", "ens", "chen", "nis", "sam"};
const std::vector<std::string> kCapitals{"B", "D", "F", "G", "H", "K", "L", "M", "N", "P", "R",
                                         "S", "T", "W", "Z", "V", "C", "E", "A", "U", "I"};

// The most frequent words of German prose in the older spelling; in real
// text they make up about half of all words.
const std::vector<std::string> kFrequentWords{
    "der", "die", "und", "in", "den", "von", "zu", "das", "mit", "sich", "des", "auf",
    "f\xFCr", "ist", "im", "dem", "nicht", "ein", "eine", "als", "auch", "es", "an", "werden",
    "aus", "er", "hat", "da\xDF", "sie", "nach", "wird", "bei", "einer", "um", "am", "sind",
    "noch", "wie", "einem", "\xFC" "ber", "einen", "so", "zum", "war", "haben", "nur", "oder",
    "aber", "vor", "zur", "bis", "mehr", "durch", "man", "sein", "wurde", "sei", "Die", "Der",
    "Er", "Sie", "Es", "Das", "Und", "ich", "ihm", "ihn", "ihr", "ihre", "seine", "seiner",
    "wenn", "dann", "schon", "doch", "hatte", "waren", "k\xF6nnen", "mu\xDF", "wohl", "nun",
    "Herr", "Zeit", "Jahre", "Mann", "Leben", "Hand", "Tage", "Gott", "Welt", "Haus", "Vater",
    "Mutter", "Kinder", "Volk", "Stadt", "Land", "Krieg", "K\xF6nig", "Kirche", "Geschichte",
    "Capitel", "Vorrede", "Th\xFCr", "Theil", "seyn", "bey", "gethan", "wurden", "worden",
    "immer", "wieder", "unter", "gegen", "ohne", "selbst", "diese", "dieser", "diesem",
    "jetzt", "hier", "dort", "sehr", "viel", "alle", "allen", "einige", "andere", "anderen",
    "gro\xDF" "e", "gro\xDF" "en", "kleine", "alten", "neue", "ersten", "ganze", "gut", "lange",
    "sagte", "sprach", "ging", "kam", "sah", "stand", "lag", "hielt", "nahm", "gab", "fand",
    "Jahr", "Tag", "Nacht", "Morgen", "Abend", "Weg", "Wort", "Sache", "Menschen", "Freund",
};
// clang-format on

std::string makeWord(Random& random) {
  std::string word;
  const std::size_t syllables = 1 + random.below(2) + random.below(2);
  for (std::size_t i = 0; i < syllables; ++i)
    word += random.pick(kOnsets) + random.pick(kVowels) + random.pick(kCodas);
  word += random.pick(kEndings);
  if (random.chance(0.3)) {
    const std::string capital = random.pick(kCapitals);
    word = capital + word;
  }
  return word;
}

std::vector<std::string> makeDictionaryWords(std::size_t count, std::uint64_t seed) {
  Random random(seed);
  std::vector<std::string> words{"ans"};
  std::unordered_set<std::string> seen(words.begin(), words.end());
  for (const std::string& word : kFrequentWords)
    if (seen.insert(word).second) words.push_back(word);
  while (words.size() < count) {
    std::string word = makeWord(random);
    if (seen.insert(word).second) words.push_back(std::move(word));
  }
  return words;
}

void writeDictionary(const fs::path& path, const std::vector<std::string>& words) {
  std::string bytes;
  for (const std::string& word : words) bytes += word + "\r\n";
  writeBytes(path, bytes);
}

std::string misread(const std::string& word, Random& random) {
  std::string out = word;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const bool last = i + 1 == out.size();
    char& c = out[i];
    if (c == 's' && !last && random.chance(0.5))
      c = 'f';
    else if (c == 'n' && random.chance(0.04))
      c = 'u';
    else if (c == 'u' && random.chance(0.04))
      c = 'n';
    else if (c == 'v' && random.chance(0.3))
      c = 'o';
    else if (c == 'V' && i == 0 && random.chance(0.3))
      c = 'B';
    else if (c == 'C' && i == 0 && random.chance(0.5))
      c = 'E';
  }
  return out;
}

// Running text: words from the dictionary (a few hundred frequent ones
// most of the time), some unknown, punctuation, lines of about 60 bytes,
// about 8% of them ending in a word broken with "=".
class TextWriter {
 public:
  TextWriter(const std::vector<std::string>& dictionary, std::uint64_t seed)
      : dictionary_(dictionary), random_(seed) {}

  std::string page(std::size_t words) {
    std::string text;
    std::string line;
    for (std::size_t i = 0; i < words; ++i) {
      std::string word = nextWord();
      if (random_.chance(0.08)) word += random_.pick(std::vector<std::string>{",", ".", ";", ":"});
      if (!line.empty() && line.size() + 1 + word.size() > 60) {
        if (word.size() >= 6 && random_.chance(0.5)) {
          const std::size_t cut = 2 + random_.below(word.size() - 4);
          text += line + " " + word.substr(0, cut) + "=\n";
          line = word.substr(cut);
          continue;
        }
        text += line + "\n";
        line.clear();
      }
      line += (line.empty() ? "" : " ") + word;
    }
    return text + line + "\n";
  }

 private:
  std::string nextWord() {
    if (random_.chance(0.005)) return "a*s dem";
    if (random_.chance(0.03)) return makeWord(random_) + "x";  // not in the dictionary
    if (random_.chance(0.5)) return misread(random_.pick(kFrequentWords), random_);
    // Content words: a few thousand common ones most of the time.
    const std::size_t common = std::min<std::size_t>(dictionary_.size(), 5000);
    const std::string& word =
        random_.chance(0.7) ? dictionary_[random_.below(common)] : random_.pick(dictionary_);
    return misread(word, random_);
  }

  const std::vector<std::string>& dictionary_;
  Random random_;
};

fs::path makeWorkingDirectory(const fs::path& root, const std::string& name,
                              const fs::path& dictionary) {
  const fs::path dir = root / name;
  fs::remove_all(dir);
  fs::create_directories(dir / "in");
  fs::create_directories(dir / "out");
  fs::create_symlink(fs::absolute(dictionary), dir / "dic.txt");
  return dir;
}

#ifdef SCANMEND_WITH_LEPTONICA
std::string utf8(const std::string& windows1252) {
  std::string out;
  for (const char c : windows1252) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {  // the generator's letters are all in Latin-1
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

std::string escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '"')
      out += "&quot;";
    else
      out += c;
  }
  return out;
}

// A page as tesseract's ALTO lays it out at 300 dpi on A4, and its image:
// grey paper, each letter a dark stroke in its word's box, as a greyscale
// JPEG of quality 75, as scans come.
void writeAltoPage(const fs::path& folder, std::size_t number, const std::string& text) {
  constexpr int kWidth = 2480, kHeight = 3508, kLeft = 220, kTop = 240, kLineHeight = 62,
                kLineStep = 74, kLetter = 24, kSpace = 18;
  char stem[16];
  std::snprintf(stem, sizeof stem, "%03zu", number);
  PIX* pix = pixCreate(kWidth, kHeight, 8);
  pixSetAllArbitrary(pix, 232);
  std::string alto =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<alto "
      "xmlns=\"http://www.loc.gov/standards/alto/ns-v3#\">\n<Description>"
      "<MeasurementUnit>pixel</MeasurementUnit><sourceImageInformation><fileName>" +
      std::string(stem) +
      ".jpg</fileName></sourceImageInformation></Description>\n<Layout><Page "
      "WIDTH=\"2480\" HEIGHT=\"3508\"><PrintSpace><TextBlock ID=\"block_0\">\n";
  std::size_t line = 0, string = 0;
  for (std::size_t at = 0; at < text.size(); ++line) {
    const std::size_t end = text.find('\n', at);
    std::string content = text.substr(at, end - at);
    at = end + 1;
    if (!content.empty() && content.back() == '=') content.back() = '-';
    const int top = kTop + static_cast<int>(line) * kLineStep;
    std::string strings;
    int x = kLeft;
    for (std::size_t from = 0; from < content.size();) {
      std::size_t to = content.find(' ', from);
      if (to == std::string::npos) to = content.size();
      const std::string word = content.substr(from, to - from);
      from = to + 1;
      if (word.empty()) continue;
      const int width = static_cast<int>(word.size()) * kLetter;
      for (std::size_t k = 0; k < word.size(); ++k) {
        // A long line runs past the page's edge, as a page image cuts it off.
        if (x + static_cast<int>(k + 1) * kLetter > kWidth || top + kLineHeight > kHeight) break;
        BOX* stroke =
            boxCreate(x + static_cast<int>(k) * kLetter + 4, top + 10, 9, kLineHeight - 22);
        pixSetInRectArbitrary(pix, stroke, 25 + static_cast<unsigned>(word[k] & 31));
        boxDestroy(&stroke);
      }
      const auto id = string++;
      strings += "<String ID=\"string_" + std::to_string(id) + "\" HPOS=\"" +
                 std::to_string(x) + "\" VPOS=\"" + std::to_string(top) + "\" WIDTH=\"" +
                 std::to_string(width) + "\" HEIGHT=\"" + std::to_string(kLineHeight) +
                 "\" WC=\"0.9" + std::to_string(id % 10) + "\" CONTENT=\"" +
                 escaped(utf8(word)) + "\"/>";
      x += width + kSpace;
    }
    alto += "<TextLine ID=\"line_" + std::to_string(line) + "\" HPOS=\"" + std::to_string(kLeft) +
            "\" VPOS=\"" + std::to_string(top) + "\" WIDTH=\"" + std::to_string(x - kLeft) +
            "\" HEIGHT=\"" + std::to_string(kLineHeight) + "\">" + strings + "</TextLine>\n";
  }
  alto += "</TextBlock></PrintSpace></Page></Layout>\n</alto>\n";
  writeBytes(folder / (std::string(stem) + ".xml"), alto);
  pixWrite((folder / (std::string(stem) + ".jpg")).c_str(), pix, IFF_JFIF_JPEG);
  pixDestroy(&pix);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_workloads TARGET_DIRECTORY\n";
    return 2;
  }
  const fs::path root = argv[1];
  fs::create_directories(root / "dictionaries");

  const std::vector<std::string> large = makeDictionaryWords(2000000, 2);
  std::vector<std::string> book(large.begin(), large.begin() + 415000);
  {  // long words of confusable letters, so that such page words have a length group to search
    Random random(7);
    for (const std::size_t length : {40, 80, 200})
      for (int i = 0; i < 100; ++i) {
        std::string word(length, ' ');
        for (char& c : word) c = "nuovfsBV"[random.below(8)];
        book.push_back(word);
      }
  }
  const fs::path bookDictionary = root / "dictionaries/dic-415k.txt";
  const fs::path largeDictionary = root / "dictionaries/dic-2m.txt";
  writeDictionary(bookDictionary, book);
  writeDictionary(largeDictionary, large);

  TextWriter writer(book, 3);
  {  // a book of 400 pages of about 300 words; as ALTO with page images too
    const fs::path dir = makeWorkingDirectory(root, "book", bookDictionary);
#ifdef SCANMEND_WITH_LEPTONICA
    const fs::path alto = root / "book-alto";
    fs::remove_all(alto);
    fs::create_directories(alto);
#endif
    for (std::size_t n = 1; n <= 400; ++n) {
      const std::string page = writer.page(300);
      writeBytes(dir / "in" / pageName(n), withCrLf(page));
#ifdef SCANMEND_WITH_LEPTONICA
      writeAltoPage(alto, n, page);
#endif
    }
  }
  {  // the 2-million-word dictionary and one page
    const fs::path dir = makeWorkingDirectory(root, "dictionary-2m", largeDictionary);
    writeBytes(dir / "in" / pageName(1), withCrLf(writer.page(300)));
  }
  // Whole books in one page file: 1, 2, 4, 8 and 10 MB.
  std::string big;
  while (big.size() < 10u << 20) big += withCrLf(writer.page(2000));
  for (const std::size_t megabytes : {1, 2, 4, 8, 10}) {
    const fs::path dir =
        makeWorkingDirectory(root, "page-" + std::to_string(megabytes) + "mb", bookDictionary);
    std::string page = big.substr(0, megabytes << 20);
    page = page.substr(0, page.rfind('\n') + 1);
    writeBytes(dir / "in" / pageName(1), page);
  }
  {  // 100,000 line-end markers
    const fs::path dir = makeWorkingDirectory(root, "markers", bookDictionary);
    Random random(5);
    std::string page;
    for (int i = 0; i < 100000; ++i) {
      const std::string& word = random.pick(book);
      const std::size_t cut = word.size() > 2 ? 1 + random.below(word.size() - 1) : 1;
      page += "und die " + word.substr(0, cut) + "=\n" + word.substr(cut) + " der\n";
    }
    writeBytes(dir / "in" / pageName(1), withCrLf(page));
  }
  {  // 50 words each of 40, 80 and 200 confusable letters
    const fs::path dir = makeWorkingDirectory(root, "long-words", bookDictionary);
    Random random(6);
    const std::string confusable = "nuovfsBV";
    std::string page;
    for (const std::size_t length : {40, 80, 200}) {
      for (int i = 0; i < 50; ++i) {
        std::string word(length, ' ');
        for (char& c : word) c = confusable[random.below(confusable.size())];
        page += word + (i % 5 == 4 ? "\n" : " ");
      }
    }
    writeBytes(dir / "in" / pageName(1), withCrLf(page));
  }
  std::cout << "workloads written to " << root << "\n";
  return 0;
}
