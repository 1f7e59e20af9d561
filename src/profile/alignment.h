// How a word as read lines up letter by letter with the word meant: the
// cheapest steps that keep or exchange a letter, read one for two or two
// for one, add or leave out a letter. A letter left out goes with the
// scanned letter after it ("zur\xFCkehrt" for "zur\xFC" "ckkehrt" reads "k"
// as "ck"); those left out at the word's end are a step of their own, of
// no scanned letter ("dur" for "durch").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scanmend {

struct AlignedStep {
  std::size_t at = 0;      // the scanned letters [at, at + length) of the word as read
  std::size_t length = 1;  // one or two; none for the letters left out at the end
  std::string meant;       // what they stand for: none, one or more letters
};

// Every scanned letter of `read` in one step, in order, and a last step
// at the end for the letters left out there, if any.
std::vector<AlignedStep> alignWords(std::string_view read, std::string_view meant);

}  // namespace scanmend
