#include "text/SegmentPool.h"

#include <cstdint>
#include <mutex>
#include <new>
#include <sys/mman.h>

namespace {

constexpr std::size_t kSlabSize = 64 * 1024;

// A slab's first bytes: its free slots, how many are in use, and its place among the slabs with room.
struct TSlab {
    void* Free = nullptr;
    std::size_t Used = 0;
    std::size_t Fresh = 0; // slots after this offset have never been handed out
    TSlab* Prev = nullptr;
    TSlab* Next = nullptr;
};
constexpr std::size_t kFirstSlot = (sizeof(TSlab) + 15) / 16 * 16;

// Slabs are mapped from the system, aligned to their size: an aligned block from the heap would cost a
// page of bookkeeping on either side of each slab.
void* MapSlab() {
    const std::size_t span = 2 * kSlabSize;
    void* mapped = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto base = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t slab = (base + kSlabSize - 1) & ~(kSlabSize - 1);
    if (slab > base) ::munmap(mapped, slab - base);
    ::munmap(reinterpret_cast<void*>(slab + kSlabSize), base + span - slab - kSlabSize);
    return reinterpret_cast<void*>(slab);
}

class TPool {
public:
    void* Allocate() {
        constexpr std::size_t size = SegmentPool::SlotSize;
        std::lock_guard lock(m_Mutex);
        TSlab* slab = m_Roomy ? m_Roomy : NewSlab();
        void* slot = slab->Free;
        if (slot) {
            slab->Free = *static_cast<void**>(slot);
        } else {
            slot = reinterpret_cast<char*>(slab) + slab->Fresh;
            slab->Fresh += size;
        }
        ++slab->Used;
        if (!slab->Free && slab->Fresh + size > kSlabSize) Unlink(slab); // full
        return slot;
    }

    void Free(void* slot) {
        constexpr std::size_t size = SegmentPool::SlotSize;
        std::lock_guard lock(m_Mutex);
        auto* slab = reinterpret_cast<TSlab*>(reinterpret_cast<std::uintptr_t>(slot) & ~(kSlabSize - 1));
        const bool wasFull = !slab->Free && slab->Fresh + size > kSlabSize;
        *static_cast<void**>(slot) = slab->Free;
        slab->Free = slot;
        if (wasFull) Link(slab);
        if (--slab->Used == 0) Empty(slab);
    }

private:
    TSlab* NewSlab() {
        void* memory = m_Spare ? m_Spare : MapSlab();
        m_Spare = nullptr;
        auto* slab = new (memory) TSlab;
        slab->Fresh = kFirstSlot;
        Link(slab);
        return slab;
    }
    // An empty slab is kept as the spare, or given back when there is one already.
    void Empty(TSlab* slab) {
        Unlink(slab);
        if (m_Spare) {
            ::munmap(slab, kSlabSize);
        } else {
            slab->~TSlab();
            m_Spare = slab;
        }
    }
    void Link(TSlab* slab) {
        slab->Prev = nullptr;
        slab->Next = m_Roomy;
        if (m_Roomy) m_Roomy->Prev = slab;
        m_Roomy = slab;
    }
    void Unlink(TSlab* slab) {
        (slab->Prev ? slab->Prev->Next : m_Roomy) = slab->Next;
        if (slab->Next) slab->Next->Prev = slab->Prev;
        slab->Prev = slab->Next = nullptr;
    }

    std::mutex m_Mutex;
    TSlab* m_Roomy = nullptr; // the slabs with a free slot
    void* m_Spare = nullptr;
};

TPool& Pool() {
    static TPool* pool = new TPool; // never destroyed: segments may outlive static destruction order
    return *pool;
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

namespace SegmentPool {

void* Allocate() {
    if constexpr (kSanitized) return ::operator new(SlotSize);
    return Pool().Allocate();
}

void Free(void* slot) {
    if constexpr (kSanitized)
        ::operator delete(slot);
    else if (slot)
        Pool().Free(slot);
}

} // namespace SegmentPool
