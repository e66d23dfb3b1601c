#include "text/StreamSegment.h"

#include <new>

#include "text/FreeList.h"
#include "text/SegmentPool.h"
#include "text/Stream.h"

static_assert(sizeof(TStreamSegment) <= SegmentPool::SlotSize);

TStreamSegment::TStreamSegment(TStream& stream, TTextPos offset, TTextPos length)
    : m_Stream(&stream), m_Offset(offset), m_Length(length) {
    m_Stream->SegmentMade();
}

TStreamSegment::~TStreamSegment() {
    m_Stream->SegmentGone();
}

void* TStreamSegment::operator new(std::size_t size) {
    if (size > SegmentPool::SlotSize) throw std::bad_alloc();
    return SegmentPool::Allocate();
}

void TStreamSegment::operator delete(void* segment) {
    SegmentPool::Free(segment);
}

std::unique_ptr<TStreamSegment> TStreamSegment::Clone() const {
    return std::make_unique<TStreamSegment>(*m_Stream, m_Offset, m_Length);
}

TFreeList* TStreamSegment::Owner() const {
    return m_Stream->Allocator();
}

void TStreamSegment::Release(std::unique_ptr<TStreamSegment> self, const TSegmentList& from) {
    if (TFreeList* owner = Owner(); owner && &from != owner) owner->Release(std::move(self));
}

bool TStreamSegment::CanMerge(const TStreamSegment& other) const {
    return other.m_Stream == m_Stream && other.m_Offset == m_Offset + m_Length;
}

bool TStreamSegment::Merge(std::unique_ptr<TStreamSegment>& other) {
    if (!CanMerge(*other)) return false;
    m_Length += other->m_Length;
    other.reset();
    return true;
}

TStreamSegment* TStreamSegment::Split(TTextPos at) {
    if (at < 1) return this;
    if (at >= m_Length) return m_Next;
    TStreamSegment* tail = Clone().release();
    tail->m_Offset += at;
    tail->m_Length -= at;
    m_Length = at;
    tail->m_Prev = this;
    tail->m_Next = m_Next;
    if (m_Next) m_Next->m_Prev = tail;
    m_Next = tail;
    return tail;
}

TTextPos TStreamSegment::Read(unsigned char* buffer, TTextPos at, TTextPos count) const {
    m_Stream->Seek(m_Offset + at);
    m_Stream->ReadBuffer(buffer, count);
    return count;
}
