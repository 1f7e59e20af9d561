#include "pages/review_book.h"

#include <filesystem>

#include "files/text_files.h"
#include "pages/review_table.h"

namespace scanmend::pages {

bool ReviewBook::load(std::string& reason) {
  std::string table;
  if (const ReadResult read = readFile(std::string(kPagesFile), table); read != ReadResult::Read) {
    reason = std::string(kPagesFile) + " " + std::string(readFailure(read));
    return false;
  }
  if (!readPagesTable(table, pages_, reason)) {
    reason = std::string(kPagesFile) + ": " + reason;
    return false;
  }
  if (std::string hyphens;
      readFileBytes(std::string(kHyphensFile), hyphens) && !readHyphensTable(hyphens, hyphens_)) {
    reason = std::string(kHyphensFile) + " cannot be read";
    return false;
  }
  return true;
}

int ReviewBook::pageNamed(const std::string& name) const {
  for (std::size_t k = 0; k < pages_.size(); ++k)
    if (std::filesystem::path(pages_[k].source).filename() == name) return static_cast<int>(k);
  return -1;
}

bool ReviewBook::read(std::size_t index, BookPage& page, std::string& reason) const {
  const ManifestPage& entry = pages_[index];
  if (const ReadResult read = readFile(entry.source, page.bytes); read != ReadResult::Read) {
    reason = entry.source + " " + std::string(readFailure(read));
    return false;
  }
  if (page.bytes.size() != entry.bytes || checksumOf(page.bytes) != entry.checksum) {
    reason = entry.source + " changed since the import";
    return false;
  }
  SourceError error;
  page.source = SourcePage();
  if (!readSource(page.bytes, page.source, error) || page.source.format != entry.format ||
      page.source.tokens.size() != entry.words) {
    reason = entry.source + " no longer reads as it did at the import";
    return false;
  }
  if (const auto own = hyphens_.find(entry.number); own != hyphens_.end())
    page.source.ownHyphens = own->second;
  return true;
}

bool ReviewBook::readCorrected(std::size_t index, BookPage& page, std::string& corrected,
                               PageAlignment& alignment, std::string& reason) const {
  if (!read(index, page, reason)) return false;
  const std::string outPage = pagePath("out", pages_[index].number);
  if (const ReadResult result = readPageFile(corrected, outPage); result != ReadResult::Read) {
    reason = outPage + " " + std::string(readFailure(result));
    return false;
  }
  if (!alignCorrectedPage(page.source, corrected, alignment, reason)) {
    reason = outPage + " " + reason;
    return false;
  }
  return true;
}

ImportedText importedRun(const SourcePage& source, const std::vector<ImportedWord>& words,
                         std::size_t first, std::size_t count) {
  ImportedText run;
  for (std::size_t k = first; k < first + count && k < words.size(); ++k) {
    const ImportedWord& word = words[k];
    const ImportedText part =
        importCharacters(source.tokenText(source.tokens[word.token])).part(word.from, word.to);
    const auto shift = static_cast<std::uint32_t>(run.source.size());
    run.bytes += part.bytes;
    run.source += part.source;
    for (const std::uint32_t end : part.ends) run.ends.push_back(end + shift);
  }
  return run;
}

std::string lineAsRead(const SourcePage& source, std::uint32_t line, const ImportedWord* marked) {
  std::string text;
  for (const Token& token : source.line(line)) {
    if (!text.empty()) text += ' ';
    const std::string_view own = source.tokenText(token);
    const auto index = static_cast<std::size_t>(&token - source.tokens.data());
    if (marked == nullptr || marked->token != index) {
      text += own;
      continue;
    }
    const ImportedText characters = importCharacters(own);
    text += characters.sourceOf(0, marked->from);
    text += kMarkOpen;
    text += characters.sourceOf(marked->from, marked->to);
    text += kMarkClose;
    text += characters.sourceOf(marked->to, characters.bytes.size());
  }
  return text;
}

std::string utf8Of(std::string_view windows1252) {
  std::string out;
  for (const char c : windows1252) out += windows1252ToUtf8(static_cast<unsigned char>(c));
  return out;
}

}  // namespace scanmend::pages
