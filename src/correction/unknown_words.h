// The words that word correction left unresolved, with how often, and the
// text of the report "word_fr.txt" that lists them in byte order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/word_hash.h"

namespace scanmend {

// Counted in a hash table, which a run with many distinct unknown words
// fills far faster than an ordered map; the report puts them in byte order.
using UnknownWordCounts =
    std::unordered_map<std::string, std::int64_t, TransparentWordHash, std::equal_to<>>;

// Adds 1 to the count of `word`, entering it first when needed.
void countUnknownWord(UnknownWordCounts& counts, std::string_view word);

// The report text: a header line, then "word\tcount" per entry in byte
// order (unsigned, a word before its continuations), LF line ends.
std::string formatUnknownWordReport(const UnknownWordCounts& counts);

}  // namespace scanmend
