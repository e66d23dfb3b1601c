#pragma once

#include <cstddef>
#include <memory>

#include "text/TextPos.h"

class TStream;
class TFreeList;
class TSegmentList;

// A byte range [Offset, Offset + Length) of an underlying stream, linked into at most one segment list.
// The segment does not own its stream; the list that holds it owns the segment. A segment over a
// memory buffer is an allocated area of it: its Owner is the buffer's free list, which takes the area
// back when a list gives the segment up. Kept small (no virtual functions, five fields): a document
// after a Replace All holds two segments per replacement.
class TStreamSegment final {
public:
    TStreamSegment(TStream& stream, TTextPos offset, TTextPos length);
    ~TStreamSegment();
    TStreamSegment(const TStreamSegment&) = delete;
    TStreamSegment& operator=(const TStreamSegment&) = delete;
    // Segments live in the slabs of SegmentPool.
    static void* operator new(std::size_t size);
    static void operator delete(void* segment);

    TStream& Stream() const { return *m_Stream; }
    TTextPos Offset() const { return m_Offset; }
    TTextPos Length() const { return m_Length; }
    TStreamSegment* Prev() const { return m_Prev; }
    TStreamSegment* Next() const { return m_Next; }
    // The free list that hands out the segment's bytes; null for bytes that are not an allocated area.
    TFreeList* Owner() const;

    // A new, unlinked segment over the same bytes.
    std::unique_ptr<TStreamSegment> Clone() const;
    // Gives up `self` (which is this segment) after `from` dropped it: an allocated area goes back to
    // its owner (unless `from` is the owner), any other segment just ends.
    void Release(std::unique_ptr<TStreamSegment> self, const TSegmentList& from);

    // True when `other` continues this segment in the same stream.
    bool CanMerge(const TStreamSegment& other) const;
    // Absorbs `other` (destroying it) when it continues this segment; links are left to the caller.
    bool Merge(std::unique_ptr<TStreamSegment>& other);
    // Cuts the segment at `at` and returns the segment that begins there: this one for at < 1; for
    // at >= Length nothing is cut and the next one (or null) is returned; otherwise a new segment
    // holding the tail, linked right after this one.
    TStreamSegment* Split(TTextPos at);
    // Reads `count` bytes from `at` within the segment; raises EReadError when the stream comes up short.
    TTextPos Read(unsigned char* buffer, TTextPos at, TTextPos count) const;

private:
    friend class TSegmentList;

    TStream* m_Stream;
    TTextPos m_Offset;
    TTextPos m_Length;
    TStreamSegment* m_Prev = nullptr;
    TStreamSegment* m_Next = nullptr;
};
