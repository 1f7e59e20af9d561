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

inline std::uint64_t hashWord(std::string_view word) {
  const char* p = word.data();
  std::size_t n = word.size();
  std::uint64_t h = 0x9E3779B97F4A7C15ULL * (n + 1);
  while (n >= 8) {
    std::uint64_t k;
    std::memcpy(&k, p, 8);
    h = (h ^ k) * 0xff51afd7ed558ccdULL;
    h ^= h >> 32;
    p += 8;
    n -= 8;
  }
  std::uint64_t k = 0;
  std::memcpy(&k, p, n);
  return mixBits(h ^ k);
}

}  // namespace scanmend
