// What TTextViewer gives the clipboard and the primary selection: a stream as a snapshot whose bytes are
// read when another program asks for them, a rectangle as its bytes in the column-text format and as
// plain text.

#include <QClipboard>
#include <QGuiApplication>

#include "editor/ClipboardText.h"
#include "editor/QtText.h"
#include "editor/TextViewer.h"
#include "text/EditStream.h"

std::unique_ptr<QMimeData> TTextViewer::SelectionMime(bool busy) {
    auto* text = dynamic_cast<TEditStream*>(m_TextBuffer.get());
    if (text && !m_Sel.IsColumn())
        return std::make_unique<TClipboardText>(text->Snapshot(m_Sel.StartOffset, SelectionSize()),
                                                text->CharSet());
    std::string bytes;
    if (busy) {
        TBusy busyMode(*this, SelectionSize() + 1);
        bytes = GetSelectedText();
    } else {
        bytes = GetSelectedText();
    }
    auto mime = std::make_unique<QMimeData>();
    mime->setText(TextToUnicode(bytes, m_TextBuffer->CharSet()));
    if (m_Sel.IsColumn())
        mime->setData(ColumnTextFormat, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()) + 1));
    return mime;
}

void TTextViewer::CopyToClipboard() {
    if (!m_Sel.Exists() || !m_TextBuffer) return;
    QGuiApplication::clipboard()->setMimeData(SelectionMime(true).release());
}

void TTextViewer::OfferPrimary() {
    if (!m_Sel.Exists() || !m_TextBuffer) return;
    if (m_State & sfBusy) { // a search hit selected meanwhile is offered once the search is over
        m_PrimaryTimer.start(100);
        return;
    }
    QGuiApplication::clipboard()->setMimeData(SelectionMime(false).release(), QClipboard::Selection);
}
