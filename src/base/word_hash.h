// A fast 64-bit hash of a short byte string, eight bytes at a time.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace scanmend {

inline std::uint64_t mixBits(std::uint64_t x) {
  x ^= x >> 31;
  x *= 0xbf58476d1ce4e5b9ULL;
  x ^= x >> 29;
  x *= 0x94d049bb133111ebULL;
  x ^= x >> 32;
  return x;
}

// Hashes `length` bytes handed over by chunk(at, count) as little-endian
// words of up to eight bytes, so that a caller can hash bytes it transforms
// on the way without copying them first.
template <typename Chunk>
inline std::uint64_t hashChunks(std::size_t length, Chunk chunk) {
  std::uint64_t h = 0x9E3779B97F4A7C15ULL * (length + 1);
  std::size_t at = 0;
  for (; length - at >= 8; at += 8) {
    h = (h ^ chunk(at, 8)) * 0xff51afd7ed558ccdULL;
    h ^= h >> 32;
  }
  return mixBits(h ^ chunk(at, length - at));
}

inline std::uint64_t hashWord(std::string_view word) {
  return hashChunks(word.size(), [&word](std::size_t at, std::size_t count) {
    std::uint64_t k = 0;
    std::memcpy(&k, word.data() + at, count);
    return k;
  });
}

// For hash tables keyed by words that are looked up by string_view.
struct TransparentWordHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view word) const { return hashWord(word); }
};

}  // namespace scanmend
