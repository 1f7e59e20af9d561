#include "pages/manifest.h"

#include <charconv>

#include "base/tab_separated.h"

namespace scanmend::pages {
namespace {

constexpr std::string_view kPagesHeader =
    "page\tsource\tformat\tbytes\tchecksum\twords\tpage_checksum\timported\n";
// The manifest of an older version, without the pages as written.
constexpr std::string_view kOlderPagesHeader = "page\tsource\tformat\tbytes\tchecksum\twords\n";

template <typename Number>
bool parse(std::string_view text, Number& number, int base = 10) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::string hex(std::uint64_t value) {
  std::string out(16, '0');
  for (std::size_t i = 16; i-- > 0; value >>= 4) out[i] = "0123456789abcdef"[value & 15];
  return out;
}

}  // namespace

// FNV-1a over eight bytes at a step, then the rest byte by byte: a
// byte-wise hash would take half as long as parsing the file. Only a
// change of the file must show, so no attack needs to be withstood.
constexpr std::uint64_t kPrime = 1099511628211ULL;

void Checksum::add(std::string_view bytes) {
  size_ += bytes.size();
  while (carriedCount_ > 0 && carriedCount_ < 8 && !bytes.empty()) {
    carried_[carriedCount_++] = bytes.front();
    bytes.remove_prefix(1);
  }
  const auto step = [this](const char* eight) {
    std::uint64_t word = 0;  // little-endian on every machine, so manifests travel
    for (std::size_t k = 8; k-- > 0;) word = (word << 8) | static_cast<unsigned char>(eight[k]);
    hash_ = (hash_ ^ word) * kPrime;
    hash_ ^= hash_ >> 29;
  };
  if (carriedCount_ == 8) {
    step(carried_);
    carriedCount_ = 0;
  }
  std::size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) step(bytes.data() + at);
  for (; at < bytes.size(); ++at) carried_[carriedCount_++] = bytes[at];
}

std::uint64_t Checksum::value() const {
  std::uint64_t hash = hash_;
  for (std::size_t at = 0; at < carriedCount_; ++at)
    hash = (hash ^ static_cast<unsigned char>(carried_[at])) * kPrime;
  return hash ^ size_;
}

std::uint64_t checksumOf(std::string_view bytes) {
  Checksum checksum;
  checksum.add(bytes);
  return checksum.value();
}

std::string pagesTable(const std::vector<ManifestPage>& pages) {
  std::string table(kPagesHeader);
  for (const ManifestPage& page : pages) {
    table += std::to_string(page.number) + '\t' + page.source + '\t' +
             std::string(formatName(page.format)) + '\t' + std::to_string(page.bytes) + '\t' +
             hex(page.checksum) + '\t' + std::to_string(page.words) + '\t' +
             hex(page.pageChecksum) + '\t' + std::to_string(page.importedAt) + '\n';
  }
  return table;
}

bool readPagesTable(std::string_view table, std::vector<ManifestPage>& pages, std::string& error) {
  pages.clear();
  const bool older = table.starts_with(kOlderPagesHeader);
  if (!older && !table.starts_with(kPagesHeader)) {
    error = "does not start with the header line of a manifest";
    return false;
  }
  const std::size_t columns = older ? 6 : 8;
  std::size_t lineNumber = 1;
  for (std::size_t at = (older ? kOlderPagesHeader : kPagesHeader).size(); at < table.size();
       ++lineNumber) {
    const std::size_t end = std::min(table.find('\n', at), table.size());
    const std::vector<std::string_view> row = tabSeparatedCells(table.substr(at, end - at));
    at = end + 1;
    ManifestPage page;
    if (row.size() != columns || !parse(row[0], page.number) || row[1].empty() ||
        !formatOfName(row[2], page.format) || !parse(row[3], page.bytes) ||
        !parse(row[4], page.checksum, 16) || !parse(row[5], page.words) ||
        (!older && (!parse(row[6], page.pageChecksum, 16) || !parse(row[7], page.importedAt))) ||
        page.number != static_cast<std::int64_t>(pages.size()) + 1) {
      error = "line " + std::to_string(lineNumber + 1) + " is not a page of the manifest";
      return false;
    }
    page.source = std::string(row[1]);
    pages.push_back(std::move(page));
  }
  return true;
}

std::string_view wordsTableHeader() { return "page\tline\tbegin\tend\tword\n"; }

bool writeWordRows(Replacement& file, std::int64_t number, const SourcePage& page) {
  constexpr std::size_t kChunk = 1 << 16;
  const std::string prefix = std::to_string(number) + '\t';
  std::string rows;
  for (std::size_t line = 0; line < page.lineCount(); ++line) {
    for (const Token& token : page.line(line)) {
      const Field& field = page.fields[static_cast<std::size_t>(token.field)];
      const bool literal = field.literal;
      const std::size_t begin = literal ? field.begin + token.from : field.begin;
      const std::size_t end = literal ? field.begin + token.to : field.end;
      rows.append(prefix).append(std::to_string(line + 1)).append(1, '\t');
      rows.append(std::to_string(begin)).append(1, '\t').append(std::to_string(end));
      rows.append(1, '\t').append(page.tokenText(token)).append(1, '\n');
      if (rows.size() >= kChunk) {
        if (!file.write(rows)) return false;
        rows.clear();
      }
    }
  }
  return file.write(rows);
}

}  // namespace scanmend::pages
