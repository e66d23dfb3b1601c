#include "editor/QtCanvas.h"

#include <algorithm>
#include <cmath>

#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

#include "editor/PrinterAccess.h"
#include "text/CodePage1252.h"
#include "text/CodeWidths.h"

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
    m_Cell = UniformWidth(m_Metrics);
    m_Ascent = std::lround(m_Raw.ascent());
    m_CodeGlyphs.Reset(m_Raw);
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
    m_PrinterCell = UniformWidth(metrics);
    m_PrinterAscent = std::lround(raw.ascent());
    m_PrinterRaw = std::move(raw);
    m_PrinterFont = font;
    m_PrinterCodeGlyphs.Reset(m_PrinterRaw);
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

TQtCanvas::TCodeGlyph TQtCanvas::FindGlyph(const QFont& font, TCodeGlyphs& glyphs, char32_t code) {
    // A one-character layout lets the font matching pick the font that has the character.
    QTextLayout layout(QString::fromUcs4(&code, 1), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    TCodeGlyph glyph; // the .notdef box of the font itself when none has it
    if (!runs.isEmpty() && !runs[0].glyphIndexes().isEmpty()) {
        const QRawFont raw = runs[0].rawFont();
        glyph.Index = runs[0].glyphIndexes()[0];
        const auto known = std::find(glyphs.Fonts.begin(), glyphs.Fonts.end(), raw);
        glyph.Font = static_cast<int>(known - glyphs.Fonts.begin());
        if (known == glyphs.Fonts.end()) glyphs.Fonts.push_back(raw);
    }
    const QRawFont& drawn = glyphs.Fonts[static_cast<size_t>(glyph.Font)];
    glyph.Advance = std::lround(drawn.advancesForGlyphIndexes(QList<quint32>{glyph.Index})[0].x());
    return glyph;
}

const TQtCanvas::TCodeGlyph& TQtCanvas::CodeGlyph(bool printer, char32_t code) {
    TCodeGlyphs& glyphs = printer ? m_PrinterCodeGlyphs : m_CodeGlyphs;
    auto known = glyphs.Glyphs.find(code);
    if (known == glyphs.Glyphs.end())
        known = glyphs.Glyphs.emplace(code, FindGlyph(printer ? m_PrinterFont : m_Font, glyphs, code)).first;
    return known->second;
}

TTextPos TQtCanvas::CharWidth(TOutputDevice device, char32_t code) {
    const bool printer = device == TOutputDevice::odPrinter && m_PrinterRaw.isValid();
    if (!(printer ? m_PrinterRaw : m_Raw).isValid()) return 0;
    return CodeGlyph(printer, code).Advance;
}

void TQtCanvas::DrawChars(TOutputDevice device, TTextPos y, const char32_t* codes, const TTextPos* xs,
                          TTextPos count) {
    const bool printer = device == TOutputDevice::odPrinter && m_PrinterRaw.isValid();
    QPainter* painter = printer ? m_PrinterPainter : m_Painter;
    if (!painter || count <= 0) return;
    const quint32* byteGlyphs = printer ? m_PrinterGlyphs : m_Glyphs;
    const TCodeGlyphs& glyphs = printer ? m_PrinterCodeGlyphs : m_CodeGlyphs;
    const qreal baseline = static_cast<qreal>(y + (printer ? m_PrinterAscent : m_Ascent));
    // One run of glyphs for each font that draws some of the characters.
    std::vector<QList<quint32>> indexes(glyphs.Fonts.size());
    std::vector<QList<QPointF>> positions(glyphs.Fonts.size());
    auto add = [&](size_t font, quint32 index, TTextPos x) {
        if (font >= indexes.size()) {
            indexes.resize(font + 1);
            positions.resize(font + 1);
        }
        indexes[font].push_back(index);
        positions[font].push_back(QPointF(static_cast<qreal>(x), baseline));
    };
    for (TTextPos i = 0; i < count; ++i) {
        if (printer && codes[i] == ' ') continue; // as DrawBytes
        if (codes[i] < 0x80) {
            add(0, byteGlyphs[codes[i]], xs[i]);
        } else {
            const TCodeGlyph& glyph = CodeGlyph(printer, codes[i]);
            // In a fixed-pitch font layout gives a character one or two cells: a glyph of another
            // width, from the font that stands in, is centred in them.
            const TTextPos cell = printer ? m_PrinterCell : m_Cell;
            const TTextPos shift = cell ? ((IsWideChar(codes[i]) ? 2 : 1) * cell - glyph.Advance) / 2 : 0;
            add(static_cast<size_t>(glyph.Font), glyph.Index, xs[i] + shift);
        }
    }
    painter->setPen(printer ? QColor(Qt::black) : m_Text);
    for (size_t font = 0; font < indexes.size(); ++font) {
        if (indexes[font].isEmpty()) continue;
        QGlyphRun run;
        run.setRawFont(glyphs.Fonts[font]);
        run.setGlyphIndexes(indexes[font]);
        run.setPositions(positions[font]);
        painter->drawGlyphRun(QPointF(0, 0), run);
    }
}

void TQtCanvas::FillBackground(TTextPos left, TTextPos top, TTextPos right, TTextPos bottom) {
    if (m_Painter)
        m_Painter->fillRect(QRectF(static_cast<qreal>(left), static_cast<qreal>(top),
                                   static_cast<qreal>(right - left), static_cast<qreal>(bottom - top)),
                            m_Background);
}
