#include "text/SegmentList.h"

#include <stdexcept>

#include "text/Invariants.h"

TSegmentList::~TSegmentList() {
    TSegmentList::Clear();
}

std::size_t TSegmentList::Count() const {
    std::size_t count = 0;
    for (auto* seg = m_First; seg; seg = seg->m_Next)
        ++count;
    return count;
}

void TSegmentList::Link(TStreamSegment* after, TStreamSegment* seg) {
    TStreamSegment* next = after ? after->m_Next : m_First;
    seg->m_Prev = after;
    seg->m_Next = next;
    (after ? after->m_Next : m_First) = seg;
    (next ? next->m_Prev : m_Last) = seg;
}

void TSegmentList::Absorb(TStreamSegment* into, TStreamSegment* seg) {
    const TTextPos size = m_Size;
    std::unique_ptr<TStreamSegment> gone = Remove(seg);
    into->Merge(gone);
    m_Size = size;
}

TStreamSegment* TSegmentList::Append(std::unique_ptr<TStreamSegment> seg) {
    return InsertAfter(m_Last, std::move(seg));
}

TStreamSegment* TSegmentList::InsertFirst(std::unique_ptr<TStreamSegment> seg) {
    return InsertAfter(nullptr, std::move(seg));
}

TStreamSegment* TSegmentList::InsertAfter(TStreamSegment* after, std::unique_ptr<TStreamSegment> seg) {
    if (!seg) return nullptr;
    QV_EXPECTS(!seg->m_Prev && !seg->m_Next);
    TStreamSegment* raw = seg.release();
    Link(after, raw);
    m_Size += raw->m_Length;
    if (raw->m_Next && raw->CanMerge(*raw->m_Next)) Absorb(raw, raw->m_Next);
    TStreamSegment* holder = raw;
    if (after && after->CanMerge(*raw)) {
        Absorb(after, raw);
        holder = after;
    }
    QV_INVARIANTS();
    return holder;
}

TStreamSegment* TSegmentList::InsertListAfter(TStreamSegment* after, std::unique_ptr<TSegmentList> list) {
    QV_EXPECTS(list && list.get() != this);
    TStreamSegment* holder = nullptr;
    while (auto* seg = list->m_First) {
        const bool last = seg->m_Next == nullptr;
        std::unique_ptr<TStreamSegment> moved = list->Remove(seg);
        m_Size += seg->m_Length;
        Link(after, moved.release());
        // Only the last moved segment may fuse with what follows: an earlier one fusing there would
        // put the rest of the list behind the following bytes.
        if (last && seg->m_Next && seg->CanMerge(*seg->m_Next)) Absorb(seg, seg->m_Next);
        if (after && after->CanMerge(*seg))
            Absorb(after, seg);
        else
            after = seg;
        holder = after;
    }
    QV_INVARIANTS();
    return holder;
}

TStreamSegment* TSegmentList::SplitAt(TStreamSegment* seg, TTextPos at) {
    QV_EXPECTS(seg && (seg->m_Prev || seg == m_First));
    TStreamSegment* result = seg->Split(at);
    if (seg == m_Last && result != seg && result) m_Last = result;
    QV_INVARIANTS();
    return result;
}

std::unique_ptr<TStreamSegment> TSegmentList::Remove(TStreamSegment* seg) {
    QV_EXPECTS(seg && (seg->m_Prev || seg == m_First));
    (seg->m_Prev ? seg->m_Prev->m_Next : m_First) = seg->m_Next;
    (seg->m_Next ? seg->m_Next->m_Prev : m_Last) = seg->m_Prev;
    seg->m_Prev = seg->m_Next = nullptr;
    m_Size -= seg->m_Length;
    QV_INVARIANTS();
    return std::unique_ptr<TStreamSegment>(seg);
}

void TSegmentList::Clear() {
    while (m_First) {
        std::unique_ptr<TStreamSegment> seg = Remove(m_First);
        TStreamSegment* raw = seg.get();
        raw->Release(std::move(seg), *this);
    }
    m_Size = 0;
    QV_INVARIANTS();
}

void TSegmentList::CheckInvariants() const {
    TTextPos size = 0;
    const TStreamSegment* prev = nullptr;
    for (auto* seg = m_First; seg; prev = seg, seg = seg->m_Next) {
        if (seg->m_Prev != prev) throw std::logic_error("segment list: broken Prev link");
        size += seg->m_Length;
    }
    if (prev != m_Last) throw std::logic_error("segment list: Last is not the last segment");
    if (size != m_Size) throw std::logic_error("segment list: Size differs from the sum of the lengths");
}
