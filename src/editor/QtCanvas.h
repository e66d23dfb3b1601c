#pragma once

#include <QColor>
#include <QFont>
#include <QRawFont>

#include <unordered_map>
#include <vector>

#include "text/Canvas.h"

class QPainter;
class QPaintDevice;

// A font's size in points, also for a font sized in pixels (whose pointSizeF() is -1).
double FontPoints(const QFont& font);

// The text model's drawing surface on Qt: a font's metrics on the screen and on the printer, and
// glyphs drawn one by one at the x positions layout computed. Each byte of Windows-1252 text shows its
// Windows-1252 character; control bytes show the font's .notdef box and are measured as that box. A
// character of UTF-8 text that the font lacks is drawn in the font the system puts in its place.
class TQtCanvas : public TCanvas {
public:
    TQtCanvas();

    const QFont& Font() const { return m_Font; }
    // The font (already zoomed) to measure and draw with; tells the text model its metrics changed.
    void SetFont(const QFont& font);
    // The device whose resolution the screen metrics use.
    void SetDevice(const QPaintDevice* device) { m_Device = device; }
    // The painter drawing goes to, for the span of one paint (null outside it).
    void SetPainter(QPainter* painter) { m_Painter = painter; }
    // The printer's painter while a print job runs (null outside it).
    void SetPrinterPainter(QPainter* painter) { m_PrinterPainter = painter; }
    void SetColors(const QColor& text, const QColor& background);
    const QColor& Background() const { return m_Background; }
    TTextPos Ascent() const { return m_Ascent; }

    bool GetScreenMetrics(TFontMetrics& metrics) override;
    bool GetPrinterMetrics(TFontMetrics& metrics) override;
    void DrawBytes(TOutputDevice device, TTextPos y, const unsigned char* bytes, const TTextPos* xs,
                   TTextPos count) override;
    TTextPos CharWidth(TOutputDevice device, char32_t code) override;
    void DrawChars(TOutputDevice device, TTextPos y, const char32_t* codes, const TTextPos* xs,
                   TTextPos count) override;
    void FillBackground(TTextPos left, TTextPos top, TTextPos right, TTextPos bottom) override;

private:
    // A character's glyph: in which of a device's fonts (0: the font itself), which glyph, how wide.
    struct TCodeGlyph {
        int Font = 0;
        quint32 Index = 0;
        TTextPos Advance = 0;
    };
    // The characters beyond the byte table met so far on one device, and the fonts that draw them.
    struct TCodeGlyphs {
        std::unordered_map<char32_t, TCodeGlyph> Glyphs;
        std::vector<QRawFont> Fonts;
        void Reset(const QRawFont& raw) {
            Glyphs.clear();
            Fonts.assign(1, raw);
        }
    };
    const TCodeGlyph& CodeGlyph(bool printer, char32_t code);
    // Finds the glyph the system's font matching draws `code` with.
    static TCodeGlyph FindGlyph(const QFont& font, TCodeGlyphs& glyphs, char32_t code);

    // The glyph of each byte in `font` and the metrics of the font.
    static void Measure(const QRawFont& font, const QFont& qfont, double dpi, quint32* glyphs,
                        TFontMetrics& metrics);

    QFont m_Font;
    QRawFont m_Raw;
    quint32 m_Glyphs[256] = {};
    TFontMetrics m_Metrics;
    TTextPos m_Cell = 0, m_PrinterCell = 0;
    TTextPos m_Ascent = 0;
    const QPaintDevice* m_Device = nullptr;
    QPainter* m_Painter = nullptr;
    // The font as the printer metrics last measured it, which printed glyphs are drawn in.
    QRawFont m_PrinterRaw;
    QFont m_PrinterFont;
    TCodeGlyphs m_CodeGlyphs, m_PrinterCodeGlyphs;
    quint32 m_PrinterGlyphs[256] = {};
    TTextPos m_PrinterAscent = 0;
    QPainter* m_PrinterPainter = nullptr;
    QColor m_Text = Qt::black;
    QColor m_Background = Qt::white;
};
