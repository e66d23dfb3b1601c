#pragma once

#include "text/SegmentList.h"

class TStream;

// The text of a document as a chain of segments, with a read/write position kept as the segment it lies
// in (Current), that segment's start in the text and the offset within it. Seeking walks from Current,
// so nearby moves are cheap and there is no index over the chain.
class TVirtualStreamList : public TSegmentList {
public:
    TTextPos Position() const { return m_CurrentStart + m_CurrentOffset; }
    TStreamSegment* Current() const { return m_Current; }
    TTextPos CurrentStart() const { return m_CurrentStart; }
    TTextPos CurrentOffset() const { return m_CurrentOffset; }

    void Seek(TTextPos pos);
    TTextPos Read(unsigned char* buffer, TTextPos count);
    // Copies `count` bytes from the position to `dest`; raises EReadError for more than remain.
    void CopyTo(TStream& dest, TTextPos count);
    // Splices `seg` in at the position and leaves the position after it; an empty segment is released.
    void Insert(std::unique_ptr<TStreamSegment> seg);
    void InsertList(std::unique_ptr<TSegmentList> list);
    // Cuts up to `count` bytes out at the position and hands them over; the position stays at the cut.
    std::unique_ptr<TSegmentList> Delete(TTextPos count);
    void Clear() override;

    // Also checks the position and that no two neighbours could be fused.
    void CheckInvariants() const;

private:
    // Calls `step(segment, offsetInSegment, doneSoFar, n)` for each piece of the `count` bytes after the
    // position and moves the position past them.
    template <typename Step> void Walk(TTextPos count, Step step);

    TStreamSegment* m_Current = nullptr;
    TTextPos m_CurrentStart = 0;
    TTextPos m_CurrentOffset = 0;
};
