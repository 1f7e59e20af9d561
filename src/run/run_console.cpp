#include "run/run_console.h"

#include "base/version.h"

namespace scanmend {

void printBanner(std::ostream& console) {
  console << "Starting scanmend " << kVersion << "\r\n\r\n";
  console.flush();
}

void printReadingDictionary(std::ostream& console) {
  console << "Reading dictionary ... ";
  console.flush();
}

void printDictionaryRead(std::ostream& console) {
  console << "done!\r\n";
  console.flush();
}

void printDictionaryNotFound(std::ostream& console) {
  console << "Dictionary file not found!";
  console.flush();
}

void printProcessingFile(const std::string& path, std::ostream& console) {
  console << "Processing file: " << path << "\n";
  console.flush();
}

void printWriteResult(WriteResult result, std::ostream& console) {
  switch (result) {
    case WriteResult::Written:
      return;
    case WriteResult::NotOpened:
      console << "Error opening output file\n";
      break;
    case WriteResult::NotWritten:
      console << "Error writing output file\n";
      break;
  }
  console.flush();
}

void printStatistics(const RunStats& stats, std::ostream& console) {
  console << "\r\nStats:\r\n\r\n" << formatCounterLines(stats, "", "\r\n") << "\r\n";
  console.flush();
}

}  // namespace scanmend
