// What an OCR usually misreads before a book says anything: a prior
// profile per model of tesseract's Fraktur reading (data/prior/*.tsv,
// counted on real prints with their true text), or one of the user's own.
// A book of ten pages shows too few misreadings to learn from; it starts
// from the prior, which its own evidence then adjusts or overrules.
//
// Which model read a book is not known from plain pages: the prior is the
// one under which the book's words are likeliest (its right words keep
// their letters, its unknown words read as dictionary words).
#pragma once

#include <string>
#include <vector>

#include "book/book.h"
#include "profile/known_words.h"
#include "profile/profile.h"

namespace scanmend {

struct OcrPrior {
  std::string name;  // the model's, or the file's
  Profile profile;
};

// The priors shipped with the tools.
const std::vector<OcrPrior>& shippedPriors();

// A prior in the form of profile.tsv; false, with the reason (the path
// first), where it cannot be read.
bool readPriorFile(const std::string& path, OcrPrior& prior, std::string& error);

// The number of the prior under which the book's most frequent words are
// likeliest; 0 for a single prior.
std::size_t likeliestPrior(const std::vector<BookWord>& words, const KnownWords& known,
                           const std::vector<OcrPrior>& priors);

}  // namespace scanmend
