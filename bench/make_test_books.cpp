// Writes test books with known misreading profiles, to judge the advice of
// scanmend-advise against the truth. Deterministic: the same bytes on every
// run.
//
//   make_test_books WORD_LIST TARGET_DIRECTORY [PAGES]
//
// WORD_LIST is a full-form word list in UTF-8, one word a line (Debian's
// wogerman: /usr/share/dict/ogerman). For each profile the target gets a
// working directory with
//   dic.txt      the word list in Windows-1252, less 4% of its forms, which
//                the text still uses (as real dictionaries lack rare forms:
//                their neighbours are listed, "schoenen" beside "schoener");
//   truth/NNN.txt the true pages;
//   in/NNN.txt   the same pages with the profile's misreadings;
//   out/         empty;
//   exact.txt    the command-line words that declare exactly the profile.
// The text: frequent words of older German prose for half the words, the
// rest from the word list with a Zipf-like spread, sentence starts
// capitalised ("Die", which the list only knows as "die"), names that no
// dictionary knows, punctuation, lines of about 60 bytes of which 8% end in
// a word broken with "=".
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <unordered_set>
#include <vector>

#include "generator_support.h"

namespace fs = std::filesystem;

namespace {

// UTF-8 to Windows-1252; false for a character it does not have.
bool toWindows1252(const std::string& utf8, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    unsigned codePoint = 0;
    std::size_t length = 1;
    if (lead < 0x80) {
      codePoint = lead;
    } else if ((lead & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
      codePoint = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
      length = 2;
    } else {
      return false;
    }
    if (codePoint < 0x20 || (codePoint >= 0x80 && codePoint < 0xA0) || codePoint > 0xFF)
      return false;
    out += static_cast<char>(codePoint);
    i += length;
  }
  return !out.empty();
}

// clang-format off
const std::vector<std::string> kFrequentWords{
    "der", "die", "und", "in", "den", "von", "zu", "das", "mit", "sich", "des", "auf",
    "f\xFCr", "ist", "im", "dem", "nicht", "ein", "eine", "als", "auch", "es", "an", "werden",
    "aus", "er", "hat", "da\xDF", "sie", "nach", "wird", "bei", "einer", "um", "am", "sind",
    "noch", "wie", "einem", "\xFC" "ber", "einen", "so", "zum", "war", "haben", "nur", "oder",
    "aber", "vor", "zur", "bis", "mehr", "durch", "man", "sein", "wurde", "sei", "ich", "ihm",
    "ihn", "ihr", "ihre", "seine", "seiner", "wenn", "dann", "schon", "doch", "hatte", "waren",
    "k\xF6nnen", "mu\xDF", "wohl", "nun", "Herr", "Zeit", "Jahre", "Mann", "Leben", "Hand",
    "Tage", "Gott", "Welt", "Haus", "Vater", "Mutter", "Kinder", "Volk", "Stadt", "Land",
    "Krieg", "K\xF6nig", "Kirche", "Geschichte", "Capitel", "Vorrede", "Theil", "seyn", "bey",
    "gethan", "wurden", "worden", "immer", "wieder", "unter", "gegen", "ohne", "selbst",
    "diese", "dieser", "diesem", "jetzt", "hier", "dort", "sehr", "viel", "alle", "allen",
    "andere", "anderen", "gro\xDF" "e", "gro\xDF" "en", "kleine", "alten", "neue", "ersten",
    "ganze", "gut", "lange", "sagte", "sprach", "ging", "kam", "sah", "stand", "lag", "hielt",
    "nahm", "gab", "fand", "Jahr", "Tag", "Nacht", "Morgen", "Abend", "Weg", "Wort", "Sache",
    "Menschen", "Freund", "Vaterland", "Gesellschaft", "Verh\xE4ltnisse", "Kenntnisse",
    "Jugend", "jener", "jedoch", "sondern", "soll", "sollte", "muss", "musste", "viele",
    "Erkenntni\xDF", "Schlo\xDF", "Staat", "Kaiser", "Volkes", "Herzog", "Grafen", "Jahrhundert",
};
const std::vector<std::string> kNames{
    "Reinhold", "Gerhard", "Wolfram", "Hildebrand", "Kunigunde", "Ottokar", "Brunhild",
    "Wittekind", "Eberhard", "Sigismund", "Adelheid", "Leopold", "Friedrich", "Mathilde",
    "Hohenstaufen", "Wittelsbach", "Regensburg", "N\xFCrnberg", "Hildesheim", "Quedlinburg",
};
// The spelling of the period before 1901, which the dictionary (of 1901
// and later) lacks, and compounds that it lacks too: the historical book
// uses them beside the words above.
const std::vector<std::string> kHistoricalWords{
    "Theil", "Theile", "Theils", "Rath", "Werth", "gethan", "nothwendig", "Noth", "Muth",
    "Th\xFCr", "Thal", "Wohlth\xE4tigkeit", "seyn", "sey", "zwey", "drey", "Parteyen", "giebt",
    "gieng", "andern", "unserm", "besondern", "gehn", "siehet", "Verh\xE4ltni\xDF",
    "Zeugni\xDF", "Ereigni\xDF", "Jch", "Jn", "Jhr", "Jhnen", "H\xFClfe", "Classe", "Director",
    "Procent", "Uebel", "Ueber", "Oeffnung", "todt", "jezt", "sezt", "Waare", "marschiren",
    "Crise", "Sylbe", "Kayser", "December", "Gr\xE4nze", "zur\xFCk", "Stadtrath",
    "Gutsbesitzer", "Kirchenvorstand", "Schulhaus", "Rittergutsbesitzer", "Landesvater",
};
// clang-format on

struct Misreading {
  char truth;
  char scanned;
  double rate;
  enum Where { Anywhere, NotLast, First } where = Anywhere;
};

struct Profile {
  std::string name;
  std::vector<Misreading> misreadings;
  std::string exact;  // the command-line words that declare exactly these
  bool historical = false;  // one word in six in the spelling of the period
};

const std::vector<Profile> kProfiles{
    // a recognition model that reads Fraktur well: nothing to declare
    {"none", {}, "="},
    {"long-s", {{'s', 'f', 0.8, Misreading::NotLast}}, "Ufs finals ="},
    {"long-s-nu-vo-BV-CE",
     {{'s', 'f', 0.8, Misreading::NotLast},
      {'n', 'u', 0.03},
      {'u', 'n', 0.03},
      {'v', 'o', 0.3},
      {'V', 'B', 0.5},
      {'C', 'E', 0.6}},
     "Ufs finals Bnu Bov BBV UEC ="},
    {"capitals",
     {{'V', 'D', 0.5}, {'G', 'b', 0.3}, {'k', 't', 0.05}, {'E', 'f', 0.3}, {'H', 'h', 0.3}},
     "UDV UbG Utk UfE UhH ="},
    {"mix",
     {{'c', 'e', 0.05},
      {'e', 'c', 0.02},
      {'r', 't', 0.03},
      {'t', 'r', 0.02},
      {'h', 'b', 0.04},
      {'b', 'h', 0.03},
      {'l', 'i', 0.03},
      {'i', 'l', 0.02},
      {'s', 'f', 0.5, Misreading::NotLast},
      {'s', 'l', 0.2, Misreading::NotLast}},
     "Bce Brt Bbh Bil Ufs finals ="},
    // a book of the period: its own spelling and compounds, misread as
    // Fraktur is
    {"historical",
     {{'s', 'f', 0.6, Misreading::NotLast},
      {'n', 'u', 0.03},
      {'u', 'n', 0.03},
      {'e', 'c', 0.02},
      {'V', 'D', 0.3}},
     "Ufs finals Bnu Uec UDV =",
     true},
};

std::string misread(const std::string& word, const Profile& profile, Random& random) {
  std::string out = word;
  for (std::size_t i = 0; i < word.size(); ++i) {
    for (const Misreading& m : profile.misreadings) {
      if (word[i] != m.truth) continue;
      if (m.where == Misreading::NotLast && i + 1 == word.size()) continue;
      if (m.where == Misreading::First && i != 0) continue;
      if (random.chance(m.rate)) {
        out[i] = m.scanned;
        break;
      }
    }
  }
  return out;
}

char capital(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7))
    return static_cast<char>(byte - 32);
  return c;
}

// The true text of one page, as tokens: words and the separators after them.
struct Token {
  std::string word;
  std::string after;  // " ", ", ", ". ", ...
};

class TextWriter {
 public:
  TextWriter(const std::vector<std::string>& content, Random& random, bool historical)
      : content_(content), random_(random), historical_(historical) {}

  std::vector<Token> page(std::size_t words) {
    std::vector<Token> tokens;
    bool sentenceStart = true;
    for (std::size_t i = 0; i < words; ++i) {
      std::string word = nextWord();
      if (sentenceStart) word[0] = capital(word[0]);
      const double p = random_.unit();
      std::string after = p < 0.07 ? ". " : p < 0.14 ? ", " : p < 0.16 ? "; " : " ";
      sentenceStart = after == ". ";
      tokens.push_back({word, after});
    }
    return tokens;
  }

 private:
  std::string nextWord() {
    if (historical_ && random_.chance(1.0 / 6))
      return kHistoricalWords[random_.below(kHistoricalWords.size())];
    if (random_.chance(0.02)) return kNames[random_.below(kNames.size())];
    if (random_.chance(0.5)) return kFrequentWords[random_.below(kFrequentWords.size())];
    // Zipf-like: rank r with weight 1 / r over the shuffled content words.
    const double u = random_.unit();
    const auto rank = static_cast<std::size_t>(std::pow(static_cast<double>(content_.size()), u));
    return content_[std::min(rank, content_.size()) - 1];
  }

  const std::vector<std::string>& content_;
  Random& random_;
  bool historical_;
};

// Lays tokens out in lines of about 60 bytes; 8% of the line ends break a
// word with "=". `spell` gives the form of each word on this page (true or
// misread), so that truth and OCR share their line breaks.
std::string layOut(const std::vector<Token>& tokens, const std::vector<std::string>& spelled,
                   std::uint64_t seed) {
  Random random(seed);
  std::string text;
  std::string line;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::string piece = spelled[i] + tokens[i].after;
    if (!line.empty() && line.size() + piece.size() > 62) {
      if (spelled[i].size() >= 6 && random.chance(0.16)) {
        const std::size_t cut = 2 + random.below(spelled[i].size() - 4);
        text += line + spelled[i].substr(0, cut) + "=\n";
        line = spelled[i].substr(cut) + tokens[i].after;
        continue;
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      text += line + "\n";
      line.clear();
    }
    line += piece;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return text + line + "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: make_test_books WORD_LIST TARGET_DIRECTORY [PAGES]\n";
    return 2;
  }
  const std::size_t pages = argc > 3 ? std::stoul(argv[3]) : 200;
  std::ifstream list(argv[1]);
  if (!list) {
    std::cerr << "make_test_books: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::vector<std::string> forms;
  std::unordered_set<std::string> seen;
  for (std::string line, word; std::getline(list, line);)
    if (toWindows1252(line, word) && seen.insert(word).second) forms.push_back(word);

  Random random(20261207);
  // 4% of the forms are missing from the dictionary but used in the text.
  std::string dictionary;
  std::unordered_set<std::string> frequent(kFrequentWords.begin(), kFrequentWords.end());
  std::vector<std::string> content;
  for (const std::string& form : forms) {
    if (frequent.count(form) != 0 || random.chance(0.96)) dictionary += form + "\r\n";
    if (form.size() >= 3 && form.size() <= 16) content.push_back(form);
  }
  for (const std::string& word : kFrequentWords)
    if (seen.count(word) == 0) dictionary += word + "\r\n";
  for (std::size_t i = content.size(); i > 1; --i)
    std::swap(content[i - 1], content[random.below(i)]);

  const fs::path root = argv[2];
  for (const Profile& profile : kProfiles) {
    const fs::path dir = root / profile.name;
    fs::remove_all(dir);
    for (const char* sub : {"in", "out", "truth"}) fs::create_directories(dir / sub);
    writeBytes(dir / "dic.txt", dictionary);
    writeBytes(dir / "exact.txt", profile.exact + "\n");
    Random text(7);  // every profile gets the same true text
    Random noise(11);
    TextWriter writer(content, text, profile.historical);
    for (std::size_t n = 1; n <= pages; ++n) {
      const std::vector<Token> tokens = writer.page(300);
      std::vector<std::string> truth;
      std::vector<std::string> scanned;
      for (const Token& token : tokens) {
        truth.push_back(token.word);
        scanned.push_back(misread(token.word, profile, noise));
      }
      writeBytes(dir / "truth" / pageName(n), withCrLf(layOut(tokens, truth, n)));
      writeBytes(dir / "in" / pageName(n), withCrLf(layOut(tokens, scanned, n)));
    }
  }
  std::cout << "test books written to " << root << "\n";
  return 0;
}
