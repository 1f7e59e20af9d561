#include "advise/report.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "base/windows1252.h"

namespace scanmend::advise {
namespace {

// Appends the parts one after another; cheaper than chains of +, and
// clear of a false warning that such chains raise in optimised builds.
template <typename... Parts>
void append(std::string& out, const Parts&... parts) {
  (out.append(std::string_view(parts)), ...);
}

std::string hexByte(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02X", byte);
  return text;
}

// 1234567 as "1,234,567".
std::string grouped(std::int64_t number) {
  const std::string digits = std::to_string(number);
  const std::size_t first = number < 0 ? 1 : 0;
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > first && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

std::string plural(std::int64_t count, std::string_view one, std::string_view many) {
  std::string text = grouped(count);
  append(text, " ", count == 1 ? one : many);
  return text;
}

std::string commandLine(const Advice& advice) {
  std::string line = "scanmend";
  for (const std::string& word : advice.arguments) append(line, " ", shellWord(word));
  return line;
}

std::string wordList(const std::vector<BookWord>& words) {
  std::string list;
  for (const BookWord& word : words)
    append(list, list.empty() ? "" : ", ", toUtf8(word.text), " (", grouped(word.count), ")");
  return list;
}

std::string joinedUtf8(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) append(text, text.empty() ? "" : ", ", toUtf8(word));
  return text;
}

std::string formatReview(const Advice& advice) {
  if (advice.marked.empty() && advice.rewrittenToNonWords.empty()) return "";
  std::string out = "\nLeft for review after the run:\n";
  if (!advice.marked.empty()) {
    out += "\n  Marked with \"*\", where several readings are dictionary words:\n";
    for (const ReviewWord& word : advice.marked)
      append(out, "    ", toUtf8(word.text), " (", grouped(word.count), "): written ",
             toUtf8(word.result), ", reads as ", joinedUtf8(word.readings), "\n");
  }
  if (!advice.rewrittenToNonWords.empty()) {
    out += "\n  Rewritten by the fixed rules into words the dictionary does not know:\n";
    for (const ReviewWord& word : advice.rewrittenToNonWords)
      append(out, "    ", toUtf8(word.text), " (", grouped(word.count), ") -> ",
             toUtf8(word.result), "\n");
  }
  return out;
}

std::string formatDictionaryAdvice(const Advice& advice) {
  std::string out = "\nThe dictionary:\n";
  std::int64_t capitalisedOccurrences = 0;
  for (const BookWord& word : advice.capitalised) capitalisedOccurrences += word.count;
  if (advice.capitalised.empty()) {
    out += "\n  no unknown word is only a capitalised form of a dictionary word\n";
  } else {
    const std::vector<BookWord> shown(
        advice.capitalised.begin(),
        advice.capitalised.begin() +
            static_cast<std::ptrdiff_t>(std::min<std::size_t>(advice.capitalised.size(), 12)));
    append(out, "\n  ",
           plural(static_cast<std::int64_t>(advice.capitalised.size()), "unknown word is",
                  "unknown words are"),
           " only the capitalised form of a dictionary word (",
           plural(capitalisedOccurrences, "occurrence", "occurrences"),
           "), such as sentence starts: ", wordList(shown),
           ". No confusion word should mend them; they belong in the dictionary.\n");
  }
  if (!advice.unknown.empty()) {
    out += "\n  The most frequent words that the suggested run leaves unknown:\n";
    bool anyLikely = false;
    bool anySpelling = false;
    for (const UnknownWord& word : advice.unknown) {
      append(out, "    ", toUtf8(word.text), " (", grouped(word.count), ")");
      if (!word.likely.empty()) append(out, ": likely ", toUtf8(word.likely));
      if (!word.spellingOf.empty())
        append(out, ": the period's spelling of ", toUtf8(word.spellingOf));
      out += "\n";
      anyLikely |= !word.likely.empty();
      anySpelling |= !word.spellingOf.empty();
    }
    if (anyLikely)
      out +=
          "  A word with a likely reading is a misreading, not a word for the dictionary:\n"
          "  listed there, it would keep its own misreading from being corrected.\n";
    if (anySpelling)
      out +=
          "  A word in the period's spelling is right as printed: scanmend leaves it as it\n"
          "  stands, and scanmend-learn keeps it.\n";
  }
  if (advice.dictionaryWords.empty()) {
    out += "\n  No word is safe to add to the dictionary.\n";
  } else {
    append(out, "\n  ",
           plural(static_cast<std::int64_t>(advice.dictionaryWords.size()), "word is", "words are"),
           " safe to add to the dictionary (the capitalised forms, and the unknown words seen at "
           "least 3 times that no misreading explains):\n\n"
           "    scanmend-advise --dictionary-words >> dic.txt\n");
  }
  return out;
}

}  // namespace

std::string toUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += hexByte(byte);
    } else {
      appendUtf8(out, codePointOf(byte));
    }
  }
  return out;
}

std::string shellWord(std::string_view word) {
  const auto plain = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("=+-_.,:/@%").find(c) != std::string_view::npos;
  };
  if (!word.empty() && std::all_of(word.begin(), word.end(), plain)) return std::string(word);
  std::string out = "$'";
  for (const char c : word) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) {
      out += hexByte(byte);
    } else {
      if (c == '\'' || c == '\\') out += '\\';
      out += c;
    }
  }
  out += '\'';
  return out;
}

std::string formatArgumentsLine(const Advice& advice) {
  std::string line;
  for (const std::string& word : advice.arguments) append(line, line.empty() ? "" : " ", word);
  line += '\n';
  return line;
}

std::string formatReport(const Advice& advice, const Book& book, std::size_t dictionaryWords,
                         const std::vector<std::string>& findings) {
  const RunStats& stats = advice.statistics;
  std::string out;
  append(out, "Read ", plural(book.pages, "page", "pages"), " (",
         plural(stats.totalWords, "word", "words"), ") and a dictionary of ",
         plural(static_cast<std::int64_t>(dictionaryWords), "word", "words"), ".\n\n");
  if (!findings.empty()) {
    out += "Check first:\n\n";
    for (const std::string& finding : findings) append(out, "  - ", finding, "\n");
    out += "\n";
  }

  append(out, "Suggested command line:\n\n    ", commandLine(advice), "\n\n");

  out += "What each word does:\n";
  if (advice.proposals.empty()) out += "\n    nothing helps this book beyond the dictionary\n";
  for (const Proposal& proposal : advice.proposals) {
    append(out, "\n  ", shellWord(proposal.word), ": ", toUtf8(proposal.declares), "\n");
    if (proposal.word == "=") {
      append(out, "    joins the words broken at ",
             plural(proposal.lineEnds, "line end", "line ends"), "; ",
             plural(proposal.resolvedWords, "joined word", "joined words"), " (",
             plural(proposal.resolvedOccurrences, "occurrence", "occurrences"),
             ") then read as dictionary words\n");
    } else {
      append(out, "    resolves ",
             plural(proposal.resolvedWords, "distinct word", "distinct words"), " (",
             plural(proposal.resolvedOccurrences, "occurrence", "occurrences"), ")");
      if (proposal.nonWords > 0)
        append(out, ": ", grouped(proposal.resolvedWords - proposal.nonWords),
               " into dictionary words, ", grouped(proposal.nonWords), " (",
               plural(proposal.nonWordOccurrences, "occurrence", "occurrences"),
               ") into words it does not know");
      append(out, "; puts ", plural(proposal.atRiskWords, "correct word", "correct words"), " (",
             plural(proposal.atRiskOccurrences, "occurrence", "occurrences"), ") at risk\n");
      if (proposal.keptWords > 0)
        append(out, "    keeps ", plural(proposal.keptWords, "correct word", "correct words"), " (",
               plural(proposal.keptOccurrences, "occurrence", "occurrences"),
               ") from being made ambiguous\n");
    }
    if (!proposal.examples.empty()) {
      out += "    for example:";
      for (const auto& [scanned, reading] : proposal.examples)
        append(out, " ", toUtf8(scanned), " -> ", toUtf8(reading), ";");
      out.back() = '\n';
    }
  }

  out += "\nWeighed and left out:\n";
  if (advice.leftOut.empty()) out += "\n    nothing\n";
  for (const LeftOut& left : advice.leftOut)
    append(out, "\n  ", shellWord(left.word), ": ", toUtf8(left.reason), "\n");

  out += "\nThe suggested run will print these statistics:\n\n";
  out += formatCounterLines(stats, "    ", "\n");

  out += formatReview(advice);
  out += formatDictionaryAdvice(advice);
  return out;
}

}  // namespace scanmend::advise
