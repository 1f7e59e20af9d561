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

LetterFold identityFold() {
  LetterFold fold;
  for (std::size_t byte = 0; byte < fold.size(); ++byte)
    fold[byte] = static_cast<unsigned char>(byte);
  return fold;
}

std::uint64_t Dictionary::foldedHash(std::string_view word) const {
  if (word.size() > kMaxWordLength) return 0;  // no such word is kept
  char folded[kMaxWordLength];
  for (std::size_t i = 0; i < word.size(); ++i)
    folded[i] = static_cast<char>(fold_[static_cast<unsigned char>(word[i])]);
  return hashWord(std::string_view(folded, word.size()));
}

std::string_view Dictionary::recordAt(std::uint64_t offset) const {
  const auto length = static_cast<unsigned char>(records_[offset]);
  return std::string_view(records_).substr(offset + 1, length);
}

// Index of the slot holding `word` (at most kMaxWordLength bytes), or of
// the empty slot where it belongs.
std::size_t Dictionary::findSlot(std::string_view word, std::uint64_t place) const {
  const std::uint64_t tag = hashWord(word) & kTagMask;
  std::size_t index = slotIndex(place, slots_.size());
  for (;;) {
    const std::uint64_t slot = slots_[index];
    if (slot == 0) return index;
    if ((slot & kTagMask) == tag && recordAt((slot >> 16) - 1) == word) return index;
    if (++index == slots_.size()) index = 0;
  }
}

void Dictionary::assign(std::string bytes, const LetterFold& fold) {
  fold_ = fold;
  const std::size_t ctrlZ = bytes.find('\x1A');
  if (ctrlZ != std::string::npos) bytes.resize(ctrlZ);

  const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  // Load factor at most 3/4: with the tags, a probe rarely touches a
  // record it does not want, and the table stays small beside the words.
  slots_.assign(lines + lines / 3 + 1, 0);
  wordCount_ = 0;
  countByLength_.fill(0);
  for (auto& group : sortedByLength_) group.clear();
  sortedBuilt_.fill(false);
  records_ = std::move(bytes);

  // Each taken line is rewritten as a record at `out`, never past its own
  // start: the line's LF pays for the length byte. Only the first line can
  // reach one byte ahead, into its own line end, which has been read by then.
  //
  // Lines go in batches: first each line's place is found and its slot
  // fetched ahead, then the batch is inserted, so that the table's cache
  // misses overlap instead of coming one after another.
  struct Line {
    std::size_t start;
    std::size_t length;
    std::uint64_t place;
  };
  constexpr std::size_t kBatch = 16;
  Line batch[kBatch];
  std::size_t in = 0;
  std::size_t out = 0;
  bool more = true;
  while (more) {
    std::size_t count = 0;
    while (count < kBatch) {
      const void* lf = std::memchr(records_.data() + in, '\n', records_.size() - in);
      if (lf == nullptr) {  // a last line without a line end is never taken
        more = false;
        break;
      }
      const std::size_t lineEnd = static_cast<const char*>(lf) - records_.data();
      std::size_t length = lineEnd - in;
      if (length > 0 && records_[lineEnd - 1] == '\r') --length;
      length = std::min(length, kMaxWordLength);
      const std::uint64_t place = foldedHash(std::string_view(records_.data() + in, length));
      __builtin_prefetch(&slots_[slotIndex(place, slots_.size())]);
      batch[count++] = {in, length, place};
      in = lineEnd + 1;
    }
    for (std::size_t i = 0; i < count; ++i) {
      const Line& line = batch[i];
      const std::string_view word(records_.data() + line.start, line.length);
      const std::size_t index = findSlot(word, line.place);
      if (slots_[index] != 0) continue;  // a duplicate
      const std::uint64_t tag = hashWord(word) & kTagMask;
      std::memmove(records_.data() + out + 1, word.data(), word.size());
      records_[out] = static_cast<char>(word.size());
      slots_[index] = ((out + 1) << 16) | tag;
      out += 1 + word.size();
      ++wordCount_;
      ++countByLength_[word.size()];
    }
  }
  // No shrink_to_fit: the copy would double the peak memory of a load.
  records_.resize(out);
}

bool Dictionary::contains(std::string_view word) const {
  if (word.size() > kMaxWordLength || countByLength_[word.size()] == 0) return false;
  return slots_[findSlot(word, foldedHash(word))] != 0;
}

bool Dictionary::containsAt(std::string_view word, std::uint64_t place) const {
  if (word.size() > kMaxWordLength || countByLength_[word.size()] == 0) return false;
  return slots_[findSlot(word, place)] != 0;
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

bool loadDictionary(Dictionary& dictionary, const std::string& fileName, std::ostream& console,
                    const LetterFold& fold) {
  console << "Reading dictionary ... ";
  std::string bytes;
  if (!readFileBytes(fileName, bytes)) {
    console << "Dictionary file not found!";
    console.flush();
    return false;
  }
  dictionary.assign(std::move(bytes), fold);
  console << "done!\r\n";
  return true;
}

bool containsWord(const Dictionary& dictionary, std::string_view word) {
  return dictionary.contains(word);
}

}  // namespace scanmend
