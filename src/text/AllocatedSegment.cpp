#include "text/AllocatedSegment.h"

#include "text/FreeList.h"

TAllocatedSegment::TAllocatedSegment(TStream& stream, TTextPos offset, TTextPos length, TFreeList& owner)
    : TStreamSegment(stream, offset, length), m_Owner(&owner) {}

std::unique_ptr<TStreamSegment> TAllocatedSegment::Clone() const {
    return std::make_unique<TAllocatedSegment>(Stream(), Offset(), Length(), *m_Owner);
}

void TAllocatedSegment::Release(std::unique_ptr<TStreamSegment> self, const TSegmentList& from) {
    if (&from != m_Owner) m_Owner->Release(std::move(self));
}
