#include "advise/advise_run.h"

#include "advise/advice.h"
#include "advise/book.h"
#include "advise/report.h"
#include "dictionary/dictionary.h"
#include "files/text_files.h"

namespace scanmend::advise {
namespace {

constexpr const char* kUsage =
    "Usage: scanmend-advise [--args-only]\n"
    "\n"
    "Run in a book's working directory (dic.txt, in/001.txt, in/002.txt, ...).\n"
    "Finds the book's own misreadings from its pages and its dictionary and\n"
    "proposes the command line for scanmend: what each word does, the words\n"
    "weighed and left out, the statistics the run will print, and advice on\n"
    "the dictionary. Progress goes to standard error.\n"
    "\n"
    "  --args-only  print only the suggested words, on one line, as the bytes\n"
    "               scanmend takes:  args=$(scanmend-advise --args-only) &&\n"
    "               scanmend $args\n"
    "  --help       print this text\n";

}  // namespace

int runAdvisor(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  bool argsOnly = false;
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      out << kUsage;
      return 0;
    }
    if (argument != "--args-only") {
      err << "scanmend-advise: unknown argument '" << argument << "'\n\n" << kUsage;
      return 2;
    }
    argsOnly = true;
  }
  const auto progress = [&err](const std::string& step) {
    err << "scanmend-advise: " << step << "\n";
    err.flush();
  };

  progress("reading dic.txt");
  std::string bytes;
  if (!readFileBytes("dic.txt", bytes)) {
    err << "scanmend-advise: cannot read dic.txt here; run scanmend-advise in a book's working "
           "directory (dic.txt, in/001.txt, ...)\n";
    return 1;
  }
  Dictionary dictionary;
  dictionary.assign(std::move(bytes), identityFold(), ReadingSearch::PrefixWalk);

  progress("reading the pages");
  Book book;
  if (!readBook(book)) {
    err << "scanmend-advise: no pages: in/001.txt cannot be read\n";
    return 1;
  }

  const Advice advice = adviseArguments(book, dictionary, progress);
  out << (argsOnly ? formatArgumentsLine(advice) : formatReport(advice, book, dictionary.size()));
  out.flush();
  return 0;
}

}  // namespace scanmend::advise
