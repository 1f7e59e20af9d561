// Corrects the text of one page: optional line joining, then every word
// through word correction, then optional phrase repairs.
#pragma once

#include <string>

#include "correction/word_correction.h"

namespace scanmend {

// "=" joins broken words first; "german" repairs phrases last. Every
// separator is copied in place; every word (as word_splitting.h cuts the
// page) is replaced by correctWord's result.
std::string correctPage(std::string page, CorrectionContext& context);

}  // namespace scanmend
