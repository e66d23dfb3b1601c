#include "text/VirtualStreamList.h"

#include <algorithm>
#include <stdexcept>

#include "text/Exceptions.h"
#include "text/Invariants.h"
#include "text/Stream.h"

void TVirtualStreamList::Seek(TTextPos pos) {
    if (!m_Current) {
        if (pos != 0) RaiseInternalError("Non-zero seek on empty list");
        return;
    }
    if (pos < m_CurrentStart) {
        while (m_Current->Prev() && pos < m_CurrentStart) {
            m_Current = m_Current->Prev();
            m_CurrentStart -= m_Current->Length();
        }
    } else {
        while (m_Current->Next() && pos >= m_CurrentStart + m_Current->Length()) {
            m_CurrentStart += m_Current->Length();
            m_Current = m_Current->Next();
        }
    }
    if (pos < m_CurrentStart || pos > m_CurrentStart + m_Current->Length())
        RaiseInternalError("Internal Seek Error");
    m_CurrentOffset = pos - m_CurrentStart;
}

template <typename Step> void TVirtualStreamList::Walk(TTextPos count, Step step) {
    if (count > Size() - Position()) throw EReadError("Read beyond End of Virtual Stream");
    if (!m_Current) throw EReadError("Attempted read of empty Virtual Stream");
    TTextPos done = 0;
    while (done < count) {
        if (m_CurrentOffset == m_Current->Length()) {
            // Only a Next can follow here: the size check above leaves bytes after the position.
            m_CurrentStart += m_CurrentOffset;
            m_Current = m_Current->Next();
            m_CurrentOffset = 0;
        }
        const TTextPos n = std::min(count - done, m_Current->Length() - m_CurrentOffset);
        step(*m_Current, m_CurrentOffset, done, n);
        m_CurrentOffset += n;
        done += n;
    }
}

TTextPos TVirtualStreamList::Read(unsigned char* buffer, TTextPos count) {
    if (count <= 0) return 0;
    Walk(count, [buffer](const TStreamSegment& seg, TTextPos at, TTextPos done, TTextPos n) {
        seg.Read(buffer + done, at, n);
    });
    // A read that ends at a segment's end leaves the position at the start of the next one.
    if (m_CurrentOffset == m_Current->Length() && m_Current->Next()) {
        m_CurrentStart += m_CurrentOffset;
        m_Current = m_Current->Next();
        m_CurrentOffset = 0;
    }
    return count;
}

void TVirtualStreamList::CopyTo(TStream& dest, TTextPos count) {
    if (count <= 0) return;
    Walk(count, [&dest](const TStreamSegment& seg, TTextPos at, TTextPos, TTextPos n) {
        seg.Stream().Seek(seg.Offset() + at);
        dest.CopyFrom(seg.Stream(), n);
    });
}

void TVirtualStreamList::Insert(std::unique_ptr<TStreamSegment> seg) {
    if (!seg) return;
    QV_EXPECTS(!seg->Prev() && !seg->Next());
    const TTextPos length = seg->Length();
    if (length < 1) {
        TStreamSegment* raw = seg.get();
        raw->Release(std::move(seg), *this);
        return;
    }
    const TTextPos pos = Position();
    if (pos == Size()) {
        Append(std::move(seg));
        m_Current = Last();
        m_CurrentStart = Size() - Last()->Length();
    } else if (m_CurrentOffset > 0) {
        SplitAt(m_Current, m_CurrentOffset);
        TStreamSegment* holder = InsertAfter(m_Current, std::move(seg));
        if (holder != m_Current) {
            m_Current = holder;
            m_CurrentStart = pos;
        }
    } else if (TStreamSegment* prev = m_Current->Prev()) {
        const TTextPos prevLength = prev->Length();
        m_Current = InsertAfter(prev, std::move(seg));
        if (m_Current == prev) m_CurrentStart -= prevLength;
    } else {
        m_Current = InsertFirst(std::move(seg));
        m_CurrentStart = 0;
    }
    m_CurrentOffset = pos + length - m_CurrentStart;
    QV_INVARIANTS();
}

void TVirtualStreamList::InsertList(std::unique_ptr<TSegmentList> list) {
    QV_EXPECTS(list && list.get() != this);
    const TTextPos count = list->Size();
    if (count <= 0) return;
    const TTextPos pos = Position();
    if (pos == Size()) {
        InsertListAfter(Last(), std::move(list));
        m_Current = Last();
        m_CurrentStart = Size() - Last()->Length();
    } else {
        TStreamSegment* at = SplitAt(m_Current, m_CurrentOffset);
        // Step back so that Current cannot be fused away by the insertion.
        if (at == m_Current && m_Current != First()) {
            m_Current = m_Current->Prev();
            m_CurrentStart -= m_Current->Length();
        }
        InsertListAfter(at->Prev(), std::move(list));
        if (m_CurrentStart == 0) m_Current = First();
        Seek(pos + count);
    }
    m_CurrentOffset = pos + count - m_CurrentStart;
    QV_INVARIANTS();
}

std::unique_ptr<TSegmentList> TVirtualStreamList::Delete(TTextPos count) {
    auto removed = std::make_unique<TSegmentList>();
    if (count <= 0 || !m_Current) return removed;
    const TTextPos pos = Position();
    TStreamSegment* next = SplitAt(m_Current, m_CurrentOffset);
    while (next && count > 0) {
        TStreamSegment* cut = next;
        next = cut->Next();
        if (count < cut->Length()) {
            next = SplitAt(cut, count);
            count = 0;
        } else {
            count -= cut->Length();
        }
        removed->Append(Remove(cut));
    }
    if (next) {
        // The pieces on both sides of the cut become one segment again where they are contiguous.
        m_Current = next;
        m_CurrentStart = pos;
        if (TStreamSegment* prev = next->Prev()) {
            const TTextPos prevLength = prev->Length();
            m_Current = InsertAfter(prev, Remove(next));
            if (m_Current == prev) m_CurrentStart = pos - prevLength;
        }
    } else {
        m_Current = Last();
        m_CurrentStart = m_Current ? Size() - m_Current->Length() : 0;
    }
    m_CurrentOffset = pos - m_CurrentStart;
    QV_INVARIANTS();
    return removed;
}

void TVirtualStreamList::Clear() {
    TSegmentList::Clear();
    m_Current = nullptr;
    m_CurrentStart = 0;
    m_CurrentOffset = 0;
    QV_INVARIANTS();
}

void TVirtualStreamList::CheckInvariants() const {
    TSegmentList::CheckInvariants();
    if (!m_Current) {
        if (!Empty() || m_CurrentStart != 0 || m_CurrentOffset != 0)
            throw std::logic_error("virtual stream: position set without a Current segment");
        return;
    }
    TTextPos start = 0;
    bool found = false;
    for (auto* seg = First(); seg; seg = seg->Next()) {
        if (seg->Length() < 1) throw std::logic_error("virtual stream: empty segment in the chain");
        if (seg->Next() && seg->CanMerge(*seg->Next()))
            throw std::logic_error("virtual stream: neighbours that should have been fused");
        if (seg == m_Current) {
            found = true;
            if (start != m_CurrentStart) throw std::logic_error("virtual stream: CurrentStart is wrong");
        }
        start += seg->Length();
    }
    if (!found) throw std::logic_error("virtual stream: Current is not in the chain");
    if (m_CurrentOffset < 0 || m_CurrentOffset > m_Current->Length())
        throw std::logic_error("virtual stream: CurrentOffset outside Current");
}
