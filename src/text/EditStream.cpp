#include "text/EditStream.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "text/CodePages.h"
#include "text/Exceptions.h"
#include "text/Invariants.h"
#include "text/SharedSegment.h"

TEditStream::TEditStream() {
    auto saveHook = [this](TUndoState& state) {
        if (OnSaveUndo) OnSaveUndo(state);
        state.Modified = Modified();
    };
    auto undoHook = [this](const TUndoInfo& record) {
        if (OnUndo) OnUndo(record);
        SetModified(record.Modified);
    };
    for (TUndoList* list : {&m_UndoList, &m_RedoList}) {
        list->SaveHook = saveHook;
        list->UndoHook = undoHook;
    }
}

void TEditStream::SetOnUndoChange(std::function<void()> handler) {
    m_UndoList.OnUndoChange = handler;
    m_RedoList.OnUndoChange = std::move(handler);
}

bool TEditStream::WriteProtected() {
    if (!m_ReadOnly) return false;
    if (!OnWriteProtect) throw EWriteProtectError("Write protected!");
    OnWriteProtect(*this);
    return true;
}

void TEditStream::BindStream(std::unique_ptr<TStream> stream) {
    // Segments over the previous stream are only released below, never read.
    TTextStream::BindStream(std::move(stream));
    m_VirtualStream.Clear();
    m_UndoList.Clear();
    m_RedoList.Clear();
    m_PendingPos = -1;
    m_PendingInsert = m_PendingDelete = 0;
    SetModified(false);
    if (m_Stream) m_VirtualStream.Insert(std::make_unique<TSharedSegment>(m_Stream, 0, m_Stream->Size()));
    QV_INVARIANTS();
}

void TEditStream::BindSaved(std::unique_ptr<TStream> stream, bool sameText) {
    Commit();
    TTextStream::BindStream(std::move(stream));
    m_PendingPos = -1;
    m_VirtualStream.Seek(0);
    std::unique_ptr<TSegmentList> before = m_VirtualStream.Delete(m_VirtualStream.Size());
    if (m_Stream) m_VirtualStream.Insert(std::make_unique<TSharedSegment>(m_Stream, 0, m_Stream->Size()));
    if (!sameText) { // taking the saved text out and putting the old one back is one step
        m_RedoList.Clear();
        m_UndoList.NewRecord(0);
        m_UndoList.AddDelete(std::move(before), 0);
        m_UndoList.AddInsert(0, m_TextSize);
        m_UndoList.Unlink();
    }
    m_UndoList.MarkModified();
    m_RedoList.MarkModified();
    SetModified(false);
    Changed();
    QV_INVARIANTS();
}

std::shared_ptr<TTextSnapshot> TEditStream::Snapshot(TTextPos pos, TTextPos count) {
    Commit();
    return std::make_shared<TTextSnapshot>(m_VirtualStream, pos, count, OEMConvert());
}

std::vector<TStream*> TEditStream::Streams() const {
    std::vector<TStream*> streams;
    const auto add = [&streams](const TSegmentList& list) {
        for (const TStreamSegment* seg = list.First(); seg; seg = seg->Next())
            if (std::find(streams.begin(), streams.end(), &seg->Stream()) == streams.end())
                streams.push_back(&seg->Stream());
    };
    add(m_VirtualStream);
    for (const TUndoList* list : {&m_UndoList, &m_RedoList})
        for (std::size_t i = 0; i < list->Count(); ++i)
            add(list->Record(i));
    return streams;
}

unsigned char* TEditStream::GetCharPtr(TTextPos pos) {
    // Appending at the end keeps using a cache that ends there and has room.
    if (pos == m_TextSize && m_BufferPos >= 0 && m_BufferPos + m_BufferCount == m_TextSize &&
        m_BufferCount < m_BufferSize)
        return Buffer() + m_BufferCount;
    return TTextStream::GetCharPtr(pos);
}

TTextPos TEditStream::ReadBlock(unsigned char* buffer, TTextPos pos, TTextPos count) {
    Commit();
    m_VirtualStream.Seek(pos);
    m_VirtualStream.Read(buffer, count);
    if (OEMConvert()) OemToAnsi(buffer, count);
    SetCached(pos, count);
    return count;
}

void TEditStream::CopyTo(TStream& dest, TTextPos pos, TTextPos count) {
    Commit();
    m_VirtualStream.Seek(pos);
    m_VirtualStream.CopyTo(dest, count);
}

void TEditStream::CutCache(TTextPos pos) {
    if (m_BufferPos < 0) return;
    if (pos <= m_BufferPos) {
        m_BufferPos = -1;
        m_BufferCount = 0;
    } else { // what is read through the block must end where the cache does
        SetCached(m_BufferPos, std::min(m_BufferCount, pos - m_BufferPos));
    }
}

void TEditStream::ResetBlock() {
    if (m_BufferPos >= 0 && m_BufferCount > 0) SetCached(m_BufferPos, m_BufferCount);
}

void TEditStream::Commit() {
    if (m_PendingInsert < 1 && m_PendingDelete < 1) return;
    m_VirtualStream.Seek(m_PendingPos);
    if (m_PendingDelete > 0) {
        m_UndoList.AddDelete(m_VirtualStream.Delete(m_PendingDelete), m_PendingPos);
        m_PendingDelete = 0;
    }
    if (m_PendingInsert > 0) {
        const unsigned char* run = Buffer() + (m_PendingPos - m_BufferPos);
        m_VirtualStream.Insert(m_MemoryBuffer.AllocateAndWrite(run, m_PendingInsert));
        m_UndoList.AddInsert(m_PendingPos, m_PendingInsert);
        m_PendingPos += m_PendingInsert;
        m_PendingInsert = 0;
    }
    QV_INVARIANTS();
}

void TEditStream::Insert(const unsigned char* buffer, TTextPos pos, TTextPos count) {
    if (WriteProtected()) return;
    if (pos < 0 || pos > m_TextSize) RaiseInternalError("Insert past End of File");
    if (MaxTextSize() > 0) count = std::min(count, MaxTextSize() - m_TextSize);
    if (count <= 0) return;
    m_RedoList.Clear();
    if (count >= m_BufferSize) { // it can never go into the cache
        const bool inRun = m_PendingPos <= pos && pos <= m_PendingPos + m_PendingInsert;
        Commit();
        if (!inRun) m_UndoList.NewRecord(pos);
        InsertDirect(buffer, pos, count);
        return;
    }
    // The cache is loaded first: a reload commits the pending run before it is looked at.
    unsigned char* p = GetCharPtr(pos);
    if (pos < m_PendingPos || pos > m_PendingPos + m_PendingInsert) {
        Commit();
        m_PendingPos = pos;
        m_UndoList.NewRecord(pos);
    }
    const TTextPos at = pos - m_BufferPos;
    if (m_BufferSize > m_PendingInsert + count + m_PendingPos - m_BufferPos) {
        // Room after the run: the bytes behind it move up, those pushed out stay in the chain.
        std::memmove(p + count, p,
                     static_cast<size_t>(std::min(m_BufferCount - at, m_BufferSize - at - count)));
        std::memcpy(p, buffer, static_cast<size_t>(count));
        m_BufferCount = std::min(m_BufferCount + count, m_BufferSize);
        m_PendingInsert += count;
    } else if (m_PendingPos > m_BufferPos + count) {
        // Room before the run: the first cached bytes lie before it and leave the cache.
        std::memmove(Buffer(), Buffer() + count, static_cast<size_t>(at - count));
        std::memcpy(Buffer() + at - count, buffer, static_cast<size_t>(count));
        m_BufferPos += count;
        m_PendingInsert += count;
    } else {
        Commit();
        InsertDirect(buffer, pos, count);
        return;
    }
    Inserted(pos, count);
}

void TEditStream::InsertDirect(const unsigned char* buffer, TTextPos pos, TTextPos count) {
    CutCache(pos);
    m_VirtualStream.Seek(pos);
    m_VirtualStream.Insert(m_MemoryBuffer.AllocateAndWrite(buffer, count));
    m_UndoList.AddInsert(pos, count);
    m_PendingPos = pos + count;
    Inserted(pos, count);
}

void TEditStream::Inserted(TTextPos pos, TTextPos count) {
    m_TextSize += count;
    ResetBlock();
    SetModified(true);
    AdjustBookmarks(pos, count);
    Changed();
    QV_INVARIANTS();
}

TTextPos TEditStream::InsertFromHandle(std::span<const unsigned char> block, TTextPos pos) {
    const TTextPos before = m_TextSize;
    Insert(block.data(), pos, static_cast<TTextPos>(block.size()));
    return m_TextSize - before;
}

void TEditStream::InsertStream(std::shared_ptr<TStream> stream, TTextPos offset, TTextPos count,
                               TTextPos pos) {
    if (WriteProtected()) return;
    if (pos < 0 || pos > m_TextSize) RaiseInternalError("Insert past End of File");
    if (offset < 0 || offset + count > stream->Size()) RaiseInternalError("Insert past End of Stream");
    if (MaxTextSize() > 0) count = std::min(count, MaxTextSize() - m_TextSize);
    if (count <= 0) return;
    m_RedoList.Clear();
    Commit();
    m_UndoList.NewRecord(pos);
    CutCache(pos);
    m_VirtualStream.Seek(pos);
    m_VirtualStream.Insert(std::make_unique<TSharedSegment>(std::move(stream), offset, count));
    m_UndoList.AddInsert(pos, count);
    m_PendingPos = pos + count;
    Inserted(pos, count);
}

void TEditStream::Delete(TTextPos pos, TTextPos count) {
    if (WriteProtected() || count <= 0) return;
    if (pos < 0 || pos + count > m_TextSize)
        RaiseInternalError("Internal Error - Deletion passed End of File");
    m_RedoList.Clear();
    unsigned char* p = GetCharPtr(pos);
    const bool touchesRun = pos <= m_PendingPos && m_PendingPos <= pos + count;
    if (m_PendingInsert > 0 || !touchesRun) {
        Commit();
        m_PendingPos = pos;
        m_UndoList.NewRecord(pos);
    } else if (pos != m_PendingPos) {
        // Backspace: the run now starts lower. Its record is replaced while still empty; once a cache
        // reload has committed part of the run, the record goes on collecting the run's bytes.
        const TUndoInfo* current = m_UndoList.Current();
        const bool runRecord = current && current->Inserted == 0 && !current->IsEmpty() &&
                               current->Pos == m_PendingPos + m_PendingDelete;
        m_PendingPos = pos;
        if (!runRecord) m_UndoList.NewRecord(pos);
    }
    m_PendingDelete += count;
    m_TextSize -= count;
    AdjustBookmarks(pos, -count);
    const TTextPos at = pos - m_BufferPos;
    if (pos + count < m_BufferPos + m_BufferCount) {
        std::memmove(p, p + count, static_cast<size_t>(m_BufferCount - at - count));
        m_BufferCount -= count;
    } else {
        CutCache(pos);
    }
    ResetBlock();
    SetModified(true);
    Changed();
    QV_INVARIANTS();
}

void TEditStream::Overwrite(TTextPos pos, unsigned char c) {
    if (pos < 0 || pos >= m_TextSize) RaiseInternalError("Overwrite past End of File");
    m_RedoList.Clear();
    unsigned char* p = GetCharPtr(pos);
    if (pos != m_PendingPos + m_PendingInsert || m_PendingInsert != m_PendingDelete) {
        Commit();
        m_PendingPos = pos;
        m_UndoList.NewRecord(pos);
    }
    ++m_PendingInsert;
    ++m_PendingDelete;
    *p = c;
    SetModified(true);
    QV_INVARIANTS();
}

TTextPos TEditStream::Undo() {
    Commit();
    return m_UndoList.Levels() < 1 ? 0 : PerformUndo(m_UndoList, m_RedoList);
}

TTextPos TEditStream::Redo() {
    return m_RedoList.Levels() < 1 ? 0 : PerformUndo(m_RedoList, m_UndoList);
}

TTextPos TEditStream::PerformUndo(TUndoList& from, TUndoList& to) {
    TTextPos low = m_TextSize;
    do {
        TTextPos pos = 0, putBack = 0, takeOut = 0;
        if (!from.PeekRange(pos, putBack, takeOut)) break;
        if (OnBeforeUndo) OnBeforeUndo(pos);
        low = std::min(low, pos);
        // What this step takes out becomes a record of the other list, in the same group.
        to.NewRecord(pos);
        m_VirtualStream.Seek(pos);
        to.AddDelete(m_VirtualStream.Delete(takeOut), pos);
        to.Link();
        std::unique_ptr<TUndoInfo> record = from.TakeForUndo();
        m_VirtualStream.Seek(pos);
        m_VirtualStream.InsertList(std::move(record));
        to.AddInsert(pos, putBack);
        CutCache(pos);
        m_TextSize += putBack - takeOut;
        AdjustBookmarks(pos, putBack - takeOut);
        m_PendingPos = -1;
        if (OnAfterUndo) OnAfterUndo(*this);
    } while (from.Current() && from.Current()->Linked);
    to.Unlink();
    ResetBlock();
    Changed();
    QV_INVARIANTS();
    return low;
}

void TEditStream::CheckInvariants() {
    m_VirtualStream.CheckInvariants();
    m_MemoryBuffer.CheckInvariants();
    m_UndoList.CheckInvariants();
    m_RedoList.CheckInvariants();
    if (m_VirtualStream.Size() != m_TextSize - m_PendingInsert + m_PendingDelete)
        throw std::logic_error("edit stream: the chain's size does not match the text and the pending run");
    if (m_PendingInsert > 0 &&
        (m_PendingPos < m_BufferPos || m_PendingPos + m_PendingInsert > m_BufferPos + m_BufferCount))
        throw std::logic_error("edit stream: the pending inserted bytes are not wholly in the cache");
}
