// scanmend-pages correct: import, scanmend-learn and export in one step,
// in a working directory of its own under the system's temporary
// directory, removed afterwards. The learner runs as the program it is,
// found beside scanmend-pages or else on the PATH, so that each tool
// stays its own program. The learner's reports go beside the corrected
// files, and so does the record of what export wrote there, so that the
// next run into the same folder may overwrite its own files.
#include <spawn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "book/ocr_evidence.h"
#include "files/replacement.h"
#include "files/text_files.h"
#include "pages/export_targets.h"
#include "pages/pages_run.h"
#include "pages/review_decisions.h"
#include "pages/review_run.h"

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
  std::string images;     // where else the page images may be
  std::string decisions;  // a person's decisions on an earlier review
  double confidenceBelow = 0.5;
  bool review = true;
  bool lineImages = false;
  bool force = false;
};

bool parseConfidence(const std::string& text, double& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0 && value <= 1;
}

bool parseCorrect(const std::vector<std::string>& arguments, CorrectSettings& settings) {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--force") {
      settings.force = true;
    } else if (arguments[i] == "--no-review") {
      settings.review = false;
    } else if (arguments[i] == "--line-images") {
      settings.lineImages = true;
    } else if ((arguments[i] == "--dictionary" || arguments[i] == "--spelling" ||
                arguments[i] == "--images" || arguments[i] == "--decisions") &&
               i + 1 < arguments.size()) {
      std::string& file = arguments[i] == "--dictionary" ? settings.dictionary
                          : arguments[i] == "--spelling" ? settings.spelling
                          : arguments[i] == "--images"   ? settings.images
                                                         : settings.decisions;
      file = arguments[++i];
    } else if (arguments[i] == "--confidence-below" && i + 1 < arguments.size()) {
      if (!parseConfidence(arguments[++i], settings.confidenceBelow)) return false;
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

// Runs the learner in the current directory with `arguments`; its exit
// status, or -1 when it could not be started. With `output`, what it
// prints goes to that file.
int runLearner(std::vector<std::string> arguments, const char* output = nullptr) {
  const std::string program = learnerProgram();
  arguments.insert(arguments.begin(), "scanmend-learn");
  std::vector<char*> argv;
  for (std::string& word : arguments) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::cout.flush();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output != nullptr)
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output, O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  pid_t child = 0;
  const int started =
      program.find('/') == std::string::npos
          ? posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ)
          : posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return -1;
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

// Whether the learner learns from a person's decisions: its help says so.
bool learnerTakesDecisions() {
  constexpr const char* kHelp = "learner-help.txt";
  std::string help;
  return runLearner({"--help"}, kHelp) == 0 && readFileBytes(kHelp, help) &&
         help.find("--decisions") != std::string::npos;
}

// The learner, given the spelling table and the decisions where there
// are any; a learner that does not take decisions learns without them, and
// they are only written in their places.
int learnWith(const ReviewDecisions& decisions, const CorrectSettings& settings,
              std::ostream& err) {
  // Export writes back words, not the bytes between them: a letter read
  // for the hyphen at a line end stays as read.
  std::vector<std::string> arguments{"--marks-as-read"};
  if (!settings.spelling.empty())
    arguments.insert(arguments.end(), {"--spelling", settings.spelling});
  if (settings.decisions.empty()) return runLearner(arguments);
  constexpr const char* kLearned = "decisions-for-learning.tsv";
  if (!learnerTakesDecisions()) {
    err << "scanmend-pages: this scanmend-learn does not learn from decisions; they are written "
           "in their places only\n";
  } else if (decisions.writeForLearner(kLearned)) {
    arguments.insert(arguments.end(), {"--decisions", kLearned});
  } else {
    err << "scanmend-pages: " << kLearned << " cannot be written in the working directory\n";
    return 1;
  }
  return runLearner(arguments);
}

// Copies `from` to `to` as a whole new file.
bool copyFile(const fs::path& from, const fs::path& to) {
  std::string bytes;
  if (readFile(from.string(), bytes) != ReadResult::Read) return false;
  Replacement file(to.string());
  return file.write(bytes) && file.commit();
}

// What the review is to be, in DIR/review.
ReviewSettings reviewSettings(const CorrectSettings& settings, const ReviewDecisions& decisions) {
  ReviewSettings review;
  review.folder = (fs::path(settings.directory) / "review").string();
  review.imagesFolder = settings.images;
  review.title = fs::path(settings.directory).filename().string();
  review.confidenceBelow = settings.confidenceBelow;
  review.decided = decidedOccurrences(decisions.rows());
  review.decisionsFile = settings.decisions;
  review.lineImages = settings.lineImages;
  return review;
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
  ReviewDecisions decisions;
  if (status == 0 && !settings.decisions.empty() &&
      !(decisions.load(settings.decisions, err) && decisions.check(err))) {
    fs::current_path(previous);
    return 1;
  }
  if (status == 0) {
    out.flush();
    const int learned = learnWith(decisions, settings, err);
    if (learned != 0) {
      err << "scanmend-pages: "
          << (learned < 0 ? "scanmend-learn was not found beside scanmend-pages or on the PATH"
                          : "scanmend-learn failed")
          << "; nothing exported\n";
      status = 1;
    }
  }
  if (status == 0 && !settings.decisions.empty() && !decisions.apply(err)) status = 1;
  if (status == 0) status = exportPages({settings.directory, settings.force}, out, err);
  ReviewSummary review;
  if (status == 0 && settings.review &&
      !writeReview(reviewSettings(settings, decisions), review, err))
    status = 1;
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
  if (status == 0 && settings.review) out << reviewReport(review, settings.directory);
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
  if (!settings.images.empty()) settings.images = absolute(settings.images);
  if (!settings.decisions.empty()) settings.decisions = absolute(settings.decisions);

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
