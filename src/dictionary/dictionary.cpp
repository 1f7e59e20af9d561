#include "dictionary/dictionary.h"

#include <algorithm>
#include <cstring>

#include "dictionary/word_hash.h"
#include "files/text_files.h"

namespace scanmend {
namespace {

constexpr std::uint64_t kTagMask = 0xFFFF;

std::size_t slotIndex(std::uint64_t hash, std::size_t slotCount) {
  return static_cast<std::size_t>((static_cast<unsigned __int128>(hash) * slotCount) >> 64);
}

}  // namespace

std::string_view Dictionary::recordAt(std::uint64_t offset) const {
  const auto length = static_cast<unsigned char>(records_[offset]);
  return std::string_view(records_).substr(offset + 1, length);
}

// Index of the slot holding `word`, or of the empty slot where it belongs.
std::size_t Dictionary::findSlot(std::string_view word, std::uint64_t hash) const {
  const std::uint64_t tag = hash & kTagMask;
  std::size_t index = slotIndex(hash, slots_.size());
  for (;;) {
    const std::uint64_t slot = slots_[index];
    if (slot == 0) return index;
    if ((slot & kTagMask) == tag && recordAt((slot >> 16) - 1) == word) return index;
    if (++index == slots_.size()) index = 0;
  }
}

void Dictionary::assign(std::string bytes) {
  const std::size_t ctrlZ = bytes.find('\x1A');
  if (ctrlZ != std::string::npos) bytes.resize(ctrlZ);

  const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  slots_.assign(lines + lines / 2 + 1, 0);  // load factor at most 2/3
  wordCount_ = 0;
  countByLength_.fill(0);
  for (auto& group : sortedByLength_) group.clear();
  sortedBuilt_.fill(false);
  records_ = std::move(bytes);

  // Each taken line is rewritten as a record at `out`, never past its own
  // start: the line's LF pays for the length byte. Only the first line can
  // reach one byte ahead, into its own line end, which has been read by then.
  std::size_t in = 0;
  std::size_t out = 0;
  for (;;) {
    const void* lf = std::memchr(records_.data() + in, '\n', records_.size() - in);
    if (lf == nullptr) break;  // a last line without a line end is never taken
    const std::size_t lineEnd = static_cast<const char*>(lf) - records_.data();
    std::size_t length = lineEnd - in;
    if (length > 0 && records_[lineEnd - 1] == '\r') --length;
    length = std::min(length, kMaxWordLength);

    const std::string_view word(records_.data() + in, length);
    const std::uint64_t hash = hashWord(word);
    const std::size_t index = findSlot(word, hash);
    if (slots_[index] == 0) {
      std::memmove(records_.data() + out + 1, records_.data() + in, length);
      records_[out] = static_cast<char>(length);
      slots_[index] = ((out + 1) << 16) | (hash & kTagMask);
      out += 1 + length;
      ++wordCount_;
      ++countByLength_[length];
    }
    in = lineEnd + 1;
  }
  records_.resize(out);
  records_.shrink_to_fit();
}

bool Dictionary::contains(std::string_view word) const {
  if (word.size() > kMaxWordLength || countByLength_[word.size()] == 0) return false;
  return slots_[findSlot(word, hashWord(word))] != 0;
}

const std::vector<std::string_view>& Dictionary::sortedWordsOfLength(std::size_t length) const {
  static const std::vector<std::string_view> kNone;
  if (countOfLength(length) == 0) return kNone;
  auto& group = sortedByLength_[length];
  if (!sortedBuilt_[length]) {
    group.reserve(countByLength_[length]);
    for (std::size_t offset = 0; offset < records_.size();) {
      const std::string_view word = recordAt(offset);
      if (word.size() == length) group.push_back(word);
      offset += 1 + word.size();
    }
    std::sort(group.begin(), group.end());
    sortedBuilt_[length] = true;
  }
  return group;
}

bool loadDictionary(Dictionary& dictionary, const std::string& fileName, std::ostream& console) {
  console << "Reading dictionary ... ";
  std::string bytes;
  if (!readFileBytes(fileName, bytes)) {
    console << "Dictionary file not found!";
    console.flush();
    return false;
  }
  dictionary.assign(std::move(bytes));
  console << "done!\r\n";
  return true;
}

bool containsWord(const Dictionary& dictionary, std::string_view word) {
  return dictionary.contains(word);
}

}  // namespace scanmend
