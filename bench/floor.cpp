// The floor: the least work any implementation of the tool must do on a
// workload. It reads dic.txt whole into a flat hash set without per-word
// allocation, cuts every page into words, looks each word up once, and
// writes the pages back. Run in a workload's working directory.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool readAll(const char* path, std::string& bytes) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  bytes.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  bytes.resize(got);
  std::fclose(file);
  return true;
}

std::uint64_t hashOf(std::string_view s) {
  std::uint64_t h = 1469598103934665603ULL;
  for (const char c : s) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  return h ^ (h >> 29);
}

class FlatSet {
 public:
  explicit FlatSet(std::size_t capacity) : slots_(capacity * 2 + 1) {}
  void insert(std::string_view word) {
    std::size_t i = hashOf(word) % slots_.size();
    while (slots_[i].data() != nullptr) {
      if (slots_[i] == word) return;
      i = i + 1 == slots_.size() ? 0 : i + 1;
    }
    slots_[i] = word;
  }
  bool contains(std::string_view word) const {
    std::size_t i = hashOf(word) % slots_.size();
    while (slots_[i].data() != nullptr) {
      if (slots_[i] == word) return true;
      i = i + 1 == slots_.size() ? 0 : i + 1;
    }
    return false;
  }

 private:
  std::vector<std::string_view> slots_;
};

}  // namespace

int main() {
  std::string dictionary;
  if (!readAll("dic.txt", dictionary)) return 1;
  std::size_t lines = 0;
  for (const char c : dictionary) lines += c == '\n';
  FlatSet words(lines);
  for (std::size_t start = 0, end; (end = dictionary.find('\n', start)) != std::string::npos;
       start = end + 1) {
    std::size_t length = end - start;
    if (length > 0 && dictionary[end - 1] == '\r') --length;
    words.insert(std::string_view(dictionary).substr(start, length));
  }

  bool separator[256] = {};
  for (const char c : std::string_view(" ,.-;:!?'+&%$\xA7^\xB0()=/[]\"\n\r\t\xAB\xBB"))
    separator[static_cast<unsigned char>(c)] = true;

  std::size_t known = 0;
  std::string page;
  for (int n = 1;; ++n) {
    char in[32], out[32];
    std::snprintf(in, sizeof in, "in/%03d.txt", n);
    std::snprintf(out, sizeof out, "out/%03d.txt", n);
    if (!readAll(in, page)) break;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= page.size(); ++i) {
      if (i < page.size() && !separator[static_cast<unsigned char>(page[i])]) continue;
      if (i > start) known += words.contains(std::string_view(page).substr(start, i - start));
      start = i + 1;
    }
    std::FILE* file = std::fopen(out, "wb");
    if (file == nullptr) return 1;
    std::fwrite(page.data(), 1, page.size(), file);
    std::fclose(file);
  }
  std::printf("%zu known words\n", known);
  return 0;
}
