// The decision for one word: which counter it goes to and what replaces it
// in the page. It depends only on the word, the tables and the dictionary.
#pragma once

#include <string>

namespace scanmend {

struct WordOutcome {
  enum class Kind : unsigned char { CorrectUnchanged, ChangedIncorrect, Ambiguous, Unknown };
  Kind kind;
  std::string result;  // always as long as the word
};

}  // namespace scanmend
