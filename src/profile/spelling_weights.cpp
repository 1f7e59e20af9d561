#include "profile/spelling_weights.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "base/letters.h"
#include "profile/readings.h"

namespace scanmend {
namespace {

// What a rule weighs before the book says anything: as if it had been
// seen half a time and contradicted four times.
constexpr double kPriorUses = 0.5;
constexpr double kPriorTwins = 10.0;
constexpr std::size_t kExamples = 3;
constexpr std::size_t kMostForms = 6000;
// A misreading this likely, against the word's letters as they stand,
// explains a word as well as the period's spelling does.
constexpr double kContested = 0.05;

// The word without the quotation marks and dashes that OCR leaves at its
// ends.
std::string_view lettersOf(std::string_view word) {
  std::size_t begin = 0;
  std::size_t end = word.size();
  while (begin < end && !isLetter(static_cast<unsigned char>(word[begin]))) ++begin;
  while (end > begin && !isLetter(static_cast<unsigned char>(word[end - 1]))) --end;
  return word.substr(begin, end - begin);
}

}  // namespace

std::vector<RuleUse> weighSpellingRules(const std::vector<BookWord>& words, const KnownWords& known,
                                        const Profile* profile) {
  std::vector<RuleUse> uses(known.spelling().rules().size());
  // Each form of the book without its marks, with its count and pages.
  struct Form {
    std::int64_t count = 0;
    std::vector<std::int64_t> pages;
  };
  std::unordered_map<std::string_view, Form> forms;
  for (const BookWord& word : words) {
    Form& form = forms[lettersOf(word.text)];
    form.count += word.count;
    form.pages.insert(form.pages.end(), word.pages.begin(), word.pages.end());
  }
  for (auto& [text, form] : forms) {
    std::sort(form.pages.begin(), form.pages.end());
    form.pages.erase(std::unique(form.pages.begin(), form.pages.end()), form.pages.end());
  }
  // How often the pages of `form` print `text`: a book bound of several
  // prints, or an old book with a modern preface, contradicts a rule only
  // on the pages that use it.
  const auto printedBeside = [&](std::string_view text, const Form& form) -> double {
    const auto found = forms.find(text);
    if (found == forms.end() || found->second.pages.empty()) return 0;
    const Form& twin = found->second;
    std::size_t shared = 0;
    for (std::size_t a = 0, b = 0; a < form.pages.size() && b < twin.pages.size();) {
      if (form.pages[a] == twin.pages[b]) {
        ++shared;
        ++a;
        ++b;
      } else if (form.pages[a] < twin.pages[b]) {
        ++a;
      } else {
        ++b;
      }
    }
    return static_cast<double>(twin.count) * static_cast<double>(shared) /
           static_cast<double>(twin.pages.size());
  };
  // The most frequent first, so that the examples are the book's
  // commonest.
  std::vector<std::pair<std::string_view, const Form*>> byCount;
  for (const auto& [text, form] : forms) byCount.emplace_back(text, &form);
  std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
    if (a.second->count != b.second->count) return a.second->count > b.second->count;
    return a.first < b.first;
  });
  std::vector<double> twins(uses.size(), 0.0);
  // The most frequent forms tell which rules the book follows; the rare
  // ones would only make the weighing as slow as the whole book is long.
  std::size_t weighed = 0;
  for (const auto& [text, form] : byCount) {
    if (text.size() < 2 || !isLetterWord(text)) continue;
    if (++weighed > kMostForms) break;
    const KnownWord why = known.of(text);
    if (why.why != KnownWord::Why::Spelling) continue;
    std::string other(why.detail);
    other[0] = static_cast<char>(isCapital(static_cast<unsigned char>(other[0]))
                                     ? smallLetterOf(static_cast<unsigned char>(other[0]))
                                     : capitalOf(static_cast<unsigned char>(other[0])));
    double beside =
        printedBeside(why.detail, *form) + (other != why.detail ? printedBeside(other, *form) : 0);
    if (profile != nullptr) {
      const std::vector<Candidate> read = readingsOnlyOf(text, *profile, known.lexicon(), 1);
      if (!read.empty() && read.front().text != text &&
          read.front().channel >= kContested * stayChannel(text, *profile))
        beside += static_cast<double>(form->count);
    }
    std::vector<std::uint16_t> seen;
    for (const std::uint16_t rule : why.rules) {
      if (std::find(seen.begin(), seen.end(), rule) != seen.end()) continue;
      seen.push_back(rule);
      RuleUse& use = uses[rule];
      ++use.words;
      use.uses += form->count;
      twins[rule] += beside;
      if (use.examples.size() < kExamples)
        use.examples.push_back(std::string(text) + ">" + why.detail);
    }
  }
  for (std::size_t r = 0; r < uses.size(); ++r) {
    uses[r].twins = static_cast<std::int64_t>(twins[r] + 0.5);
    uses[r].weight =
        known.spelling().rules()[r].always
            ? 1.0
            : (static_cast<double>(uses[r].uses) + kPriorUses) /
                  (static_cast<double>(uses[r].uses) + twins[r] + kPriorUses + kPriorTwins);
  }
  return uses;
}

std::vector<double> weightsOf(const std::vector<RuleUse>& uses) {
  std::vector<double> weights;
  weights.reserve(uses.size());
  for (const RuleUse& use : uses) weights.push_back(use.weight);
  return weights;
}

}  // namespace scanmend
