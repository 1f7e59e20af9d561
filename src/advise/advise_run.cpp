#include "advise/advise_run.h"

#include "advise/advice.h"
#include "advise/directory_checks.h"
#include "advise/report.h"
#include "base/version.h"
#include "book/book.h"
#include "dictionary/dictionary.h"
#include "dictionary/sorted_words.h"
#include "files/text_files.h"
#include "profile/known_words.h"
#include "profile/spelling.h"
#include "profile/spelling_weights.h"

namespace scanmend::advise {
namespace {

constexpr const char* kUsage =
    "Usage: scanmend-advise [--args-only | --dictionary-words] [--spelling FILE]\n"
    "\n"
    "Run in a book's working directory (dic.txt, in/001.txt, in/002.txt, ...).\n"
    "Finds the book's own misreadings from its pages and its dictionary and\n"
    "proposes the command line for scanmend: what each word does, the words\n"
    "weighed and left out, the statistics the run will print, the words left\n"
    "for review, and advice on the dictionary. It first checks the directory\n"
    "for mistakes that make a run worse. Progress goes to standard error.\n"
    "\n"
    "  --args-only          print only the suggested words, on one line, as the\n"
    "                       bytes scanmend takes:\n"
    "                         args=$(scanmend-advise --args-only) && scanmend $args\n"
    "  --dictionary-words   print only the words that are safe to add to the\n"
    "                       dictionary, one per line in Windows-1252:\n"
    "                         scanmend-advise --dictionary-words >> dic.txt\n"    "  --spelling FILE      the historical spellings to keep, instead of the table\n"
    "                       shipped (see the manual page of scanmend-learn)\n"
    "  --help               print this text\n"
    "  --version            print the version\n";

enum class Output { Report, ArgumentsOnly, DictionaryWords };

}  // namespace

int runAdvisor(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  Output output = Output::Report;
  std::string spellingFile;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      out << kUsage;
      return 0;
    }
    if (argument == "--version") {
      out << "scanmend-advise " << kVersion << "\n";
      return 0;
    }
    if (argument == "--spelling") {
      if (i + 1 == arguments.size()) {
        err << "scanmend-advise: --spelling needs a file\n\n" << kUsage;
        return 2;
      }
      spellingFile = arguments[++i];
      continue;
    }
    const Output asked = argument == "--args-only"          ? Output::ArgumentsOnly
                         : argument == "--dictionary-words" ? Output::DictionaryWords
                                                            : Output::Report;
    if (asked == Output::Report || (output != Output::Report && output != asked)) {
      err << "scanmend-advise: unknown argument '" << argument << "'\n\n" << kUsage;
      return 2;
    }
    output = asked;
  }
  const auto progress = [&err](const std::string& step) {
    err << "scanmend-advise: " << step << "\n";
    err.flush();
  };

  progress("reading dic.txt");
  std::string bytes;
  if (const ReadResult read = readFile("dic.txt", bytes); read != ReadResult::Read) {
    if (read == ReadResult::NotOpened)
      err << "scanmend-advise: cannot read dic.txt here; run scanmend-advise in a book's working "
             "directory (dic.txt, in/001.txt, ...)\n";
    else
      err << "scanmend-advise: dic.txt " << readFailure(read) << "\n";
    return 1;
  }
  Spelling spelling = Spelling::shipped();
  if (std::string why; !spellingFile.empty() && !Spelling::readFile(spellingFile, spelling, why)) {
    err << "scanmend-advise: " << why << "\n";
    return 1;
  }
  std::vector<std::string> findings = checkDictionaryFile(bytes);
  const DictionaryEnding ending = dictionaryEndingOf(bytes);
  // The sorted words for learning the book's misreadings, then the
  // dictionary, which takes the file's bytes over.
  SortedWords lexicon;
  lexicon.assign(bytes);
  KnownWords known(lexicon, spelling);
  Dictionary dictionary;
  dictionary.assign(std::move(bytes), identityFold(), ReadingSearch::PrefixWalk);

  progress("reading the pages");
  const PagesRead read = readPages();
  const Book book = bookOfPages(read.pages);
  if (read.end != ReadResult::NotOpened) {
    err << "scanmend-advise: " << pagePath("in", book.pages + 1) << " " << readFailure(read.end)
        << "\n";
    return 1;
  }
  if (book.pages == 0) {
    // Pages under other names are the likeliest reason: say which.
    err << "scanmend-advise: no pages: in/001.txt cannot be read\n";
    checkPages(book, findings);
    for (const std::string& finding : findings)
      err << "scanmend-advise: check: " << finding << "\n";
    return 1;
  }
  checkPages(book, findings);
  if (output != Output::Report)
    for (const std::string& finding : findings)
      err << "scanmend-advise: check: " << finding << "\n";

  // The period's spelling as this book follows it.
  known.weighRules(
      weightsOf(weighSpellingRules(book.lineEndMarkers > 0 ? book.joinedWords : book.words, known)));
  const Advice advice = adviseArguments(book, dictionary, known, progress);
  switch (output) {
    case Output::Report:
      out << formatReport(advice, book, dictionary.size(), findings);
      break;
    case Output::ArgumentsOnly:
      out << formatArgumentsLine(advice);
      break;
    case Output::DictionaryWords:
      out << dictionaryLines(advice.dictionaryWords, ending);
      break;
  }
  out.flush();
  return 0;
}

}  // namespace scanmend::advise
