// Large buffers (a dictionary of millions of words, its hash table, a book
// in one page) are touched page by page as they are first written; with 4
// KiB pages that costs a page fault every 4 KiB. Asking the system for huge
// pages for such a buffer, before it is first written, saves most of them.
// Only a hint: where the system has no huge pages, nothing changes.
#pragma once

#include <cstddef>

namespace scanmend {

// Asks for huge pages for the whole 2 MiB-aligned stretches of
// [data, data + size).
void adviseHugePages(void* data, std::size_t size);

// Reserves room for `size` elements in `container` and advises huge pages
// for it, before anything is written there.
template <typename Container>
void reserveLarge(Container& container, std::size_t size) {
  container.reserve(size);
  adviseHugePages(container.data(), container.capacity() * sizeof(*container.data()));
}

}  // namespace scanmend
