// Everything a run of scanmend prints to its console, in one place.
//
// The texts and their line ends are fixed bytes that scripts and logs of
// earlier runs compare against, so they stay as the tool has always
// printed them, mixed as they are: the banner, "done!" and the statistics
// end in CR LF; the page and error lines in a single LF; and "Dictionary
// file not found!" in nothing at all. Each line is flushed, so that
// progress shows while a long page is worked on and nothing is lost when
// the run ends early.
#pragma once

#include <ostream>
#include <string>

#include "correction/run_stats.h"
#include "files/text_files.h"

namespace scanmend {

void printBanner(std::ostream& console);
void printReadingDictionary(std::ostream& console);
void printDictionaryRead(std::ostream& console);
void printDictionaryNotFound(std::ostream& console);
void printProcessingFile(const std::string& path, std::ostream& console);
// Nothing for a written file; the line that names the failure otherwise.
void printWriteResult(WriteResult result, std::ostream& console);
// The statistics block that ends a run.
void printStatistics(const RunStats& stats, std::ostream& console);

// For --help: the command-line words, the files, where to read more.
void printUsage(std::ostream& console);
// For --version: "scanmend" and the version.
void printVersion(std::ostream& console);

}  // namespace scanmend
