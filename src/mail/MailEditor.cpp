// TMailEditor's quoting commands: the quote prefix of a line, Paste Quote, inserting files plain or
// quoted, and Reformat Quoted Text.

#include "mail/MailEditor.h"

#include <cstring>
#include <vector>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "editor/QtText.h"
#include "mail/QuoteReformatter.h"
#include "text/CodePages.h"
#include "text/FileStream.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned char FF = 12;
// Quoted lines go into the text a block at a time: the same text as line by line, in fewer edits.
constexpr size_t kQuotedBlock = 64 * 1024;

// A temporary text model borrows the editor's canvas; the editor's own text gets it back when this goes.
class TCanvasReturn {
public:
    TCanvasReturn(TLinesBuffer& text, TCanvas& canvas) : m_Text(text), m_Canvas(canvas) {}
    ~TCanvasReturn() { m_Text.SetCanvas(&m_Canvas); }
    TCanvasReturn(const TCanvasReturn&) = delete;
    TCanvasReturn& operator=(const TCanvasReturn&) = delete;

private:
    TLinesBuffer& m_Text;
    TCanvas& m_Canvas;
};

} // namespace

TMailEditor::TMailEditor(QWidget* parent) : TFileEditor(parent) {}

void TMailEditor::LayOutLike(TLinesBuffer& model) {
    TLinesBuffer& own = *TextBuffer();
    model.SetCanvas(&m_Canvas);
    model.SetMode(own.Mode());
    model.SetMaxWidth(own.MaxWidth());
    model.SetNumTabStops(own.NumTabStops());
    for (int i = 0; i < own.NumTabStops(); ++i)
        model.SetTabStop(i, own.GetTabStop(i));
}

TTextPos TMailEditor::CaretLineStart() {
    WalkToLine(m_CaretLine, false);
    TLinesBuffer& text = *TextBuffer();
    const TTextPos start = m_WalkStart;
    if (start == 0 || text.LastCharBeforeBreak(start) != start) return start; // after a line break
    // A continuation of a wrapped line: back to the last line feed or form feed before it.
    TTextPos lineFeed = start;
    text.FindLineStart(lineFeed);
    for (TTextPos p = start; p > lineFeed;) {
        const unsigned char* last = text.GetCharPtr(p - 1);
        const TTextPos n = std::min<TTextPos>(last - text.BlockFirst() + 1, p - lineFeed);
        if (const void* ff = ::memrchr(last - n + 1, FF, static_cast<size_t>(n)))
            return p - (last - static_cast<const unsigned char*>(ff));
        p -= n;
    }
    return lineFeed;
}

std::string TMailEditor::LineQuotePrefix() {
    if (m_Sel.Exists())
        WalkToOffset(m_Sel.StartOffset);
    else
        WalkToLine(m_CaretLine, false);
    return QuotePrefix(TextBuffer()->GetText(m_WalkStart, m_WalkLength));
}

void TMailEditor::InsertQuoted(TLinesBuffer& source) {
    if (source.MaxWidth() > 0)
        source.SetMaxWidth(std::max<TTextPos>(1, source.MaxWidth() - source.LayoutWidth(m_MailQuote)));
    const std::string lineBreak(Text().LineBreakBytes());
    TUndoGroup group(*this);
    TTextPos pos = CaretLineStart();
    TBusy busy(*this, source.TextSize());
    const TChangeStart start = BeforeChange(pos);
    std::string block;
    auto flush = [&] {
        Text().InsertString(block, pos);
        pos += static_cast<TTextPos>(block.size());
        block.clear();
    };
    try {
        for (TTextPos at = 0; at < source.TextSize();) {
            const TTextPos from = at;
            TTextPos width = 0, count = 0;
            source.NextLineEnd(at, width, count);
            ((block += m_MailQuote) += source.GetText(from, count)) += lineBreak;
            if (block.size() >= kQuotedBlock) flush();
            if (at <= from || !PollAbort(at)) break; // lines quoted so far stay
        }
        flush();
    } catch (...) {
        AfterChange(start, pos);
        throw;
    }
    AfterChange(start, pos);
    GoToOffset(pos, false); // the caret line may be one the change added past the last known
}

void TMailEditor::PasteQuote() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime || !mime->hasText() || Text().WriteProtected()) return;
    TEditStream quoted;
    TCanvasReturn canvasBack(*TextBuffer(), m_Canvas);
    LayOutLike(quoted);
    quoted.InsertString(UnicodeToText(mime->text(), Text().CharSet()), 0);
    TUndoGroup group(*this);
    DeleteSelection();
    if (quoted.TextSize() > 0)
        InsertQuoted(quoted);
    else
        Beep();
}

void TMailEditor::InsertFile(const fs::path& fileName, bool oemConvert) {
    TFileStream file(fileName, TFileStream::TMode::fmOpenRead);
    if (Text().WriteProtected()) return;
    TUndoGroup group(*this);
    TTextPos pos = PrepareInsertion();
    const TTextPos first = pos;
    std::vector<unsigned char> block(static_cast<size_t>(m_InsertBlockSize));
    TBusy busy(*this, file.Size());
    const TChangeStart start = BeforeChange(pos);
    try {
        for (TTextPos n = 0; (n = file.Read(block.data(), m_InsertBlockSize)) > 0;) {
            if (oemConvert) OemToAnsi(block.data(), n);
            const TTextPos before = TextSize();
            Text().Insert(block.data(), pos, n);
            pos += TextSize() - before;
            if (TextSize() - before < n || !PollAbort(pos - first)) break; // full, or abandoned
        }
    } catch (...) {
        AfterChange(start, pos);
        throw;
    }
    AfterChange(start, pos);
    GoToOffset(pos, false);
}

void TMailEditor::InsertFileQuoted(const fs::path& fileName) {
    auto file = std::make_unique<TFileStream>(fileName, TFileStream::TMode::fmOpenRead);
    if (Text().WriteProtected()) return;
    TTextStream source;
    TCanvasReturn canvasBack(*TextBuffer(), m_Canvas);
    LayOutLike(source);
    source.SetStream(std::move(file));
    TUndoGroup group(*this);
    DeleteSelection();
    InsertQuoted(source);
}

void TMailEditor::ReformatQuoted(const std::string& oldQuote, const std::string& newQuote) {
    if (oldQuote.empty()) throw EUserError("Old Quote String cannot be empty");
    if (Text().WriteProtected()) return;
    const TTextPos caret = CaretOffset();
    const bool selected = m_Sel.Exists();
    const TTextPos start = selected ? m_Sel.StartOffset : caret;
    const TTextPos end = selected ? m_Sel.EndOffset : TextSize();
    WalkToOffset(start);
    const TTextPos lineStart = m_WalkStart;
    TQuoteReformatter reformatter(Text(), oldQuote, newQuote, std::string(Text().LineBreakBytes()));
    reformatter.Follow(start);
    {
        TBusy busy(*this, end - lineStart);
        if (!reformatter.Run(lineStart, end, [this](TTextPos done) { return PollAbort(done); })) return;
        ReplaceRange(lineStart, reformatter.ChangeEnd() - lineStart, reformatter.Output(), caret,
                     reformatter.NewPosition(end));
    }
    // A selection from a line's start keeps the new quote there; one from inside the line, its text.
    const TTextPos newEnd = reformatter.NewPosition(end);
    const TTextPos newStart = start == lineStart ? start : reformatter.NewPosition(start);
    if (selected) { // selected again as a stream, from its start, which stays the anchor
        SetSelection(OffsetToPos(newStart), OffsetToPos(newEnd), TSelModes::smStream);
        m_Sel.Anchor = m_Sel.Start;
    }
    GoToOffset(newEnd, false);
}
