// scanmend-pages correct: import, scanmend-learn and export in one step,
// in a working directory of its own under the system's temporary
// directory, removed afterwards. The learner runs as the program it is,
// found beside scanmend-pages or else on the PATH, so that each tool
// stays its own program. The learner's reports go beside the corrected
// files, and so does the record of what export wrote there, so that the
// next run into the same folder may overwrite its own files.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <sstream>

#include "book/ocr_evidence.h"
#include "files/replacement.h"
#include "files/text_files.h"
#include "pages/export_targets.h"
#include "pages/pages_run.h"

extern char** environ;

namespace scanmend::pages {
namespace {

namespace fs = std::filesystem;

constexpr const char* kReports[] = {"profile.tsv", "changes.tsv", "word_fr.txt"};

struct CorrectSettings {
  std::vector<std::string> sources;
  std::string directory;
  std::string dictionary = "dic.txt";
  std::string spelling;
  bool force = false;
};

bool parseCorrect(const std::vector<std::string>& arguments, CorrectSettings& settings) {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--force") {
      settings.force = true;
    } else if ((arguments[i] == "--dictionary" || arguments[i] == "--spelling") &&
               i + 1 < arguments.size()) {
      std::string& file = arguments[i] == "--dictionary" ? settings.dictionary : settings.spelling;
      file = arguments[++i];
    } else if (arguments[i].starts_with("--")) {
      return false;
    } else {
      paths.push_back(arguments[i]);
    }
  }
  if (paths.size() < 2) return false;
  settings.directory = paths.back();
  paths.pop_back();
  settings.sources = std::move(paths);
  return true;
}

std::string absolute(const std::string& path) {
  std::error_code error;
  const fs::path full = fs::absolute(path, error);
  return error ? path : full.lexically_normal().string();
}

// The learner beside this program, or its name for the PATH.
std::string learnerProgram() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    const fs::path beside = self.parent_path() / "scanmend-learn";
    if (access(beside.c_str(), X_OK) == 0) return beside.string();
  }
  return "scanmend-learn";
}

// Runs the learner in the current directory; its exit status, or -1 when
// it could not be started.
int runLearner(const std::string& spelling) {
  const std::string program = learnerProgram();
  std::vector<std::string> words{"scanmend-learn"};
  if (!spelling.empty()) words.insert(words.end(), {"--spelling", spelling});
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::cout.flush();
  pid_t child = 0;
  const int started =
      program.find('/') == std::string::npos
          ? posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ)
          : posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (started != 0) return -1;
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

// Copies `from` to `to` as a whole new file.
bool copyFile(const fs::path& from, const fs::path& to) {
  std::string bytes;
  if (readFile(from.string(), bytes) != ReadResult::Read) return false;
  Replacement file(to.string());
  return file.write(bytes) && file.commit();
}

// The steps, in the working directory `book`.
int correctIn(const fs::path& book, const CorrectSettings& settings, std::ostream& out,
              std::ostream& err) {
  if (!copyFile(settings.dictionary, book / "dic.txt")) {
    err << "scanmend-pages: " << settings.dictionary << ": cannot be read as the dictionary\n";
    return 1;
  }
  const fs::path directory(settings.directory);
  // What an earlier run exported there, so that it may be overwritten.
  if (fs::exists(directory / kExportsFile) &&
      !copyFile(directory / kExportsFile, book / kExportsFile)) {
    err << "scanmend-pages: " << (directory / kExportsFile).string() << ": cannot be read\n";
    return 1;
  }
  const fs::path previous = fs::current_path();
  fs::current_path(book);
  // Import's report without what it says to do next, which is done here.
  std::ostringstream imported;
  int status = importPages(settings.sources, imported, err);
  for (std::size_t at = 0; at < imported.str().size();) {
    const std::size_t end = imported.str().find('\n', at) + 1;
    const std::string line = imported.str().substr(at, end - at);
    if (!line.starts_with("Correct them")) out << line;
    at = end;
  }
  if (status == 0) {
    out.flush();
    const int learned = runLearner(settings.spelling);
    if (learned != 0) {
      err << "scanmend-pages: "
          << (learned < 0 ? "scanmend-learn was not found beside scanmend-pages or on the PATH"
                          : "scanmend-learn failed")
          << "; nothing exported\n";
      status = 1;
    }
  }
  if (status == 0) status = exportPages({settings.directory, settings.force}, out, err);
  fs::current_path(previous);
  if (status != 0 && !fs::exists(book / kExportsFile)) return status;
  // The reports of the learner, and the record of what was exported.
  bool copied = true;
  for (const char* report : kReports)
    if (fs::exists(book / report)) copied = copyFile(book / report, directory / report) && copied;
  if (fs::exists(book / kExportsFile))
    copied = copyFile(book / kExportsFile, directory / kExportsFile) && copied;
  if (!copied) {
    err << "scanmend-pages: the reports cannot be written to " << settings.directory << "\n";
    return 1;
  }
  if (status == 0)
    out << "Reports beside the corrected files: " << settings.directory << "/profile.tsv, "
        << settings.directory << "/changes.tsv.\n";
  return status;
}

}  // namespace

int correctPages(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  CorrectSettings settings;
  if (!parseCorrect(arguments, settings)) return -1;
  for (std::string& source : settings.sources) {
    const std::string name = fs::path(source).filename().string();
    for (const std::string_view own :
         {"profile.tsv", "changes.tsv", "word_fr.txt", "exports.tsv"}) {
      if (name == own) {
        err << "scanmend-pages: " << source
            << " has the name of a report that correct writes beside the files\n";
        return 1;
      }
    }
    source = absolute(source);
  }
  settings.directory = absolute(settings.directory);
  settings.dictionary = absolute(settings.dictionary);
  if (!settings.spelling.empty()) settings.spelling = absolute(settings.spelling);

  std::string pattern = (fs::temp_directory_path() / "scanmend-book-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    err << "scanmend-pages: cannot create a working directory in "
        << fs::temp_directory_path().string() << "\n";
    return 1;
  }
  const fs::path book(pattern);
  const int status = correctIn(book, settings, out, err);
  std::error_code error;
  fs::remove_all(book, error);
  return status;
}

}  // namespace scanmend::pages
