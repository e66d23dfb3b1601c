#pragma once

#include "text/StreamSegment.h"

class TFreeList;

// A segment whose bytes lie in a memory buffer: when a list other than its own free list gives it up,
// its area goes back to that free list to be handed out again.
class TAllocatedSegment : public TStreamSegment {
public:
    TAllocatedSegment(TStream& stream, TTextPos offset, TTextPos length, TFreeList& owner);

    TFreeList& Owner() const { return *m_Owner; }
    std::unique_ptr<TStreamSegment> Clone() const override;
    void Release(std::unique_ptr<TStreamSegment> self, const TSegmentList& from) override;

private:
    TFreeList* m_Owner;
};
