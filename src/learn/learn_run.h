// scanmend-learn's command line: learns the book's misreading profile and
// corrects every word by its likeliest reading, in the working directory
// of scanmend with its files (dic.txt, in/, out/, word_fr.txt), and writes
// profile.tsv and changes.tsv for the user to review.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace scanmend::learn {

// 0 when everything was written, 1 when dic.txt, in/001.txt or the given
// profile cannot be read (nothing is written then), 2 for a wrong command
// line or a file that could not be written.
int runLearner(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace scanmend::learn
