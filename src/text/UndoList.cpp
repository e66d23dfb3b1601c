#include "text/UndoList.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "text/Exceptions.h"
#include "text/Invariants.h"

void TUndoList::SetLevels(int levels) {
    const bool changed = (levels == 0) != (m_Levels == 0);
    m_Levels = levels;
    if (changed && OnUndoChange) OnUndoChange();
}

void TUndoList::Link() {
    if (TUndoInfo* current = Current(); current && !current->Linked) {
        current->Linked = true;
        SetLevels(m_Levels - 1);
    }
    QV_INVARIANTS();
}

void TUndoList::Unlink() {
    if (TUndoInfo* current = Current(); current && current->Linked) {
        // The newest record heads a new level now: the oldest goes when that makes one too many. The
        // records of the group it closes are newer than any other head, so they stay.
        if (m_Levels >= 1 && m_Levels >= m_MaxLevels) DropOldestGroup();
        current->Linked = false;
        SetLevels(m_Levels + 1);
    }
    QV_INVARIANTS();
}

std::unique_ptr<TUndoInfo> TUndoList::Pop() {
    Link();
    std::unique_ptr<TUndoInfo> record = std::move(m_Records.front());
    m_Records.pop_front();
    return record;
}

void TUndoList::DropEmptyTop() {
    const bool headed = !Current()->Linked;
    m_Records.pop_front();
    if (!headed) return;
    if (TUndoInfo* next = Current(); next && next->Linked)
        next->Linked = false;
    else
        SetLevels(m_Levels - 1);
}

void TUndoList::DropOldestGroup() {
    while (!m_Records.empty() && m_Records.back()->Linked)
        m_Records.pop_back();
    if (!m_Records.empty()) {
        m_Records.pop_back();
        SetLevels(m_Levels - 1);
    }
}

void TUndoList::NewRecord(TTextPos pos) {
    if (m_MaxLevels == 0) return;
    // A record still empty belongs to the run this one replaces (a Backspace run moving down): the
    // caret and the modified flag from when that run began are kept.
    TTextPos carriedCaret = 0;
    std::optional<bool> carriedModified;
    if (TUndoInfo* current = Current(); current && current->IsEmpty()) {
        carriedCaret = current->CaretPos;
        carriedModified = current->Modified;
        DropEmptyTop();
    }
    TUndoState state;
    if (SaveHook) SaveHook(state);
    auto record = std::make_unique<TUndoInfo>();
    record->Pos = pos;
    static_cast<TUndoState&>(*record) = state;
    record->Linked = true; // until Unlink makes it head a group of its own
    record->CaretPos = std::max(state.CaretPos, carriedCaret);
    record->Modified = carriedModified.value_or(state.Modified);
    m_Records.push_front(std::move(record));
    if (!state.Linked) Unlink();
    QV_INVARIANTS();
}

void TUndoList::AddInsert(TTextPos pos, TTextPos count) {
    if (m_MaxLevels == 0) return;
    TUndoInfo* current = Current();
    if (!current || current->Pieces || pos < current->Pos || pos > current->Pos + current->Inserted) {
        NewRecord(pos);
        current = Current();
    }
    current->Inserted += count;
    QV_INVARIANTS();
}

void TUndoList::AddDelete(std::unique_ptr<TSegmentList> removed, TTextPos pos) {
    if (m_MaxLevels == 0) return; // the removed list is released here
    TUndoInfo* current = Current();
    // An overwrite run going on right after its record takes bytes that followed the record's ones.
    const bool overwriting =
        current && current->Inserted == current->Size() && pos == current->Pos + current->Inserted;
    if (!current || current->Pieces || (current->Inserted > 0 && !overwriting)) {
        NewRecord(pos);
        current = Current();
    }
    if (pos + removed->Size() == current->Pos) { // just before the record: Backspace
        current->Pos = pos;
        current->InsertListAfter(nullptr, std::move(removed));
        QV_INVARIANTS();
        return;
    }
    // Bytes deleted right after the record's text followed the bytes it already holds.
    if (pos != current->Pos + current->Inserted) {
        NewRecord(pos);
        current = Current();
    }
    current->InsertListAfter(current->Last(), std::move(removed));
    QV_INVARIANTS();
}

std::unique_ptr<TUndoInfo> TUndoList::TakeForUndo() {
    if (m_Records.empty()) throw EUndoError("Nothing to Undo!");
    std::unique_ptr<TUndoInfo> record = Pop();
    if (UndoHook) UndoHook(*record);
    QV_INVARIANTS();
    return record;
}

bool TUndoList::PeekRange(TTextPos& pos, TTextPos& putBack, TTextPos& takeOut) {
    while (Current() && Current()->IsEmpty())
        DropEmptyTop();
    const TUndoInfo* current = Current();
    if (!current) return false;
    pos = current->Pos;
    putBack = current->Size();
    takeOut = current->Inserted;
    return true;
}

void TUndoList::Clear() {
    m_Records.clear();
    m_Levels = 0;
    if (OnUndoChange) OnUndoChange();
    QV_INVARIANTS();
}

void TUndoList::CheckInvariants() const {
    const auto heads =
        std::count_if(m_Records.begin(), m_Records.end(), [](const auto& r) { return !r->Linked; });
    if (heads != m_Levels) throw std::logic_error("undo list: Levels differs from the number of groups");
    for (const auto& record : m_Records)
        record->CheckInvariants();
}
