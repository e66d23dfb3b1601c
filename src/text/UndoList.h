#pragma once

#include <deque>
#include <functional>
#include <memory>

#include "text/ReplacedPieces.h"
#include "text/SegmentList.h"
#include "text/SelModes.h"

// The view's state stored in a record, asked for when the record is made, and whether the record
// joins the group of the records after it (Linked).
struct TUndoState {
    TTextPos CaretPos = 0;
    TTextPos SelStart = 0;
    TTextPos SelEnd = 0;
    TSelModes SelMode = TSelModes::smNone;
    bool Linked = false;
    bool Modified = false;
};

// One undo record: undoing it takes Inserted bytes out at Pos and puts its segments back there. It also
// keeps the view's state from when it was made; a linked record belongs to the group of the next newer
// record that is not linked.
class TUndoInfo : public TSegmentList, public TUndoState {
public:
    TUndoInfo() { Linked = true; }

    TTextPos Pos = 0;
    TTextPos Inserted = 0;
    // For a record of a run of replacements: where each one lies. Such a record takes nothing more.
    std::unique_ptr<TReplacedPieces> Pieces;

    bool IsEmpty() const { return Inserted == 0 && Size() == 0; }
};

// An undo or redo history, newest record first. Levels counts the groups (records not linked), and at
// most MaxLevels groups are kept; MaxLevels 0 turns recording off. Records made while a group is open
// are linked and count no level until the group is closed (Unlink): the group is one step.
class TUndoList {
public:
    using TSaveHook = std::function<void(TUndoState& state)>;
    using TUndoHook = std::function<void(const TUndoInfo& record)>;

    TUndoList() = default;
    TUndoList(const TUndoList&) = delete;
    TUndoList& operator=(const TUndoList&) = delete;

    TUndoInfo* Current() const { return m_Records.empty() ? nullptr : m_Records.front().get(); }
    int MaxLevels() const { return m_MaxLevels; }
    void SetMaxLevels(int levels) { m_MaxLevels = std::max(levels, 0); }
    int Levels() const { return m_Levels; }
    std::size_t Count() const { return m_Records.size(); }
    // Newest first.
    const TUndoInfo& Record(std::size_t index) const { return *m_Records.at(index); }
    // After a save every record leads to a text other than the one on disk.
    void MarkModified() {
        for (auto& record : m_Records)
            record->Modified = true;
    }

    TSaveHook SaveHook;
    TUndoHook UndoHook;
    std::function<void()> OnUndoChange; // Levels went from 0 to 1 or from 1 to 0

    void NewRecord(TTextPos pos);
    void AddInsert(TTextPos pos, TTextPos count);
    // Takes the removed segments in all cases (releasing them when recording is off).
    void AddDelete(std::unique_ptr<TSegmentList> removed, TTextPos pos);
    void Link();
    void Unlink();
    // The newest record, taken out; raises EUndoError "Nothing to Undo!" on an empty list.
    std::unique_ptr<TUndoInfo> TakeForUndo();
    // The newest record's position and sizes, after dropping empty records on top; false when none.
    bool PeekRange(TTextPos& pos, TTextPos& putBack, TTextPos& takeOut);
    void Clear();

    // Throws std::logic_error when Levels is not the number of records that are not linked.
    void CheckInvariants() const;

private:
    void SetLevels(int levels);
    std::unique_ptr<TUndoInfo> Pop();
    // Drops the empty newest record; when it headed a group, the next record heads it instead.
    void DropEmptyTop();
    void DropOldestGroup();

    std::deque<std::unique_ptr<TUndoInfo>> m_Records; // newest first
    int m_MaxLevels = 10;
    int m_Levels = 0;
};
