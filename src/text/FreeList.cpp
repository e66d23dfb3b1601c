#include "text/FreeList.h"

#include <stdexcept>

#include "text/Invariants.h"

std::unique_ptr<TStreamSegment> TFreeList::Allocate(TTextPos count) {
    if (count < 1) return nullptr;
    for (auto* seg = First(); seg; seg = seg->Next()) {
        if (seg->Length() < count) continue;
        SplitAt(seg, count);
        auto area = Remove(seg);
        QV_INVARIANTS();
        return area;
    }
    auto seg = std::make_unique<TStreamSegment>(m_MemoryStream, m_HighWater, count);
    m_HighWater += count;
    QV_INVARIANTS();
    return seg;
}

std::unique_ptr<TStreamSegment> TFreeList::AllocateAndWrite(const unsigned char* buffer, TTextPos count) {
    auto seg = Allocate(count);
    if (seg) {
        m_MemoryStream.Seek(seg->Offset());
        m_MemoryStream.Write(buffer, count);
    }
    return seg;
}

void TFreeList::Release(std::unique_ptr<TStreamSegment> seg) {
    QV_EXPECTS(seg && &seg->Stream() == &m_MemoryStream);
    if (seg->Length() < 1) return; // nothing to give back
    // A text given up from its start returns its areas in ascending order: searching from the top makes
    // each of those steps short, where a search from the bottom made giving up a text quadratic.
    auto* below = Last();
    while (below && below->Offset() > seg->Offset())
        below = below->Prev();
    if (below == Last() && seg->Offset() + seg->Length() == m_HighWater)
        m_HighWater -= seg->Length();
    else
        InsertAfter(below, std::move(seg));
    QV_INVARIANTS();
}

void TFreeList::CheckInvariants() const {
    TSegmentList::CheckInvariants();
    TTextPos end = -1;
    for (auto* seg = First(); seg; seg = seg->Next()) {
        if (seg->Offset() <= end)
            throw std::logic_error("free list: areas out of order, touching or overlapping");
        end = seg->Offset() + seg->Length();
    }
    if (end > m_HighWater) throw std::logic_error("free list: a free area lies above HighWater");
}
