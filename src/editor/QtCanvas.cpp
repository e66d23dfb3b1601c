#include "editor/QtCanvas.h"

#include <cmath>

#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QPrinter>

#include "editor/PrinterAccess.h"
#include "text/CodePage1252.h"

TQtCanvas::TQtCanvas() {
    SetFont(QFont("DejaVu Sans Mono", 10));
}

void TQtCanvas::Measure(const QRawFont& raw, const QFont& font, double dpi, quint32* glyphs,
                        TFontMetrics& m) {
    QString chars(256, QChar(' '));
    for (int b = 0; b < 256; ++b)
        chars[b] = QChar(Windows1252ToUnicode[b]);
    const QList<quint32> indexes = raw.glyphIndexesForString(chars);
    QList<quint32> used(256, 0); // control bytes, and characters the font lacks, show .notdef (glyph 0)
    for (int b = 0; b < 256 && b < indexes.size(); ++b)
        if (chars[b].category() != QChar::Other_Control) used[b] = indexes[b];
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(used);
    for (int b = 0; b < 256; ++b) {
        glyphs[b] = used[b];
        m.Widths[static_cast<size_t>(b)] = std::lround(advances[b].x());
    }
    const QFontMetrics fm(font);
    m.AvgCharWidth = std::max(1L, std::lround(raw.averageCharWidth()));
    m.MaxCharWidth = std::max(1L, std::lround(raw.maxCharWidth()));
    m.Height = std::lround(raw.ascent() + raw.descent() + raw.leading());
    m.TabWidth = 8 * m.AvgCharWidth;
    m.PixelsPerInch = dpi;
}

void TQtCanvas::SetFont(const QFont& font) {
    m_Font = font;
    m_Font.setStyleStrategy(QFont::PreferNoShaping);
    m_Font.setHintingPreference(QFont::PreferFullHinting);
    m_Raw = QRawFont::fromFont(m_Font);
    Measure(m_Raw, m_Font, m_Device ? m_Device->logicalDpiX() : 96, m_Glyphs, m_Metrics);
    m_Ascent = std::lround(m_Raw.ascent());
    if (OnFontChange) OnFontChange();
}

void TQtCanvas::SetColors(const QColor& text, const QColor& background) {
    m_Text = text;
    m_Background = background;
}

bool TQtCanvas::GetScreenMetrics(TFontMetrics& metrics) {
    if (!m_Raw.isValid()) return false;
    metrics = m_Metrics;
    if (m_Device) metrics.PixelsPerInch = m_Device->logicalDpiX();
    return true;
}

double FontPoints(const QFont& font) {
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

bool TQtCanvas::GetPrinterMetrics(TFontMetrics& metrics) {
    QPrinter* printer = TPrinterAccess::Printer();
    if (!printer) return false;
    // The same point size at the printer's resolution.
    QFont font(m_Font);
    font.setPixelSize(
        std::max(1, static_cast<int>(std::lround(FontPoints(m_Font) * printer->resolution() / 72.0))));
    QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) return false;
    Measure(raw, font, printer->resolution(), m_PrinterGlyphs, metrics);
    m_PrinterAscent = std::lround(raw.ascent());
    m_PrinterRaw = std::move(raw);
    return true;
}

void TQtCanvas::DrawBytes(TOutputDevice device, TTextPos y, const unsigned char* bytes, const TTextPos* xs,
                          TTextPos count) {
    const bool printer = device == TOutputDevice::odPrinter && m_PrinterRaw.isValid();
    QPainter* painter = printer ? m_PrinterPainter : m_Painter;
    if (!painter || count <= 0) return;
    const quint32* glyphs = printer ? m_PrinterGlyphs : m_Glyphs;
    const TTextPos baseline = y + (printer ? m_PrinterAscent : m_Ascent);
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(count);
    positions.reserve(count);
    for (TTextPos i = 0; i < count; ++i) {
        // A space leaves no mark: on paper it only costs the file a glyph (readers of the file see
        // the gap as a space all the same).
        if (printer && bytes[i] == ' ') continue;
        indexes.push_back(glyphs[bytes[i]]);
        positions.push_back(QPointF(static_cast<qreal>(xs[i]), static_cast<qreal>(baseline)));
    }
    if (indexes.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(printer ? m_PrinterRaw : m_Raw);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    painter->setPen(printer ? QColor(Qt::black) : m_Text); // paper is white whatever the screen shows
    painter->drawGlyphRun(QPointF(0, 0), run);
}

void TQtCanvas::FillBackground(TTextPos left, TTextPos top, TTextPos right, TTextPos bottom) {
    if (m_Painter)
        m_Painter->fillRect(QRectF(static_cast<qreal>(left), static_cast<qreal>(top),
                                   static_cast<qreal>(right - left), static_cast<qreal>(bottom - top)),
                            m_Background);
}
