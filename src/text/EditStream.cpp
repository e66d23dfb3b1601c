#include "text/EditStream.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

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
    // Segments go before the stream they lie in, which a segment given up is asked about.
    CheckBindable(stream.get());
    m_VirtualStream.Clear();
    m_UndoList.Clear();
    m_RedoList.Clear();
    m_Run.Active = false;
    TTextStream::BindStream(std::move(stream));
    m_PendingPos = -1;
    m_PendingInsert = m_PendingDelete = 0;
    SetModified(false);
    if (m_Stream) m_VirtualStream.Insert(SharedSegment(m_Stream, 0, m_Stream->Size()));
    QV_INVARIANTS();
}

void TEditStream::BindSaved(std::unique_ptr<TStream> stream, bool sameText) {
    Commit();
    m_Run.Active = false; // the run's record holds positions in the text before the save
    TTextStream::BindStream(std::move(stream));
    m_PendingPos = -1;
    m_VirtualStream.Seek(0);
    std::unique_ptr<TSegmentList> before = m_VirtualStream.Delete(m_VirtualStream.Size());
    if (m_Stream) m_VirtualStream.Insert(SharedSegment(m_Stream, 0, m_Stream->Size()));
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

void TEditStream::ReadChain(unsigned char* dest, TTextPos pos, TTextPos count) {
    if (count <= 0) return;
    m_VirtualStream.Seek(pos);
    m_VirtualStream.Read(dest, count);
    if (OEMConvert()) OemToAnsi(dest, count);
}

void TEditStream::ReadText(unsigned char* dest, TTextPos pos, TTextPos count) {
    if (m_PendingInsert < 1 && m_PendingDelete < 1) return ReadChain(dest, pos, count);
    // Before the pending run the chain holds the text as it is; the run's inserted bytes are only in the
    // cache; after them the chain lags by what the run inserted and deleted.
    const TTextPos runEnd = m_PendingPos + m_PendingInsert;
    const TTextPos before = std::clamp<TTextPos>(m_PendingPos - pos, 0, count);
    ReadChain(dest, pos, before);
    const TTextPos from = pos + before;
    const TTextPos inRun = std::clamp<TTextPos>(runEnd - from, 0, count - before);
    if (inRun > 0) std::memcpy(dest + before, Buffer() + (from - m_BufferPos), static_cast<size_t>(inRun));
    const TTextPos after = from + inRun;
    ReadChain(dest + before + inRun, after - m_PendingInsert + m_PendingDelete, count - before - inRun);
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
    m_Run.Active = false;
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
    BytesChanged();
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
    m_Run.Active = false;
    if (MaxTextSize() > 0) count = std::min(count, MaxTextSize() - m_TextSize);
    if (count <= 0) return;
    m_RedoList.Clear();
    Commit();
    m_UndoList.NewRecord(pos);
    CutCache(pos);
    m_VirtualStream.Seek(pos);
    m_VirtualStream.Insert(SharedSegment(stream, offset, count));
    m_UndoList.AddInsert(pos, count);
    m_PendingPos = pos + count;
    Inserted(pos, count);
}

void TEditStream::Delete(TTextPos pos, TTextPos count) {
    if (WriteProtected() || count <= 0) return;
    m_Run.Active = false;
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
    BytesChanged();
    ResetBlock();
    SetModified(true);
    Changed();
    QV_INVARIANTS();
}

void TEditStream::Overwrite(TTextPos pos, unsigned char c) {
    if (pos < 0 || pos >= m_TextSize) RaiseInternalError("Overwrite past End of File");
    m_Run.Active = false;
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
    BytesChanged();
    SetModified(true);
    QV_INVARIANTS();
}

void TEditStream::Replace(TTextPos pos, TTextPos count, std::string_view bytes) {
    if (WriteProtected()) return;
    if (pos < 0 || count < 0 || pos + count > m_TextSize)
        RaiseInternalError("Internal Error - Deletion passed End of File");
    auto inserted = static_cast<TTextPos>(bytes.size());
    if (MaxTextSize() > 0) inserted = std::clamp<TTextPos>(MaxTextSize() - m_TextSize + count, 0, inserted);
    if (count == 0 && inserted == 0) return;
    m_RedoList.Clear();
    Commit();
    CutCache(pos);
    m_VirtualStream.Seek(pos);
    std::unique_ptr<TSegmentList> removed = m_VirtualStream.Delete(count);
    m_VirtualStream.Insert(
        m_MemoryBuffer.AllocateAndWrite(reinterpret_cast<const unsigned char*>(bytes.data()), inserted));
    RecordReplacement(pos, count, inserted, std::move(removed));
    m_PendingPos = -1;
    m_TextSize += inserted - count;
    BytesChanged();
    ResetBlock();
    SetModified(true);
    AdjustBookmarks(pos, -count);
    AdjustBookmarks(pos, inserted);
    Changed();
    QV_INVARIANTS();
}

void TEditStream::RecordReplacement(TTextPos pos, TTextPos count, TTextPos inserted,
                                    std::unique_ptr<TSegmentList> removed) {
    if (m_UndoList.MaxLevels() == 0) return; // what was removed is given up
    TUndoInfo* record = m_UndoList.Current();
    // The run goes on with a replacement of the same sizes wholly after it or wholly before it, over
    // text that lies in a file up to it.
    const bool same = m_Run.Active && record && record->Pieces && record->Pieces->Out() == inserted &&
                      record->Pieces->In() == count;
    std::unique_ptr<TSegmentList> gap;
    if (same && pos >= m_Run.End && (gap = FileSegments(m_Run.End, pos - m_Run.End))) {
        // After the run: the record takes the text up to here and the bytes replaced.
        record->InsertListAfter(record->Last(), std::move(gap));
        record->InsertListAfter(record->Last(), std::move(removed));
        record->Pieces->Append(pos - m_Run.End);
        m_Run.End = pos + inserted;
    } else if (same && pos + count <= m_Run.Start &&
               (gap = FileSegments(pos + inserted, m_Run.Start - pos - count))) {
        // Before it: the bytes replaced and the text from them to the run, which now lies further on.
        record->InsertListAfter(nullptr, std::move(gap));
        record->InsertListAfter(nullptr, std::move(removed));
        record->Pieces->Prepend(m_Run.Start - pos - count);
        m_Run.End += inserted - count;
        m_Run.Start = record->Pos = pos;
    } else { // the first replacement of a run, or one that cannot join it: a record of its own
        m_UndoList.NewRecord(pos);
        record = m_UndoList.Current();
        record->InsertListAfter(nullptr, std::move(removed));
        record->Pieces = std::make_unique<TReplacedPieces>(inserted, count);
        m_Run = {true, pos, pos + inserted};
    }
    record->Inserted = m_Run.End - m_Run.Start;
}

void TEditStream::MoveBookmarks(const TReplacedPieces& pieces, TTextPos start) {
    if (BookmarkCount() == 0) return;
    // As undoing each replacement alone would, the last first: the earlier ones keep their positions.
    std::vector<TTextPos> starts;
    starts.reserve(static_cast<size_t>(pieces.Count()));
    pieces.ForEach(start, [&starts](TTextPos at) { starts.push_back(at); });
    for (auto at = starts.rbegin(); at != starts.rend(); ++at)
        AdjustBookmarks(*at, pieces.In() - pieces.Out());
}

std::unique_ptr<TSegmentList> TEditStream::FileSegments(TTextPos pos, TTextPos count) {
    auto copy = std::make_unique<TSegmentList>();
    if (count <= 0) return copy;
    m_VirtualStream.Seek(pos);
    const TStreamSegment* seg = m_VirtualStream.Current();
    TTextPos at = m_VirtualStream.CurrentOffset();
    while (count > 0) {
        if (at == seg->Length()) {
            seg = seg->Next();
            at = 0;
            continue;
        }
        // An area of the memory buffer belongs to one list only, and a copy would cost its size again.
        if (seg->Owner()) return nullptr;
        const TTextPos n = std::min(count, seg->Length() - at);
        copy->Append(std::make_unique<TStreamSegment>(seg->Stream(), seg->Offset() + at, n));
        count -= n;
        at += n;
    }
    return copy;
}

TTextPos TEditStream::Undo() {
    Commit();
    return m_UndoList.Levels() < 1 ? 0 : PerformUndo(m_UndoList, m_RedoList);
}

TTextPos TEditStream::Redo() {
    return m_RedoList.Levels() < 1 ? 0 : PerformUndo(m_RedoList, m_UndoList);
}

TTextPos TEditStream::PerformUndo(TUndoList& from, TUndoList& to) {
    m_Run.Active = false;
    TTextPos low = m_TextSize;
    do {
        TTextPos pos = 0, putBack = 0, takeOut = 0;
        if (!from.PeekRange(pos, putBack, takeOut)) break;
        if (OnBeforeUndo) OnBeforeUndo(pos);
        low = std::min(low, pos);
        std::unique_ptr<TReplacedPieces> pieces = std::move(from.Current()->Pieces);
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
        BytesChanged();
        if (pieces) {
            MoveBookmarks(*pieces, pos);
            if (to.MaxLevels() > 0) to.Current()->Pieces = pieces->Inverted();
        } else {
            AdjustBookmarks(pos, putBack - takeOut);
        }
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
