// scanmend-pages lines DIR: the lines of a corrected book as training
// data for an OCR program, each as NAME.png (the line cut from the page
// image, grey, at the image's resolution) and NAME.gt.txt (its text as the
// corrected file holds it, UTF-8, one line ending in LF), the layout that
// OCR training tools read.
//
// DIR is a folder that `scanmend-pages correct` wrote. Read there: the
// corrected files (the text and the boxes of each line), review/images.tsv
// (each file's source and page image) and, unless every line is asked
// for, review/decisions.tsv (the decisions of the last `correct
// --decisions`: a line with a decided word is a line a person reviewed).
// A page image that images.tsv does not name is looked for as `correct`
// looks for it, from the source's place. NAME is the file's name with "_"
// for ".", "_", and the line's number in four digits: "001_xml_0012".
#pragma once

#include <ostream>
#include <string>

namespace scanmend::pages {

struct LinesSettings {
  std::string directory;
  std::string to;      // the folder to write in; empty: DIR/review/training
  std::string images;  // where else the page images may be; may be empty
  bool all = false;    // every line, not only those reviewed
};

// The exit status: 0 when lines were written, 1 when a file could not be
// read or written or no line could be cut.
int writeTrainingLines(const LinesSettings& settings, std::ostream& out, std::ostream& err);

}  // namespace scanmend::pages
