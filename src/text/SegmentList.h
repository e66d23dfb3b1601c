#pragma once

#include <cstddef>
#include <memory>

#include "text/StreamSegment.h"

// An owning, doubly linked list of segments; Size is always the sum of their lengths. Segments that come
// together by insertion are fused when one continues the other in the same stream, and a fused pair
// always keeps the earlier segment object.
class TSegmentList {
public:
    TSegmentList() = default;
    virtual ~TSegmentList();
    TSegmentList(const TSegmentList&) = delete;
    TSegmentList& operator=(const TSegmentList&) = delete;

    TStreamSegment* First() const { return m_First; }
    TStreamSegment* Last() const { return m_Last; }
    TTextPos Size() const { return m_Size; }
    bool Empty() const { return m_First == nullptr; }
    std::size_t Count() const;

    // Each insertion returns the segment that now holds the inserted bytes' start: the segment itself,
    // or the one before it that absorbed it (null for a null segment).
    TStreamSegment* Append(std::unique_ptr<TStreamSegment> seg);
    TStreamSegment* InsertFirst(std::unique_ptr<TStreamSegment> seg);
    TStreamSegment* InsertAfter(TStreamSegment* after, std::unique_ptr<TStreamSegment> seg);
    // Moves all of `list`'s segments, in order, to right after `after` (the front for null), fusing at
    // every junction. Returns the segment holding the last moved byte (null for an empty list).
    TStreamSegment* InsertListAfter(TStreamSegment* after, std::unique_ptr<TSegmentList> list);
    // Splits `seg` at `at` (see TStreamSegment::Split), keeping Last right.
    TStreamSegment* SplitAt(TStreamSegment* seg, TTextPos at);
    std::unique_ptr<TStreamSegment> Remove(TStreamSegment* seg);
    // Gives every segment up (see TStreamSegment::Release).
    virtual void Clear();

    // Throws std::logic_error when the links or Size are inconsistent.
    void CheckInvariants() const;

private:
    // Links an unlinked segment right after `after` (at the front for null), without fusing.
    void Link(TStreamSegment* after, TStreamSegment* seg);
    // Unlinks `seg` and destroys it after `into` absorbed its bytes.
    void Absorb(TStreamSegment* into, TStreamSegment* seg);

    TStreamSegment* m_First = nullptr;
    TStreamSegment* m_Last = nullptr;
    TTextPos m_Size = 0;
};
