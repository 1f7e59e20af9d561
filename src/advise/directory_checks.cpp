#include "advise/directory_checks.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "advise/report.h"
#include "base/encoding_guess.h"
#include "files/text_files.h"

namespace scanmend::advise {
namespace {

namespace fs = std::filesystem;

std::string quoted(std::string_view text) {
  std::string out(1, '"');
  out.append(toUtf8(text)).push_back('"');
  return out;
}

// The number in a page's name as a run forms it ("001.txt", "1000.txt"),
// or 0 for any other name.
long long pageNumberOf(const std::string& name) {
  if (name.size() < 7 || name.substr(name.size() - 4) != ".txt") return 0;
  const std::string digits = name.substr(0, name.size() - 4);
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return 0;
  const long long number = std::stoll(digits);
  return pagePath("", number) == "/" + name ? number : 0;
}

void checkPageNames(long long pagesRead, std::vector<std::string>& findings) {
  std::error_code error;
  std::map<long long, std::string> numbered;
  std::vector<std::string> others;
  for (const fs::directory_entry& entry : fs::directory_iterator("in", error)) {
    if (!entry.is_regular_file(error)) continue;
    const std::string name = entry.path().filename().string();
    if (const long long number = pageNumberOf(name); number > 0) {
      numbered[number] = name;
    } else {
      others.push_back(name);
    }
  }
  std::sort(others.begin(), others.end());
  const auto beyond = numbered.upper_bound(pagesRead);
  if (beyond != numbered.end()) {
    const auto count = std::distance(beyond, numbered.end());
    findings.push_back("in/" + pagePath("", pagesRead + 1).substr(1) +
                       " is missing, so a run stops there: in/" + beyond->second + " and " +
                       std::to_string(count - 1) +
                       " pages after it are never read. Number the pages without a gap.");
  }
  if (!others.empty()) {
    std::string examples;
    for (std::size_t k = 0; k < others.size() && k < 3; ++k)
      examples += (k == 0 ? "" : ", ") + toUtf8(others[k]);
    findings.push_back(std::to_string(others.size()) + (others.size() == 1 ? " file" : " files") +
                       " in in/ a run never reads (" + examples +
                       "): pages are named 001.txt, 002.txt, ..., 999.txt, 1000.txt. "
                       "For example rename 0001.txt, 1.txt or page-001.txt to 001.txt.");
  }
}

void checkUtf8(std::string_view bytes, const std::string& name,
               std::vector<std::string>& findings) {
  if (!looksLikeUtf8(bytes)) return;
  findings.push_back(name +
                     " is UTF-8, not Windows-1252: every umlaut and the sharp s read as two wrong "
                     "letters. Convert it: iconv -f UTF-8 -t WINDOWS-1252//TRANSLIT " +
                     name + " > " + name + ".cp1252 && mv " + name + ".cp1252 " + name);
}

}  // namespace

std::vector<std::string> checkDictionaryFile(std::string_view dictionaryBytes) {
  std::vector<std::string> findings;
  checkUtf8(dictionaryBytes, "dic.txt", findings);
  const std::size_t ctrlZ = dictionaryBytes.find('\x1A');
  if (ctrlZ != std::string_view::npos) {
    findings.push_back("dic.txt holds a Ctrl-Z byte, which ends it: the " +
                       std::to_string(dictionaryBytes.size() - ctrlZ) +
                       " bytes after it, and every word added at its end, are never read. "
                       "Remove it: tr -d '\\032' < dic.txt > dic.new && mv dic.new dic.txt");
  } else if (!dictionaryBytes.empty() && dictionaryBytes.back() != '\n') {
    const std::size_t start = dictionaryBytes.rfind('\n') + 1;
    findings.push_back("the last line of dic.txt (" + quoted(dictionaryBytes.substr(start)) +
                       ") has no line end and is not read. Add one: printf '\\r\\n' >> dic.txt");
  }
  return findings;
}

void checkPages(const Book& book, std::vector<std::string>& findings) {
  if (book.firstUtf8Page > 0)
    findings.push_back(pagePath("in", book.firstUtf8Page) +
                       " and maybe other pages are UTF-8, not Windows-1252. Convert each page: "
                       "for f in in/*.txt; do iconv -f UTF-8 -t WINDOWS-1252//TRANSLIT \"$f\" > "
                       "\"$f.cp1252\" && mv \"$f.cp1252\" \"$f\"; done");
  checkPageNames(book.pages, findings);
  std::error_code error;
  if (!fs::is_directory("out", error))
    findings.push_back(
        "there is no directory out/, so a run writes no page (and exits with status 2). "
        "Create it: mkdir out");
}

DictionaryEnding dictionaryEndingOf(std::string_view dictionaryBytes) {
  const std::size_t firstLineFeed = dictionaryBytes.find('\n');
  const bool crlf = firstLineFeed != std::string_view::npos && firstLineFeed > 0 &&
                    dictionaryBytes[firstLineFeed - 1] == '\r';
  return {crlf ? "\r\n" : "\n", !dictionaryBytes.empty() && dictionaryBytes.back() != '\n'};
}

std::string dictionaryLines(const std::vector<std::string>& words, const DictionaryEnding& ending) {
  std::string lines;
  if (!words.empty() && ending.lastLineOpen) lines += ending.lineEnd;
  for (const std::string& word : words) {
    lines += word;
    lines += ending.lineEnd;
  }
  return lines;
}

}  // namespace scanmend::advise
