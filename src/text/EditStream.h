#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "text/FreeList.h"
#include "text/TextSnapshot.h"
#include "text/TextStream.h"
#include "text/UndoList.h"
#include "text/VirtualStreamList.h"

// The editable text of one document. Behind the block cache lies a chain of segments over the bound
// stream and a memory buffer that receives every inserted byte. Typing, deleting and overwriting first
// change only the cache and are remembered as one pending run (a position, bytes inserted there and
// bytes deleted there), committed to the chain and the undo history when something needs the chain.
// While a run is pending the chain holds the text as it was before the run, the cache holds the whole
// run and TextSize is the size as it is now. Undo records hold segments, so undo never copies text.
class TEditStream : public TTextStream {
public:
    TEditStream();

    unsigned char* GetCharPtr(TTextPos pos) override;
    void CopyTo(TStream& dest, TTextPos pos, TTextPos count) override;
    // Reads the chain, and the pending run from the cache, without committing or reloading anything.
    void ReadText(unsigned char* dest, TTextPos pos, TTextPos count) override;
    void Insert(const unsigned char* buffer, TTextPos pos, TTextPos count) override;
    void Delete(TTextPos pos, TTextPos count) override;
    // Replaces one byte; the caller decides about write protection.
    void Overwrite(TTextPos pos, unsigned char c) override;
    // Inserts a whole block (a clipboard's or a dropped text) and returns the bytes inserted.
    TTextPos InsertFromHandle(std::span<const unsigned char> block, TTextPos pos);
    // Inserts `count` bytes of `stream` from `offset` at `pos` without copying them (a long command's
    // output written to a file of its own, a copied text). The stream stays for as long as the text or
    // its history refers to it.
    void InsertStream(std::shared_ptr<TStream> stream, TTextPos offset, TTextPos count, TTextPos pos);
    bool CanEdit() const override { return true; }
    // Writes the pending run into the chain and the undo history.
    void Commit();
    // Replaces the `count` bytes at `pos` by `bytes`, as one of a run of replacements made in one
    // direction through the text, none overlapping another (Replace All). The run has one undo record,
    // which keeps the stretch of text it replaced as the segments that held it: a record costs no memory
    // per replacement where those are few (an unchanged file). Text between two replacements that lies
    // in the memory buffer starts a new record instead of being copied. Any other edit ends the run, as
    // does closing the undo group.
    void Replace(TTextPos pos, TTextPos count, std::string_view bytes);

    // The `count` bytes from `pos` as they are now, kept however the text changes afterwards.
    std::shared_ptr<TTextSnapshot> Snapshot(TTextPos pos, TTextPos count);

    // Binds `stream`, just written from this text by a save, keeping the undo history: its records now
    // lead away from the saved text, so undoing any of them marks the text modified. `sameText` says
    // the stream holds exactly the text; otherwise (soft breaks written as hard ones) the change from
    // the text to the stream becomes one more undo step.
    void BindSaved(std::unique_ptr<TStream> stream, bool sameText);
    // Every stream the text or its history reads from, each once.
    std::vector<TStream*> Streams() const;

    // Each returns the lowest position changed (0 when there was nothing to do).
    TTextPos Undo();
    TTextPos Redo();
    void EndUndoGroup() {
        m_Run.Active = false;
        m_UndoList.Unlink();
    }
    // Forgets what could be redone: a command that took its own changes back leaves nothing to redo.
    void ClearRedo() { m_RedoList.Clear(); }
    int UndoLevels() const { return m_UndoList.Levels(); }
    int RedoLevels() const { return m_RedoList.Levels(); }
    int MaxUndoLevels() const { return m_UndoList.MaxLevels(); }
    // The redo history keeps as many levels, so that everything undone can be redone.
    void SetMaxUndoLevels(int levels) {
        m_UndoList.SetMaxLevels(levels);
        m_RedoList.SetMaxLevels(levels);
    }
    bool ReadOnly() const { return m_ReadOnly; }
    void SetReadOnly(bool value) { m_ReadOnly = value; }
    // True when an edit must not happen (after telling OnWriteProtect); raises without a handler.
    bool WriteProtected();

    // Asked for the view's state to keep in each new undo record (and whether it joins a group).
    std::function<void(TUndoState& state)> OnSaveUndo;
    // Told the view's state kept in a record being undone or redone.
    std::function<void(const TUndoInfo& record)> OnUndo;
    std::function<void(TTextPos pos)> OnBeforeUndo;
    std::function<void(TEditStream& sender)> OnAfterUndo;
    // An edit of write-protected text: raised instead of the "Write protected!" error when assigned.
    std::function<void(TEditStream& sender)> OnWriteProtect;
    // Undo or redo became possible or impossible.
    void SetOnUndoChange(std::function<void()> handler);

    const TVirtualStreamList& VirtualStream() const { return m_VirtualStream; }
    const TMemoryBuffer& MemoryBuffer() const { return m_MemoryBuffer; }
    // Throws std::logic_error when the chain, the history or the pending run are inconsistent.
    void CheckInvariants();

protected:
    // Binds a stream as one segment; the undo and redo history are emptied.
    void BindStream(std::unique_ptr<TStream> stream) override;
    TTextPos ReadBlock(unsigned char* buffer, TTextPos pos, TTextPos count) override;

private:
    TTextPos PerformUndo(TUndoList& from, TUndoList& to);
    // Inserts straight into the chain, with the pending run already committed.
    void InsertDirect(const unsigned char* buffer, TTextPos pos, TTextPos count);
    // What every insertion ends with: the size, the modified flag, bookmarks and the change event.
    void Inserted(TTextPos pos, TTextPos count);
    // The cache keeps nothing at or after `pos`.
    void CutCache(TTextPos pos);
    // Reads `count` bytes at position `pos` of the chain.
    void ReadChain(unsigned char* dest, TTextPos pos, TTextPos count);
    // Notes in the run's undo record a replacement at `pos` of `count` bytes, held by `removed`, by
    // `inserted` bytes.
    void RecordReplacement(TTextPos pos, TTextPos count, TTextPos inserted,
                           std::unique_ptr<TSegmentList> removed);
    // Moves the bookmarks as undoing each of the replacements from `start` on would.
    void MoveBookmarks(const TReplacedPieces& pieces, TTextPos start);
    // New segments over the same stretches of files as the chain's bytes [pos, pos + count), for an
    // undo record; null when some of those bytes lie in the memory buffer.
    std::unique_ptr<TSegmentList> FileSegments(TTextPos pos, TTextPos count);
    void ResetBlock();

    // Declared first so that it is destroyed last: the lists below give their areas back to it.
    TMemoryBuffer m_MemoryBuffer;
    TUndoList m_RedoList;
    TUndoList m_UndoList;
    TVirtualStreamList m_VirtualStream;
    TTextPos m_PendingPos = -1;
    TTextPos m_PendingInsert = 0;
    TTextPos m_PendingDelete = 0;
    bool m_ReadOnly = false;
    // The run of replacements going on: the stretch of the text as it is now that its record holds.
    struct TReplaceRun {
        bool Active = false;
        TTextPos Start = 0, End = 0;
    } m_Run;
};
