#pragma once

#include <QDateTime>

#include "editor/TextViewer.h"
#include "text/EditStream.h"
#include "text/SpillText.h"

// The editor control: every operation that changes the text, on an edit stream. Each command is one
// undo step: commands that make several changes run linked (CompoundEdit, a drop, Replace All or a
// column selection) and close the group when they end; single changes rely on the edit stream's
// merging of adjacent ones.
class TBigEditor : public TTextViewer {
    Q_OBJECT
public:
    explicit TBigEditor(QWidget* parent = nullptr);

    // The text model; it must be an edit stream.
    void SetTextBuffer(std::unique_ptr<TLinesBuffer> buffer) override;
    TEditStream& Text() const;

    QV_KEY(BackSpaceKey, kiBackSpace);
    QV_KEY(InsertKey, kiInsert);
    QV_KEY(NewLineKey, kiNewLine);
    QV_KEY(DeleteLineKey, kiDeleteLine);
    QV_KEY(DeleteKey, kiDelete);
    QV_KEY(DeleteWordKey, kiDeleteWord);
    QV_KEY(CutKey, kiCut);
    QV_KEY(AltCutKey, kiAltCut);
    QV_KEY(PasteKey, kiPaste);
    QV_KEY(AltPasteKey, kiAltPaste);
    QV_KEY(DelLineEndKey, kiDelLineEnd);
    QV_KEY(DelLineStartKey, kiDelLineStart);
    QV_KEY(UndoKey, kiUndo);
    QV_KEY(RedoKey, kiRedo);
    bool InsertOn() const { return m_State & sfInsert; }
    void SetInsertOn(bool on) { SetState(sfInsert, on); }
    bool SelectAfterPaste() const { return m_SelectAfterPaste; }
    void SetSelectAfterPaste(bool on) { m_SelectAfterPaste = on; }
    bool ReadOnly() const { return Text().ReadOnly(); }
    void SetReadOnly(bool on) { Text().SetReadOnly(on); }
    TTextPos MaxTextSize() const { return Text().MaxTextSize(); }
    void SetMaxTextSize(TTextPos size) { Text().SetMaxTextSize(size); }
    int MaxUndoLevels() const { return Text().MaxUndoLevels(); }
    void SetMaxUndoLevels(int levels) { Text().SetMaxUndoLevels(levels); }
    void SetOnWriteProtect(std::function<void(TEditStream& sender)> handler) {
        Text().OnWriteProtect = std::move(handler);
    }
    bool Modified() const { return m_State & sfModified; }
    void SetModified(bool modified) { Text().SetModified(modified); }

    // Editing commands.
    void TypeChar(unsigned char c) { TypeCharacter(&c, 1); }
    // Types one character of the text's set, given as its bytes.
    void TypeCharacter(const unsigned char* bytes, int length);
    void NewLine();
    void ToggleInsert() { SetInsertOn(!InsertOn()); }
    void Backspace();
    void DeleteChar();
    void DeleteWord();
    void DeleteLine();
    void DeleteToLineEnd();
    void DeleteToLineStart();
    void DeleteSelection();
    void DeleteRange(TTextPos pos, TTextPos count);
    // Replaces each line's part of a column selection by `text`; one undo step unless kept open. The
    // offset `follow` points to, if any, is kept on the same text.
    void ReplaceBlock(const std::string& text, bool keepUndoGroupOpen, TTextPos* follow = nullptr);
    void InsertDateTime(const QDateTime& when);
    // Cycles the words of the selection (or at the caret): lower case, Capitalised, UPPER CASE.
    void CapitaliseWords();
    // Joins the hard lines of each paragraph of the selection, or from the caret to the end of the text,
    // so that the wrap mode lays the paragraphs out. One undo step; Esc abandons it with nothing changed.
    void FlowText();
    void UndoEdit();
    void RedoEdit();
    bool SelectWordAtCaret();
    // Makes room for typed or pasted text: deletes the selection, or fills with spaces up to a caret
    // right of its line's end. Returns where the text goes.
    TTextPos PrepareInsertion();
    // Replaces the whole text.
    void SetWindowText(const std::string& text);

    // Moving text in and out.
    void CutSelection();
    void PasteClipboard();
    // Pastes the primary selection at a viewport point, as a middle click does.
    void PastePrimary(QPoint at);
    // Inserts a column block (lines ended by CR LF or LF) at the column of `pos` on successive lines;
    // lines the text lacks are added with its own line break. Returns the position after the last line.
    TTextPos PasteColumnBlock(const std::string& block, TTextPos pos);
    // The Replace dialog's Replace and Replace All.
    bool Replace(QWidget* dialog, const std::string& findText, TFindOptions options,
                 const std::string& replaceWith);
    bool FindNext(QWidget* dialog) override;
    std::function<void(TBigEditor& sender, TTextPos count)> OnReplaceAll;

protected:
    // Makes every change while it exists part of one undo step, closed when the outermost group goes.
    class TUndoGroup {
    public:
        explicit TUndoGroup(TBigEditor& editor) : m_Editor(editor), m_Outer(!editor.m_CompoundEdit) {
            editor.m_CompoundEdit = true;
        }
        ~TUndoGroup() {
            if (!m_Outer) return;
            m_Editor.m_CompoundEdit = false;
            m_Editor.Text().EndUndoGroup();
        }
        TUndoGroup(const TUndoGroup&) = delete;
        TUndoGroup& operator=(const TUndoGroup&) = delete;

    private:
        TBigEditor& m_Editor;
        bool m_Outer;
    };
    // Replaces the `count` bytes at `pos` by `text` in one undo step, which puts the caret back at
    // `undoCaret`, lays the display out again from there and puts the caret at `caret`: a caret far
    // from the change lands on an estimated line rather than after laying out everything between.
    void ReplaceRange(TTextPos pos, TTextPos count, TSpillText& text, TTextPos undoCaret, TTextPos caret);
    std::function<void()> GetKeyHandler(int index) override;
    void CharTyped(const QString& text) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Sets a flag for the span of a command, however it ends.
    class TFlagScope {
    public:
        explicit TFlagScope(std::function<void(bool)> set) : m_Set(std::move(set)) { m_Set(true); }
        ~TFlagScope() { m_Set(false); }

    private:
        std::function<void(bool)> m_Set;
    };

    void BindText();
    // Inserts the text of `mime` at `pos` and lays the display out again; the position after it. The
    // editor's own copied text goes in as it is, without being read.
    TTextPos InsertText(const QMimeData& mime, TTextPos pos);
    // Deletes from `start` to `end` by selecting the range; a protected text refuses first.
    void DeleteAsSelection(TViewPos start, TViewPos end);
    void History(bool undo);
    // Puts the character at `pos` in upper or lower case, where that keeps its bytes' count.
    void ChangeCase(TTextPos pos, bool upper);
    TTextPos ReplaceAll();
    // Whether a view position lies in the selection, for starting a drag.
    bool OverSelection(TTextPos x, TTextPos line);
    // The same for a viewport point, kept in the cursor reasons.
    bool PointerOverSelection(QPoint at);
    TTextPos LineAt(int y) const { return m_TopLine + (y >= 0 ? y / m_LineHeight : -1); }
    // Drops the dragged selection at the caret; false when that was an ordinary click on it.
    bool Drop(bool copy);
    void DropStream(TTextPos d, bool copy, TTextPos fill);
    void DropColumn(bool copy);
    // Spaces from a line's end up to document x on that line; the position after them.
    TTextPos FillTo(TTextPos x, TTextPos line);

    bool m_SelectAfterPaste = true;
    TTextPos m_UndoCaretPos = 0;
    TTextPos m_UndoSelStart = 0, m_UndoSelEnd = 0;
    TSelModes m_UndoSelMode = TSelModes::smNone;
    bool m_CompoundEdit = false;
    std::string m_ReplaceText;
    std::vector<TChangeStart> m_UndoSteps; // the layout starts of the steps of an undo
};
