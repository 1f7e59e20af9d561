// scanmend-pages: OCR files in and out of a book's working directory.
//
//   import FILE...  reads the files (a directory: its OCR files, sorted by
//                   name) as pages in/001.txt, in/002.txt, ..., creates
//                   out/, and writes the manifest pages.tsv and words.tsv,
//                   and ocr.tsv where the files say how sure the OCR was.
//                   It writes nothing when any file cannot be read.
//   export DIR      writes every source file, corrected from out/NNN.txt,
//                   under DIR with its own name; a page that does not line
//                   up with the manifest is reported and not written.
//   correct FILE... DIR
//                   the three steps at once: import into a working
//                   directory of its own, scanmend-learn there, export
//                   into DIR, the reports for people in DIR/review/.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace scanmend::pages {

// Each returns the exit status: 0 when everything was done, 1 when a file
// could not be read or written, 2 for a wrong command line.
int runPages(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The commands, run in the current directory as the book's. Import
// replaces only the pages that an earlier import wrote and that are
// unchanged since, but with `force`.
int importPages(const std::vector<std::string>& sources, std::ostream& out, std::ostream& err,
                bool force = false);
class ExportRecord;
struct ExportSettings {
  std::string directory;
  bool force = false;
  // What was written, and what may be: without one, exports.tsv here,
  // saved at the end; a caller that gives one saves it.
  ExportRecord* record = nullptr;
};
int exportPages(const ExportSettings& settings, std::ostream& out, std::ostream& err);
// `arguments` are those after "correct"; -1 after a message for a wrong
// command line, for the caller to add the usage.
int correctPages(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace scanmend::pages
