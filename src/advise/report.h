// The advisor's console text. The report is UTF-8, converted from the
// Windows-1252 words it shows; command-line words that hold bytes beyond
// ASCII are shown as $'...' words, which a shell hands over as exactly
// those bytes. The arguments line is the raw Windows-1252 words, for
// scanmend $(scanmend-advise --args-only).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "advise/advice.h"
#include "book/book.h"

namespace scanmend::advise {

// Windows-1252 to UTF-8; control bytes are shown as \xNN.
std::string toUtf8(std::string_view text);

// The word as a shell word: as it is when every byte is plain, else $'...'.
std::string shellWord(std::string_view word);

std::string formatArgumentsLine(const Advice& advice);

// `findings` are the directory checks' findings, UTF-8, shown first.
std::string formatReport(const Advice& advice, const Book& book, std::size_t dictionaryWords,
                         const std::vector<std::string>& findings = {});

}  // namespace scanmend::advise
