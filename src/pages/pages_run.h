// scanmend-pages: OCR files in and out of a book's working directory.
//
//   import FILE...  reads the files (a directory: its OCR files, sorted by
//                   name) as pages in/001.txt, in/002.txt, ..., creates
//                   out/, and writes the manifest pages.tsv and words.tsv.
//                   It writes nothing when any file cannot be read.
//   export DIR      writes every source file, corrected from out/NNN.txt,
//                   under DIR with its own name; a page that does not line
//                   up with the manifest is reported and not written.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace scanmend::pages {

// Returns the exit status: 0 when everything was done, 1 when a file
// could not be read or written, 2 for a wrong command line.
int runPages(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace scanmend::pages
