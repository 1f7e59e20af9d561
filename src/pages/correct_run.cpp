// scanmend-pages correct: import, scanmend-learn and export in one step,
// in a working directory of its own under the system's temporary
// directory. The learner runs as the program it is, found beside
// scanmend-pages or else on the PATH, so that each tool stays its own
// program.
//
// The corrected files go to DIR under their own names; everything else
// goes to DIR/review/, where no corrected file can take its name: the
// learner's reports for people, in UTF-8, and the record of every file
// written, so that the next run into the same folder overwrites its own
// files and nothing else. Every file is written new and renamed into
// place.
//
// The work runs in a child process, and this one waits for it: whatever
// becomes of the work (a failure, a crash, SIGINT, SIGTERM or SIGHUP), the
// working directory is removed afterwards.
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

#include "base/user_text.h"
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

// The folder in DIR that holds everything but the corrected files.
constexpr std::string_view kReviewFolder = "review";
constexpr std::string_view kRecordFile = "written.tsv";
// The learner's reports, as it names them in the working directory.
constexpr const char* kReports[] = {"profile.tsv", "changes.tsv", "word_fr.txt"};

struct CorrectSettings {
  std::vector<std::string> sources;
  std::string directory;
  std::string dictionary = "dic.txt";
  bool dictionaryGiven = false;
  std::string spelling;
  std::string profile;
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

bool parseCorrect(const std::vector<std::string>& arguments, CorrectSettings& settings,
                  std::ostream& err) {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--force") {
      settings.force = true;
    } else if (argument == "--no-review") {
      settings.review = false;
    } else if (argument == "--line-images") {
      settings.lineImages = true;
    } else if (argument == "--dictionary" || argument == "--spelling" || argument == "--profile" ||
               argument == "--images" || argument == "--decisions" ||
               argument == "--confidence-below") {
      if (i + 1 == arguments.size()) {
        err << "scanmend-pages: " << argument
            << (argument == "--images"             ? " needs a folder\n"
                : argument == "--confidence-below" ? " needs a number from 0 to 1\n"
                                                   : " needs a file\n");
        return false;
      }
      if (argument == "--confidence-below") {
        if (!parseConfidence(arguments[++i], settings.confidenceBelow)) {
          err << "scanmend-pages: --confidence-below " << arguments[i]
              << ": give a number from 0 to 1\n";
          return false;
        }
        continue;
      }
      std::string& file = argument == "--dictionary" ? settings.dictionary
                          : argument == "--spelling" ? settings.spelling
                          : argument == "--profile"  ? settings.profile
                          : argument == "--images"   ? settings.images
                                                     : settings.decisions;
      file = arguments[++i];
      settings.dictionaryGiven = settings.dictionaryGiven || argument == "--dictionary";
    } else if (argument.starts_with("-") && argument.size() > 1) {
      err << "scanmend-pages: unknown option " << argument << " for correct\n";
      return false;
    } else {
      paths.push_back(argument);
    }
  }
  if (paths.size() < 2) {
    err << "scanmend-pages: correct needs the files to correct and the folder to write them to\n";
    return false;
  }
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

// The path with every link that exists resolved.
fs::path resolved(const fs::path& path) {
  std::error_code error;
  fs::path full = fs::weakly_canonical(path, error);
  if (error) full = path.lexically_normal();
  if (!full.has_filename() && full != full.root_path()) full = full.parent_path();
  return full;
}

bool holds(const fs::path& outer, const fs::path& inner) {
  return std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end()).first == outer.end();
}

// Why `path` cannot be a folder to write to, or "": it is a folder, or
// nothing yet (a folder is made there).
std::string unusableFolder(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) {
    if (!S_ISDIR(status.st_mode)) return "is there and is not a folder";
    if (::access(path.c_str(), W_OK | X_OK) != 0)
      return std::string("cannot be written to: ") + std::strerror(errno);
    return "";
  }
  if (errno == ENOENT) return "";
  if (errno == ELOOP) return "cannot be reached: its symbolic links make a loop";
  return std::string("cannot be reached: ") + std::strerror(errno);
}

// The temporary directory to work in: TMPDIR where it is set, else /tmp.
// False, with the reason, where that is no folder to write in.
bool temporaryRoot(fs::path& root, std::string& reason) {
  const char* variable = std::getenv("TMPDIR");
  const std::string name = variable != nullptr && *variable != '\0' ? variable : "/tmp";
  root = absolute(name);
  if (const std::string why = unusableFolder(root.string()); !why.empty() || !fs::exists(root)) {
    reason = "the temporary directory " + name + (variable != nullptr ? " (TMPDIR) " : " ") +
             (why.empty() ? "is not there" : why) +
             "; set TMPDIR to a folder to work in, or leave it unset for /tmp";
    return false;
  }
  return true;
}

// The learner beside this program, or else on the PATH, whose relative
// entries count from `start`, the directory correct was started in (the
// learner is looked for before the working directory is entered); "" where
// there is none.
std::string findLearner(const fs::path& start) {
  const auto runnable = [](const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
  };
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (!error && runnable(self.parent_path() / "scanmend-learn"))
    return (self.parent_path() / "scanmend-learn").string();
  const char* path = std::getenv("PATH");
  std::string_view entries = path != nullptr ? path : "";
  while (path != nullptr) {
    const std::size_t colon = std::min(entries.find(':'), entries.size());
    const fs::path entry(entries.substr(0, colon));
    const fs::path candidate = (entry.empty() ? start : start / entry) / "scanmend-learn";
    if (runnable(candidate)) return candidate.lexically_normal().string();
    if (colon == entries.size()) break;
    entries.remove_prefix(colon + 1);
  }
  return "";
}

// The learner's process while it runs, for the signal handler to stop it.
volatile sig_atomic_t gLearner = 0;

// Runs the learner `program` in the current directory with `arguments`;
// its exit status, or -1 when it could not be started.
int runLearner(const std::string& program, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "scanmend-learn");
  std::vector<char*> argv;
  for (std::string& word : arguments) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::cout.flush();
  pid_t child = 0;
  if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  gLearner = child;
  int status = 0;
  pid_t waited = 0;
  do {
    waited = waitpid(child, &status, 0);
  } while (waited < 0 && errno == EINTR);
  gLearner = 0;
  if (waited != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

// The learner, given the spelling table, the profile and the decisions
// where there are any.
int learnWith(const std::string& program, const ReviewDecisions& decisions,
              const CorrectSettings& settings, std::ostream& err) {
  // Export writes back words, not the bytes between them: a letter read
  // for the hyphen at a line end stays as read.
  std::vector<std::string> arguments{"--marks-as-read"};
  if (!settings.spelling.empty())
    arguments.insert(arguments.end(), {"--spelling", settings.spelling});
  if (!settings.profile.empty()) arguments.insert(arguments.end(), {"--profile", settings.profile});
  if (!settings.decisions.empty()) {
    constexpr const char* kLearned = "decisions-for-learning.tsv";
    if (!decisions.writeForLearner(kLearned)) {
      err << "scanmend-pages: " << kLearned << " cannot be written in the working directory\n";
      return 1;
    }
    arguments.insert(arguments.end(), {"--decisions", kLearned});
  }
  return runLearner(program, arguments);
}

// Reads the dictionary in UTF-8 or Windows-1252 and writes it to `to` in
// Windows-1252, as import and the learner read it; false after a message.
// Lines that Windows-1252 cannot hold are left out, with a warning.
bool copyDictionary(const std::string& from, const fs::path& to, std::ostream& err) {
  std::string bytes;
  if (const ReadResult read = readFile(from, bytes); read != ReadResult::Read) {
    err << "scanmend-pages: " << from << " " << readFailure(read) << " (the dictionary)\n";
    return false;
  }
  Windows1252Text text = windows1252Text(bytes);
  if (!text.leftOut.empty())
    err << "scanmend-pages: warning: " << from << ": " << lineList(text.leftOut) << " hold"
        << (text.leftOut.size() == 1 ? "s" : "")
        << " a character that Windows-1252 lacks; no page can hold such a word, and it is left "
           "out\n";
  // A last line without its line end would not be read.
  if (!text.bytes.empty() && text.bytes.back() != '\n') text.bytes.push_back('\n');
  Replacement file(to.string());
  if (!file.write(text.bytes) || !file.commit()) {
    err << "scanmend-pages: " << to.string() << ": cannot be written\n";
    return false;
  }
  return true;
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
int correctIn(const fs::path& book, const fs::path& start, const CorrectSettings& settings,
              std::ostream& out, std::ostream& err) {
  const fs::path directory(settings.directory);
  const fs::path review = directory / kReviewFolder;
  if (!copyDictionary(settings.dictionary, book / "dic.txt", err)) {
    if (!settings.dictionaryGiven)
      err << "scanmend-pages: give the dictionary with --dictionary FILE (Debian's wogerman: "
             "apt-get install wogerman, then --dictionary /usr/share/dict/ogerman)\n";
    return 1;
  }
  const std::string learner = findLearner(start);
  if (learner.empty()) {
    err << "scanmend-pages: scanmend-learn was found neither beside scanmend-pages nor on the "
           "PATH; install the tools together, or put the learner's folder on the PATH\n";
    return 1;
  }
  // What earlier runs wrote there, so that they may be overwritten; the
  // record of an older version beside the files counts too.
  ExportRecord record((review / kRecordFile).string());
  std::string why;
  if (!record.load(why)) {
    err << "scanmend-pages: " << why << "; nothing done\n";
    return 1;
  }
  record.loadAlso((directory / kExportsFile).string());
  record.confineTo(directory);
  for (const std::string& file : {settings.dictionary, settings.spelling, settings.profile})
    if (!file.empty()) record.protect(file);
  for (const std::string& source : settings.sources) record.protect(source);

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
  bool learned = false;
  if (status == 0) {
    out.flush();
    const int run = learnWith(learner, decisions, settings, err);
    learned = run == 0;
    if (!learned) {
      err << "scanmend-pages: "
          << (run < 0 ? "scanmend-learn (" + learner + ") could not be started"
                      : "scanmend-learn failed")
          << "; nothing exported\n";
      status = 1;
    }
  }
  if (status == 0 && !settings.decisions.empty() && !decisions.apply(err)) status = 1;
  if (status == 0) status = exportPages({settings.directory, settings.force, &record}, out, err);
  ReviewSummary summary;
  if (status == 0 && settings.review) {
    ReviewSettings wanted = reviewSettings(settings, decisions);
    wanted.write = [&](const std::string& path, std::string_view bytes, std::string& reason) {
      return record.write(path, bytes, settings.force, reason);
    };
    if (!writeReview(wanted, summary, err)) status = 1;
  }
  fs::current_path(previous);
  if (!learned) return status;

  // The reports for people, in UTF-8.
  std::error_code error;
  fs::create_directory(review, error);
  std::vector<std::string> written;
  bool copied = true;
  for (const char* report : kReports) {
    std::string bytes;
    if (readFile((book / report).string(), bytes) != ReadResult::Read) continue;
    if (record.write(review / report, utf8Report(bytes), settings.force, why)) {
      written.push_back(report);
    } else {
      err << "scanmend-pages: " << (review / report).string() << " " << why << "\n";
      copied = false;
    }
  }
  if (!record.save()) {
    err << "scanmend-pages: " << record.file()
        << " cannot be written: the files just written count as not written by correct\n";
    copied = false;
  }
  if (!written.empty()) {
    out << "Reports in " << review.string() << "/:";
    for (const std::string& name : written) out << " " << name;
    out << ".\n";
  }
  if (status == 0 && settings.review) out << reviewReport(summary, settings.directory);
  return copied ? status : 1;
}

// The signal that stopped the run, and the worker's process, for the
// handlers; both async-signal-safe.
volatile sig_atomic_t gCaught = 0;
volatile sig_atomic_t gWorker = 0;

constexpr int kStoppingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// In the waiting process: the signal is passed on to the worker.
void onSignalWhileWaiting(int signal) {
  gCaught = signal;
  if (gWorker > 0) ::kill(gWorker, signal);
}

// In the worker: the learner is stopped too, then the worker ends as the
// signal ends it.
void onSignalWhileWorking(int signal) {
  if (gLearner > 0) ::kill(gLearner, SIGTERM);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

// The handlers of the stopping signals while correct runs, the earlier
// ones again afterwards. A signal ignored when the tool was started (a
// job in the background of a shell without job control) stays ignored.
class StoppingSignals {
 public:
  StoppingSignals() {
    struct sigaction waiting {};
    waiting.sa_handler = onSignalWhileWaiting;
    sigemptyset(&waiting.sa_mask);
    for (std::size_t i = 0; i < std::size(kStoppingSignals); ++i) {
      sigaction(kStoppingSignals[i], nullptr, &before_[i]);
      ignored_[i] = before_[i].sa_handler == SIG_IGN;
      if (!ignored_[i]) sigaction(kStoppingSignals[i], &waiting, nullptr);
    }
  }
  ~StoppingSignals() {
    for (std::size_t i = 0; i < std::size(kStoppingSignals); ++i)
      sigaction(kStoppingSignals[i], &before_[i], nullptr);
  }
  StoppingSignals(const StoppingSignals&) = delete;
  StoppingSignals& operator=(const StoppingSignals&) = delete;

  // In the worker: its own handlers.
  void whileWorking() const {
    for (std::size_t i = 0; i < std::size(kStoppingSignals); ++i)
      if (!ignored_[i]) ::signal(kStoppingSignals[i], onSignalWhileWorking);
  }
  // Ends the program as the signal caught ends a program.
  [[noreturn]] void endAsStopped() const {
    ::signal(gCaught, SIG_DFL);
    ::raise(gCaught);
    std::_Exit(128 + gCaught);
  }

 private:
  struct sigaction before_[std::size(kStoppingSignals)]{};
  bool ignored_[std::size(kStoppingSignals)] = {};
};

// Removes the working directory; a learner that was just stopped may
// still be leaving.
void removeWorkingDirectory(const fs::path& book) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::error_code error;
    fs::remove_all(book, error);
    if (!error || !fs::exists(fs::symlink_status(book, error))) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace

int correctPages(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  CorrectSettings settings;
  if (!parseCorrect(arguments, settings, err)) return -1;
  for (std::string& source : settings.sources) {
    if (fs::path(source).filename() == kReviewFolder) {
      err << "scanmend-pages: " << source << " would be written as " << settings.directory << "/"
          << kReviewFolder << ", the folder of the reports; rename it\n";
      return 1;
    }
    source = absolute(source);
  }
  for (std::string* file : {&settings.directory, &settings.dictionary, &settings.spelling,
                            &settings.profile, &settings.images, &settings.decisions})
    if (!file->empty()) *file = absolute(*file);

  // The folders are checked before anything is done.
  if (const std::string why = unusableFolder(settings.directory); !why.empty()) {
    err << "scanmend-pages: " << settings.directory << " " << why << "\n";
    return 1;
  }
  const fs::path review = fs::path(settings.directory) / kReviewFolder;
  std::error_code error;
  if (const fs::file_status status = fs::symlink_status(review, error);
      fs::exists(status) && !fs::is_directory(status)) {
    err << "scanmend-pages: " << review.string()
        << " is there and is no folder (or a link): correct writes its reports there; move it "
           "away\n";
    return 1;
  }
  if (std::string why; !mayExportInto(settings.directory, settings.sources, {}, why)) {
    err << "scanmend-pages: " << settings.directory << " " << why << "; nothing done\n";
    return 1;
  }
  fs::path root;
  if (std::string why; !temporaryRoot(root, why)) {
    err << "scanmend-pages: " << why << "\n";
    return 1;
  }
  if (holds(resolved(settings.directory), resolved(root))) {
    err << "scanmend-pages: " << settings.directory << " is or holds the temporary directory "
        << root.string()
        << ", where correct works; write to a folder of its own, or set TMPDIR to another\n";
    return 1;
  }
  // The signals that stop the run are caught before the working directory
  // exists, so that none can leave it behind.
  StoppingSignals signals;
  std::string pattern = (root / "scanmend-book-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    err << "scanmend-pages: cannot create a working directory in " << root.string() << ": "
        << std::strerror(errno) << "\n";
    return 1;
  }
  const fs::path book(pattern);
  const fs::path start = fs::current_path();

  out.flush();
  err.flush();
  std::cout.flush();
  std::cerr.flush();
  const pid_t worker = gCaught != 0 ? -1 : ::fork();
  if (worker == 0) {
    signals.whileWorking();
    const int status = correctIn(book, start, settings, out, err);
    out.flush();
    err.flush();
    return status;  // the worker ends as the tool ends
  }
  int status = 0;
  if (worker < 0) {  // no process to spare, or stopped already: the work is done here
    status = gCaught != 0 ? 1 : correctIn(book, start, settings, out, err);
  } else {
    gWorker = worker;
    if (gCaught != 0) ::kill(worker, gCaught);
    while (waitpid(worker, &status, 0) < 0 && errno == EINTR) {
    }
    gWorker = 0;
  }
  removeWorkingDirectory(book);
  if (gCaught != 0) signals.endAsStopped();
  if (worker < 0) return status;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  err << "scanmend-pages: correct ended by signal " << WTERMSIG(status)
      << "; its working directory is removed\n";
  return 1;
}

}  // namespace scanmend::pages
