#include "test_support.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace scanmend::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "scanmend-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(file), {});
}

ProcessResult runProcess(const std::string& binary, const std::vector<std::string>& arguments,
                         const std::filesystem::path& directory, std::size_t largestFile) {
  TempDir capture;
  const std::string outPath = (capture / "stdout").string();
  const std::string errPath = (capture / "stderr").string();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(binary.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || chdir(directory.c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    alarm(120);  // a tool that hangs (on a FIFO, say) fails its test instead
    if (largestFile > 0) {
      signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead
      const rlimit limit{largestFile, largestFile};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ProcessResult result;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

CorrectionFixture::CorrectionFixture(const std::vector<std::string>& arguments,
                                     const std::vector<std::string>& words)
    : tables(parseArguments(arguments)) {
  dictionary.assign(wordLines(words), readingFold(confusionTable));
}

std::string wordLines(const std::vector<std::string>& words) {
  std::string lines;
  for (const std::string& word : words) lines += word + "\n";
  return lines;
}

}  // namespace scanmend::testing
