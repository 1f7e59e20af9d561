#include "learn/learn_run.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unordered_map>

#include "base/encoding_guess.h"
#include "base/letters.h"
#include "base/user_text.h"
#include "base/version.h"
#include "base/windows1252.h"
#include "book/book.h"
#include "book/book_hyphens.h"
#include "book/ocr_evidence.h"
#include "book/word_core.h"
#include "correction/line_joining.h"
#include "correction/phrase_repairs.h"
#include "correction/run_stats.h"
#include "correction/unknown_words.h"
#include "correction/word_splitting.h"
#include "dictionary/sorted_words.h"
#include "files/replacement.h"
#include "files/text_files.h"
#include "learn/decision.h"
#include "learn/line_breaks.h"
#include "learn/ocr_weighing.h"
#include "learn/reviewed_words.h"
#include "profile/known_words.h"
#include "profile/learning.h"
#include "profile/ocr_prior.h"
#include "profile/profile.h"
#include "profile/spelling.h"
#include "profile/spelling_weights.h"

namespace scanmend::learn {
namespace {

constexpr int kExitNotRead = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotWritten = 2;

constexpr std::string_view kUsage =
    "Usage: scanmend-learn [--profile FILE] [--spelling FILE] [--prior FILE]...\n"
    "                      [--decisions FILE] [--learn-only] [--mark-uncertain]\n"
    "                      [--marks-as-read]\n"
    "\n"
    "Run in a book's working directory: reads dic.txt and the pages in/001.txt,\n"
    "in/002.txt, ..., learns which letters this book's OCR misreads as what,\n"
    "and corrects every word by its likeliest dictionary reading. Writes the\n"
    "pages to out/, the unresolved words to word_fr.txt (as scanmend does),\n"
    "the learned profile to profile.tsv and the changed words to changes.tsv.\n"
    "The pages are Windows-1252 text; dic.txt and a profile given may also be\n"
    "UTF-8.\n"
    "\n"
    "  --profile FILE    correct with this profile (as profile.tsv is written)\n"
    "                    instead of learning one\n"
    "  --spelling FILE   the historical spellings to keep, instead of the table\n"
    "                    shipped (see the manual page)\n"
    "  --prior FILE      start from this profile of what the OCR usually misreads\n"
    "                    instead of those shipped (several: the likeliest)\n"
    "  --decisions FILE  what a person decided in review (decisions.tsv): kept,\n"
    "                    known and learned from as the book's own truth\n"
    "  --learn-only      write profile.tsv and nothing else\n"
    "  --mark-uncertain  where the likeliest reading has a probability below one\n"
    "                    half, write the word with \"*\" where its readings differ\n"
    "                    instead, as scanmend does\n"
    "  --marks-as-read   a letter or mark read for the hyphen at a line end\n"
    "                    stays as read (scanmend-pages correct, which writes\n"
    "                    back words only, asks for it)\n"
    "  --help, -h        print this help\n"
    "  --version         print the version\n";

constexpr std::string_view kChangesHeader =
    "scanned\twritten\treason\tprobability\trunner_up\trunner_up_probability\tcount\tpages\t"
    "detail\n";
// A word kept with a reason beyond the dictionary is listed where its
// likeliest reading is less likely than this.
constexpr double kInDoubt = 0.9;

struct Settings {
  std::string profileFile;
  std::string decisionsFile;
  std::string spellingFile;
  std::vector<std::string> priorFiles;
  bool learnOnly = false;
  bool markUncertain = false;
  bool marksAsRead = false;
};

std::string utf8(std::string_view windows1252) {
  std::string out;
  for (const char c : windows1252) {
    const auto byte = static_cast<unsigned char>(c);
    appendUtf8(out, isDefinedInWindows1252(byte) ? codePointOf(byte) : 0xFFFD);
  }
  return out;
}

std::string fixed(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

std::string pageList(const std::vector<std::int64_t>& pages) {
  std::string out;
  for (const std::int64_t page : pages)
    out.append(out.empty() ? "" : ",").append(std::to_string(page));
  return out;
}

// Whether the period at `dot` ends a number ("den 31. Mai") or a single
// letter ("S. 12", "d. h.") rather than a sentence.
bool endsAbbreviation(std::string_view page, std::size_t dot) {
  std::size_t begin = dot;
  while (begin > 0 && !isWordSeparator(static_cast<unsigned char>(page[begin - 1]))) --begin;
  const std::string_view word = page.substr(begin, dot - begin);
  if (word.empty()) return false;
  if (std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return true;
  return word.size() == 1 && isLetter(static_cast<unsigned char>(word[0]));
}

// Whether the word at `start` begins a sentence: it is the first after a
// ".", "!" or "?" on its page (quotation marks and blanks between). A
// page's first word may go on a sentence of the page before.
bool startsSentence(std::string_view page, std::size_t start) {
  for (std::size_t at = start; at > 0; --at) {
    const char c = page[at - 1];
    if (c == '!' || c == '?') return true;
    if (c == '.') return !endsAbbreviation(page, at - 1);
    const bool between =
        isWordSeparator(static_cast<unsigned char>(c)) || c == '\x84' || c == '\x93' || c == '\x94';
    if (!between) return false;
  }
  return false;
}

// Whether the word at `start` begins its line (blanks and quotation marks
// before it), or its page.
bool startsLine(std::string_view page, std::size_t start) {
  for (std::size_t at = start; at > 0; --at) {
    const char c = page[at - 1];
    if (c == '\n') return true;
    if (c != ' ' && c != '\t' && c != '\x84' && c != '\x93' && c != '\x94') return false;
  }
  return true;
}

// Makes the first letter of `shown` small where that of `printed` is:
// true where it was a capital.
bool smallFirstLetterAsPrinted(std::string_view printed, std::string& shown) {
  const auto isLetterByte = [](char c) { return isLetter(static_cast<unsigned char>(c)); };
  const auto printedFirst = std::find_if(printed.begin(), printed.end(), isLetterByte);
  const auto shownFirst = std::find_if(shown.begin(), shown.end(), isLetterByte);
  if (printedFirst == printed.end() || shownFirst == shown.end()) return false;
  const auto p = static_cast<unsigned char>(*printedFirst);
  const auto w = static_cast<unsigned char>(*shownFirst);
  if (isCapital(p) || !isCapital(w)) return false;
  *shownFirst = static_cast<char>(smallLetterOf(w));
  return true;
}

void capitaliseFirstLetter(std::string& word) {
  for (char& c : word) {
    if (!isLetter(static_cast<unsigned char>(c))) continue;
    c = static_cast<char>(capitalOf(static_cast<unsigned char>(c)));
    return;
  }
}

// Why a word is listed in changes.tsv: changed for a misreading, kept
// as a dictionary word that a misreading is as likely to make (a
// suspect), decided in doubt, or kept in doubt for a reason beyond the
// dictionary (the period's spelling, a compound, the book's own word);
// empty for a word that needs no review.
std::string_view reasonOf(const BookWord& word, const Decision& d) {
  if (d.kind == WordOutcome::Kind::Ambiguous) return "doubt";
  if (d.result != word.text) return d.kept == "reviewed" ? "reviewed" : "misreading";
  if (d.suspect) return "suspect";
  if (d.kept.empty() || d.probability >= kInDoubt) return "";
  if (d.kept.starts_with("spelling")) return "spelling";
  if (d.kept.starts_with("compound")) return "compound";
  return "book-word";
}

// The line of changes.tsv for a word that needs review, in UTF-8; nothing
// for the others.
void appendChange(const BookWord& word, const Decision& d, std::string& out) {
  const std::string_view reason = reasonOf(word, d);
  if (reason.empty()) return;
  out.append(utf8(word.text)).append("\t").append(utf8(d.result)).append("\t").append(reason);
  out.append("\t").append(fixed(d.probability)).append("\t").append(utf8(d.runnerUp)).append("\t");
  if (!d.runnerUp.empty()) out.append(fixed(d.runnerUpProbability));
  out.append("\t").append(std::to_string(word.count)).append("\t").append(pageList(word.pages));
  out.append("\t").append(utf8(d.kept)).append("\n");
}

// The rules of the spelling table that the book's words follow, the
// surest first.
std::vector<SpellingUse> spellingInUse(const Spelling& spelling, const std::vector<RuleUse>& uses) {
  std::vector<SpellingUse> inUse;
  for (std::size_t r = 0; r < uses.size(); ++r)
    if (uses[r].words > 0)
      inUse.push_back({spelling.rules()[r], uses[r].weight, uses[r].words, uses[r].examples});
  std::stable_sort(inUse.begin(), inUse.end(),
                   [](const SpellingUse& a, const SpellingUse& b) { return a.weight > b.weight; });
  return inUse;
}

// The weights that a profile given back sets for the rules it names.
void overrideWeights(const Profile& profile, const Spelling& spelling, std::vector<RuleUse>& uses) {
  for (const SpellingUse& given : profile.spelling())
    for (std::size_t r = 0; r < uses.size(); ++r) {
      const SpellingRule& rule = spelling.rules()[r];
      if (rule.historical == given.rule.historical && rule.modern == given.rule.modern &&
          rule.place == given.rule.place)
        uses[r].weight = given.weight;
    }
}

// What a person decided of a form holds: the word as read kept, or the
// word meant written in its letters' place.
void applyVerdict(const ReviewedWords& reviewed, std::string_view word, const SortedWords& lexicon,
                  Decision& decision) {
  const auto [begin, end] = coreOf(word);
  const Verdict* verdict = reviewed.of(word.substr(begin, end - begin));
  if (verdict == nullptr) return;
  decision.result = decision.marked =
      std::string(word.substr(0, begin)) +
      (verdict->keep ? std::string(word.substr(begin, end - begin)) : verdict->meant) +
      std::string(word.substr(end));
  decision.probability = 1;
  decision.runnerUp.clear();
  decision.runnerUpProbability = 0;
  decision.suspect = false;
  decision.kept = "reviewed";
  decision.kind = decision.result != word  ? WordOutcome::Kind::ChangedIncorrect
                  : lexicon.contains(word) ? WordOutcome::Kind::CorrectUnchanged
                                           : WordOutcome::Kind::Unknown;
}

bool parseSettings(const std::vector<std::string>& arguments, Settings& settings,
                   std::ostream& err) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--learn-only") {
      settings.learnOnly = true;
    } else if (argument == "--mark-uncertain") {
      settings.markUncertain = true;
    } else if (argument == "--marks-as-read") {
      settings.marksAsRead = true;
    } else if (argument == "--profile" && i + 1 < arguments.size()) {
      settings.profileFile = arguments[++i];
    } else if (argument == "--spelling" && i + 1 < arguments.size()) {
      settings.spellingFile = arguments[++i];
    } else if (argument == "--decisions" && i + 1 < arguments.size()) {
      settings.decisionsFile = arguments[++i];
    } else if (argument == "--prior" && i + 1 < arguments.size()) {
      settings.priorFiles.push_back(arguments[++i]);
    } else {
      err << "scanmend-learn: "
          << (argument == "--profile" || argument == "--spelling" || argument == "--prior" ||
                      argument == "--decisions"
                  ? argument + " needs a file"
                  : "unknown argument " + argument)
          << "\n\n"
          << kUsage;
      return false;
    }
  }
  if (settings.learnOnly && !settings.profileFile.empty()) {
    err << "scanmend-learn: --learn-only learns a profile and --profile gives one: use either\n\n"
        << kUsage;
    return false;
  }
  return true;
}

// What the learner reads, all of it before it writes anything.
struct Inputs {
  std::string dictionaryBytes;
  std::vector<std::string> pages;
  Profile profile;  // the one given, or empty
  Spelling spelling = Spelling::shipped();
  std::vector<OcrPrior> priors = shippedPriors();
  std::vector<OcrWord> ocrWords;  // from ocr.tsv, where import left one
  ReviewedWords reviewed;         // what a person decided, where given
};

// The fix for a file in UTF-8, named by `files` ("dic.txt", "in/*.txt").
std::string convertUtf8(const std::string& path, const std::string& files) {
  return path +
         " is UTF-8, not Windows-1252: every umlaut and the sharp s would read as two "
         "wrong letters. Convert it: for f in " +
         files +
         "; do iconv -f UTF-8 -t WINDOWS-1252//TRANSLIT \"$f\" > \"$f.new\" && mv \"$f.new\" "
         "\"$f\"; done\n";
}

bool readInputs(const Settings& settings, Inputs& inputs, std::ostream& err) {
  if (const ReadResult read = readFile("dic.txt", inputs.dictionaryBytes);
      read != ReadResult::Read) {
    err << "scanmend-learn: "
        << (read == ReadResult::NotOpened ? "no dictionary dic.txt in this directory"
                                          : "dic.txt " + std::string(readFailure(read)))
        << "\n";
    return false;
  }
  // A dictionary is taken as it was saved, in UTF-8 too: a word that
  // Windows-1252 cannot hold is in no page.
  if (Windows1252Text text = windows1252Text(inputs.dictionaryBytes); text.wasUtf8) {
    if (!text.leftOut.empty())
      err << "scanmend-learn: warning: dic.txt: " << lineList(text.leftOut) << " hold"
          << (text.leftOut.size() == 1 ? "s" : "")
          << " a character that Windows-1252 lacks; no page can hold such a word, and it is "
             "left out\n";
    inputs.dictionaryBytes = std::move(text.bytes);
  }
  PagesRead read = readPages();
  inputs.pages = std::move(read.pages);
  const std::string next = pagePath("in", static_cast<std::int64_t>(inputs.pages.size()) + 1);
  if (read.end != ReadResult::NotOpened) {
    err << "scanmend-learn: " << next << " " << readFailure(read.end) << "\n";
    return false;
  }
  if (inputs.pages.empty()) {
    err << "scanmend-learn: no page in/001.txt in this directory\n";
    return false;
  }
  for (std::size_t n = 0; n < inputs.pages.size(); ++n) {
    if (looksLikeUtf8(inputs.pages[n])) {
      err << "scanmend-learn: "
          << convertUtf8(pagePath("in", static_cast<std::int64_t>(n + 1)), "in/*.txt");
      return false;
    }
  }
  std::string table;
  if (const ReadResult read = readFile(std::string(kOcrEvidenceFile), table);
      read != ReadResult::NotOpened) {
    std::string why;
    if (read != ReadResult::Read) {
      err << "scanmend-learn: " << kOcrEvidenceFile << " " << readFailure(read)
          << " (scanmend-pages import writes it as a file; import again, or remove it to correct "
             "without the OCR's confidences)\n";
      return false;
    }
    if (!parseOcrEvidence(table, inputs.ocrWords, why) ||
        !ocrRowsFitPages(inputs.ocrWords, inputs.pages, why)) {
      err << "scanmend-learn: " << kOcrEvidenceFile << ": " << why
          << " (scanmend-pages import writes it; import again, or remove it to correct without "
             "the OCR's confidences)\n";
      return false;
    }
  }
  if (std::string why; !settings.spellingFile.empty() &&
                       !Spelling::readFile(settings.spellingFile, inputs.spelling, why)) {
    err << "scanmend-learn: " << why << "\n";
    return false;
  }
  if (!settings.decisionsFile.empty()) {
    std::string table;
    std::string why;
    if (const ReadResult result = readFile(settings.decisionsFile, table);
        result != ReadResult::Read) {
      err << "scanmend-learn: " << settings.decisionsFile << " " << readFailure(result) << "\n";
      return false;
    }
    if (!ReviewedWords::parse(table, inputs.reviewed, why)) {
      err << "scanmend-learn: " << settings.decisionsFile << ": " << why << "\n";
      return false;
    }
  }
  if (!settings.priorFiles.empty()) inputs.priors.clear();
  for (const std::string& file : settings.priorFiles) {
    std::string why;
    if (!readPriorFile(file, inputs.priors.emplace_back(), why)) {
      err << "scanmend-learn: " << utf8(why) << "\n";
      return false;
    }
  }
  if (settings.profileFile.empty()) return true;
  std::string text;
  if (const ReadResult result = readFile(settings.profileFile, text); result != ReadResult::Read) {
    err << "scanmend-learn: " << settings.profileFile << " " << readFailure(result) << "\n";
    return false;
  }
  // A profile edited and saved as UTF-8 is read as such.
  Windows1252Text profile = windows1252Text(text);
  if (!profile.leftOut.empty()) {
    err << "scanmend-learn: " << settings.profileFile << ": " << lineList(profile.leftOut)
        << ": a character that Windows-1252 lacks\n";
    return false;
  }
  text = std::move(profile.bytes);
  decodeText(text);
  std::string why;
  if (!parseProfile(text, inputs.profile, why)) {
    err << "scanmend-learn: " << settings.profileFile << ": " << utf8(why) << "\n";
    return false;
  }
  return true;
}

}  // namespace

int runLearner(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      out << kUsage;
      return 0;
    }
    if (argument == "--version") {
      out << "scanmend-learn " << kVersion << "\n";
      return 0;
    }
  }
  Settings settings;
  if (!parseSettings(arguments, settings, err)) return kExitUsage;

  // Everything is read before anything is written.
  Inputs inputs;
  if (!readInputs(settings, inputs, err)) return kExitNotRead;
  std::vector<std::string>& pages = inputs.pages;
  Profile& profile = inputs.profile;

  err << "scanmend-learn: reading dic.txt\n";
  SortedWords lexicon;
  // The words a person decided are right are known as the dictionary's.
  std::string decided;
  for (const std::string& word : inputs.reviewed.meantWords()) decided.append(word).append("\n");
  if (!decided.empty()) inputs.dictionaryBytes.insert(0, decided);
  lexicon.assign(std::move(inputs.dictionaryBytes));
  KnownWords known(lexicon, inputs.spelling);
  // Where this book's OCR writes the hyphen at a line's end as another
  // mark (":" for the double hyphen), those line ends are "=" line ends.
  const std::size_t ownHyphens = markOwnHyphens(pages, lexicon);
  // Words broken at a line end by "=" are joined, as scanmend's "=" does,
  // wherever the pages have such line ends.
  const bool join = std::any_of(pages.begin(), pages.end(), hasLineEndMarker);
  OcrWeighing weighing(std::move(inputs.ocrWords), pages);
  if (join) {
    for (std::string& page : pages) page = joinHyphenatedLines(std::move(page));
    weighing.followJoining(pages);
  }
  // The words that other line ends break are decided whole, and written
  // back in their places.
  std::vector<std::vector<BrokenWord>> broken;
  std::vector<std::string> joinedPages;
  for (const std::string& page : pages) {
    broken.push_back(brokenWordsOf(page, lexicon));
    joinedPages.push_back(withBrokenWordsJoined(page, broken.back()));
  }
  const std::vector<BookWord> words = joinedWordsOf(joinedPages);
  joinedPages.clear();
  err << "scanmend-learn: " << pages.size() << " pages, " << occurrences(words) << " words, "
      << words.size() << " distinct\n";
  // Which rules of the period's spelling this book follows; a profile
  // given back says it for the rules it names.
  std::vector<RuleUse> spellingUses = weighSpellingRules(words, known);
  overrideWeights(profile, inputs.spelling, spellingUses);
  known.weighRules(weightsOf(spellingUses));

  if (settings.profileFile.empty()) {
    err << "scanmend-learn: learning the misreadings\n";
    const std::vector<OcrPrior>& priors = inputs.priors;
    const OcrPrior& prior = priors[likeliestPrior(words, known, priors)];
    err << "scanmend-learn: starting from the usual misreadings of " << prior.name << "\n";
    profile = learnProfile(words, known, &prior.profile, inputs.reviewed.readings(words));
    // Weighed again now that the misreadings are known: a word that a
    // likely misreading explains too is no word of the period's spelling.
    known.weighRules({});
    spellingUses = weighSpellingRules(words, known, &profile);
    known.weighRules(weightsOf(spellingUses));
    profile.setSpelling(spellingInUse(inputs.spelling, spellingUses));
  }
  bool allWritten = true;
  const auto write = [&](const std::string& text, const std::string& path) {
    const WriteResult result = writeTextFile(text, path);
    if (result != WriteResult::Written) {
      err << "scanmend-learn: " << path << ": cannot write the file\n";
      allWritten = false;
    }
    return result == WriteResult::Written;
  };
  std::size_t readings = 0;
  for (const ProfileEntry& entry : profile.entries()) readings += entry.readings.size();
  // The summary names the profile only where it stands on disk.
  std::string profileName = settings.profileFile;
  if (settings.profileFile.empty()) {
    profileName = write(formatProfile(profile), "profile.tsv") ? "profile.tsv" : "";
  }
  if (settings.learnOnly) {
    out << "Learned " << readings << " readings of " << profile.entries().size()
        << " scanned letters and groups"
        << (profileName.empty() ? " (profile.tsv not written)" : ": " + profileName) << "\n";
    return allWritten ? 0 : kExitNotWritten;
  }

  err << "scanmend-learn: correcting\n";
  // Each distinct word decided once, into what the pages show in its
  // place (empty where that is the word itself) and its line of
  // changes.tsv, the most frequent first; the decider goes before the
  // pages are written.
  std::vector<std::string> written(words.size());
  std::vector<WordOutcome::Kind> kinds(words.size());
  std::unordered_map<std::string_view, std::uint32_t> wordOf;
  wordOf.reserve(words.size());
  // Where the OCR's evidence may turn a decision for one occurrence, what
  // the decision weighed.
  std::vector<FormVerdict> close(weighing.empty() ? 0 : words.size());
  std::string changes(kChangesHeader);
  // With the OCR's evidence, each word's line of changes.tsv waits for its
  // mean confidence and the occurrences that the evidence turned.
  std::vector<std::string> changeLines(close.size());
  std::vector<double> confidenceSum(close.size());
  std::vector<std::uint32_t> confidences(close.size());
  std::vector<std::uint32_t> turned(close.size());
  std::vector<std::string> turnedTo(close.size());  // the first such occurrence's
  std::size_t changed = 0;
  RunStats stats;
  UnknownWordCounts unknown;
  {
    const Decider decider(known, profile, words, weighing.hasConfidences());
    for (std::size_t i = 0; i < words.size(); ++i) {
      const BookWord& word = words[i];
      wordOf.emplace(word.text, static_cast<std::uint32_t>(i));
      Decision decision = decider.decide(word.text);
      applyVerdict(inputs.reviewed, word.text, lexicon, decision);
      kinds[i] = decision.kind;
      const bool ambiguous = decision.kind == WordOutcome::Kind::Ambiguous;
      changed += ambiguous || decision.result != word.text;
      appendChange(word, decision, close.empty() ? changes : changeLines[i]);
      std::string shown = settings.markUncertain && ambiguous ? std::move(decision.marked)
                                                              : std::move(decision.result);
      if (shown != word.text) written[i] = std::move(shown);
      if (!close.empty())
        close[i] = {decision.kind,
                    decision.probability,
                    std::move(decision.runnerUp),
                    decision.runnerUpProbability,
                    decision.asRead,
                    decision.asReadOutweighedBy};
    }
  }
  // How the OCR's confidence tells right from wrong in this book: the
  // occurrences of the dictionary words kept against those of the words
  // that the dictionary lacks and that were changed or stay unknown.
  // Neither depends on a choice between two dictionary words, which is
  // what the confidence is to decide.
  for (std::size_t n = 0; n < pages.size() && !weighing.empty(); ++n) {
    std::size_t k = 0;
    forEachWord(pages[n], [&](std::string_view word) {
      const OcrWord* seen = weighing.evidence(n, k++);
      if (seen == nullptr || !seen->hasConfidence()) return;
      // A half of a word broken at a line end was decided with the other.
      const auto found = wordOf.find(word);
      if (found == wordOf.end()) return;
      const std::uint32_t i = found->second;
      if (!lexicon.contains(word) &&
          (!written[i].empty() || kinds[i] == WordOutcome::Kind::Unknown))
        weighing.count(seen->confidence, false);
      else if (lexicon.contains(word) && written[i].empty() &&
               kinds[i] == WordOutcome::Kind::CorrectUnchanged)
        weighing.count(seen->confidence, true);
    });
  }

  const auto printedCount = [&](std::string_view text) -> std::int64_t {
    const auto found = wordOf.find(text);
    return found == wordOf.end() ? 0 : words[found->second].count;
  };
  std::error_code error;
  std::filesystem::create_directories("out", error);
  for (std::size_t n = 0; n < pages.size(); ++n) {
    const std::string_view page = pages[n];
    std::string corrected;
    corrected.reserve(page.size() + page.size() / 8);
    std::size_t copied = 0;
    std::size_t at = 0;
    std::size_t k = 0;
    const std::vector<BrokenWord>& breaks = broken[n];
    // The words that no German reading explains, in page order: a word
    // amid three of them, one on each side, is of their language too
    // (French, Latin, names), and stays as read.
    std::vector<bool> foreign;
    forEachWord(page, [&](std::string_view word) {
      const auto found = wordOf.find(word);
      foreign.push_back(found != wordOf.end() &&
                        kinds[found->second] == WordOutcome::Kind::Unknown &&
                        written[found->second].empty() && isPlainWord(word));
    });
    const auto isForeign = [&](std::size_t k) { return k < foreign.size() && foreign[k]; };
    const auto amidForeign = [&](std::size_t k) {
      return k > 0 && isForeign(k - 1) && isForeign(k + 1) &&
             ((k > 1 && isForeign(k - 2)) || isForeign(k + 2));
    };
    std::size_t nextBreak = 0;
    std::string tailShown;  // the second half of the broken word before, as written
    std::size_t tailBegin = std::string::npos;
    std::size_t tailEnd = 0;
    for (std::string_view word = nextWord(page, at); !word.empty();
         word = nextWord(page, at), ++k) {
      const auto start = static_cast<std::size_t>(word.data() - page.data());
      const std::size_t end = start + word.size();
      if (tailBegin >= start && tailBegin < end) {
        // The second half of a broken word, decided with the first.
        corrected.append(page.substr(copied, tailBegin - copied)).append(tailShown);
        corrected.append(page.substr(tailEnd, end - tailEnd));
        copied = end;
        tailBegin = std::string::npos;
        continue;
      }
      if (nextBreak < breaks.size() && breaks[nextBreak].headBegin >= start &&
          breaks[nextBreak].headBegin < end) {
        const BrokenWord& b = breaks[nextBreak++];
        // As the book's words were counted: from the word's start on.
        const std::string read = std::string(page.substr(start, b.headEnd - start)) +
                                 std::string(page.substr(b.tailBegin, b.tailEnd - b.tailBegin));
        const auto found = wordOf.find(read);
        const std::uint32_t i = found == wordOf.end() ? 0 : found->second;
        std::string decided = found == wordOf.end() || written[i].empty() ? read : written[i];
        if (decided != read && startsSentence(page, start)) capitaliseFirstLetter(decided);
        auto [head, tail] = splitAtBreak(read, b.headEnd - start, decided);
        const WordOutcome::Kind kind =
            found == wordOf.end() ? WordOutcome::Kind::Unknown : kinds[i];
        countOutcome(kind, 1, stats);
        if (kind == WordOutcome::Kind::Unknown) countUnknownWord(unknown, read);
        corrected.append(page.substr(copied, start - copied)).append(head);
        // A letter or mark read for the hyphen is the hyphen; where the
        // pages go back into OCR files, which take only words, it stays.
        corrected.append(b.hyphen || settings.marksAsRead
                             ? page.substr(b.markBegin, b.markEnd - b.markBegin)
                             : "-");
        copied = std::max(end, b.markEnd);
        tailShown = std::move(tail);
        tailBegin = b.tailBegin;
        tailEnd = b.tailEnd;
        continue;
      }
      corrected.append(page.substr(copied, start - copied));
      const auto found = wordOf.find(word);
      if (found == wordOf.end()) {  // cannot be: every word was counted
        corrected.append(word);
        copied = end;
        continue;
      }
      const std::uint32_t i = found->second;
      WordOutcome::Kind kind = kinds[i];
      std::string shown = written[i];
      if (const OcrWord* seen = weighing.evidence(n, k); seen != nullptr) {
        shown = weighing.reconsider(word, written[i], close[i], *seen, lexicon, kind);
        if (shown != written[i] && turned[i]++ == 0) turnedTo[i] = shown.empty() ? word : shown;
        if (seen->hasConfidence()) {
          confidenceSum[i] += seen->confidence;
          ++confidences[i];
        }
      }
      if (!shown.empty() && amidForeign(k)) {
        shown.clear();
        kind = lexicon.contains(word) ? WordOutcome::Kind::CorrectUnchanged
                                      : WordOutcome::Kind::Unknown;
      }
      if (!shown.empty() && startsSentence(page, start)) {
        // A word mended at a sentence's start begins it with a capital,
        // where the dictionary has it small ("fr" is "Er", not "er").
        capitaliseFirstLetter(shown);
      } else if (!shown.empty()) {
        // Elsewhere a reading that puts another letter first keeps the
        // page's small letter where the book prints the word small more
        // often than capitalised ("fr" inside a sentence is "er", but
        // "fssen" is "Essen"; "hause" read as "Hause" was the capital
        // misread); and always at a line's start, where the word may end
        // a word broken at the line above ("stadt" of "Haupt-stadt").
        std::string small = shown;
        if (smallFirstLetterAsPrinted(word, small) &&
            (startsLine(page, start) || (small.front() != word.front() && lexicon.contains(small) &&
                                         printedCount(small) > printedCount(shown))))
          shown = std::move(small);
        if (shown == word) {
          shown.clear();
          kind = lexicon.contains(word) ? WordOutcome::Kind::CorrectUnchanged
                                        : WordOutcome::Kind::Unknown;
        }
      }
      countOutcome(kind, 1, stats);
      if (kind == WordOutcome::Kind::Unknown) countUnknownWord(unknown, word);
      corrected.append(shown.empty() ? word : std::string_view(shown));
      copied = start + word.size();
    }
    corrected.append(page.substr(copied));
    // What scanmend's "german" does after joining: the "=" that are left
    // become hyphens, and a marked "a*s" before an article is "aus".
    if (join) corrected = repairPhrases(std::move(corrected));
    write(corrected, pagePath("./out", static_cast<std::int64_t>(n + 1)));
  }
  write(formatUnknownWordReport(unknown), "./word_fr.txt");
  if (!close.empty()) {
    changes.insert(changes.size() - 1, "\tconfidence\tby_ocr");
    for (std::size_t i = 0; i < words.size(); ++i) {
      std::string& line = changeLines[i];
      if (line.empty() && turned[i] > 0) {
        // Kept or changed as a form, but not everywhere: what the OCR's
        // evidence made of the first occurrence it turned.
        Decision decision;
        decision.result = turnedTo[i];
        decision.kind = WordOutcome::Kind::Ambiguous;
        decision.probability = close[i].probability;
        decision.runnerUp = close[i].runnerUp;
        decision.runnerUpProbability = close[i].runnerUpProbability;
        appendChange(words[i], decision, line);
      }
      if (line.empty()) continue;
      line.pop_back();
      line.append("\t");
      if (confidences[i] > 0) line.append(fixed(confidenceSum[i] / confidences[i]));
      changes.append(line).append("\t").append(std::to_string(turned[i])).append("\n");
    }
  }
  // A report for people: UTF-8, LF, as the OCR's files are.
  Replacement changesFile("changes.tsv");
  const bool changesWritten = changesFile.write(changes) && changesFile.commit();
  if (!changesWritten) {
    err << "scanmend-learn: changes.tsv: cannot write the file\n";
    allWritten = false;
  }

  out << "\r\nStats:\r\n\r\n" << formatCounterLines(stats, "", "\r\n") << "\r\n";
  out << (settings.profileFile.empty() ? "Learned " : "Profile ") << readings << " readings of "
      << profile.entries().size() << " scanned letters and groups"
      << (profileName.empty() ? "" : " (" + profileName + ")") << "; " << changed
      << " distinct words changed or decided under doubt"
      << (changesWritten ? " (changes.tsv)" : "")
      << (join ? "; words broken at line ends by \"=\" joined" : "");
  if (ownHyphens > 0)
    out << " (" << ownHyphens << " of them at a mark this book's OCR writes for the hyphen)";
  if (!weighing.empty())
    out << "; " << weighing.turned() << " words decided otherwise by the OCR's confidence ("
        << kOcrEvidenceFile << ")";
  out << ".\n";
  return allWritten ? 0 : kExitNotWritten;
}

}  // namespace scanmend::learn
