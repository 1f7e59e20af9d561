// The words that word correction left unresolved, with how often, and the
// report "word_fr.txt" that lists them in byte order.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <string_view>

namespace scanmend {

// Ordered by unsigned byte values, as std::string compares.
using UnknownWordCounts = std::map<std::string, std::int64_t, std::less<>>;

// Adds 1 to the count of `word`, entering it first when needed.
void countUnknownWord(UnknownWordCounts& counts, std::string_view word);

// The report text: a header line, then "word\tcount" per entry, LF line ends.
std::string formatUnknownWordReport(const UnknownWordCounts& counts);

// Writes the report to `baseDirectory` + "/word_fr.txt".
void writeUnknownWordReport(const std::string& baseDirectory, const UnknownWordCounts& counts,
                            std::ostream& console);

}  // namespace scanmend
