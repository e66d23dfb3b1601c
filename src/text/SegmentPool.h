#pragma once

#include <cstddef>

// Where segments live: slabs of 64 KB, each cut into equal slots, so that a segment costs its own size
// and no allocator header (a document after a Replace All holds millions of them). A slab left empty is
// given back, one spare kept. Builds with AddressSanitizer take each slot from the heap instead, so that
// the sanitizer watches every one.
namespace SegmentPool {

// Every slot is this large.
constexpr std::size_t SlotSize = 40;

void* Allocate();
void Free(void* slot);

} // namespace SegmentPool
