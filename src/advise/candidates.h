// Turns the evidence into the command-line words worth weighing: the
// letter exchanges that resolve far more unknown words than the
// dictionary's own neighbourhood explains, as confusion words and the
// option words that name their letter pairs; and, for the report, the
// exchanges that found words but were left out, with the reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "advise/advice.h"
#include "profile/evidence.h"
#include "profile/spelling.h"

namespace scanmend::advise {

// The fewest distinct words an exchange must resolve to be a candidate:
// more on books with many unknown words, where chance finds more.
std::int64_t minimumWordsFor(const Evidence& evidence);

// The confusion and option words that the evidence suggests, best first.
// An exchange that only changes a letter's case, or that the spelling of
// the period makes ("c" for "k" in "Colonie", "y" for "i" in "seyn"), is
// the book's own and makes none: declared, it would modernise the book.
std::vector<std::string> candidateWords(const Evidence& evidence, std::int64_t minimumWords,
                                        const Spelling& spelling);

// The exchanges that found words but made no candidate: the few most
// telling, with the reason.
std::vector<LeftOut> unsureExchanges(const Evidence& evidence, std::int64_t minimumWords,
                                     const Spelling& spelling);

// The option word that declares the same letter pair as the one-way
// confusion word "Uxy" both ways, with its repair rules ("Unu" gives
// "Bnu"), or "".
std::string namedBothWays(const std::string& word);

}  // namespace scanmend::advise
