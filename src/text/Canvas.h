#pragma once

#include <array>
#include <functional>

#include "text/TextPos.h"

// What layout needs to know of a font on one device (screen or printer), in that device's pixels.
struct TFontMetrics {
    std::array<TTextPos, 256> Widths{}; // advance of each byte value
    TTextPos AvgCharWidth = 0;
    TTextPos MaxCharWidth = 0;
    TTextPos Height = 0;
    TTextPos TabWidth = 0;        // extent of one TAB with no tab stops: eight average widths
    double PixelsPerInch = 96.0;  // horizontal resolution
};

// The advance every byte but TAB, LF, FF and CR shares in a fixed-pitch font, else 0: such a font is
// laid out in cells.
inline TTextPos UniformWidth(const TFontMetrics& m) {
    for (int c = 0; c < 256; ++c)
        if (c != 9 && c != 10 && c != 12 && c != 13 && m.Widths[static_cast<size_t>(c)] != m.Widths['a']) return 0;
    return m.Widths['a'];
}

enum class TOutputDevice { odDisplay, odPrinter };

// The drawing surface of an editor as the Qt-free text model sees it: font metrics on the screen and
// on the printer, and glyph drawing at x positions that layout has computed, so that what is drawn
// always agrees with what was measured.
class TCanvas {
public:
    virtual ~TCanvas() = default;

    // Metrics of the current font on the screen; false when they cannot be had.
    virtual bool GetScreenMetrics(TFontMetrics& metrics) = 0;
    // The same font on the printer; false when there is no printer.
    virtual bool GetPrinterMetrics(TFontMetrics& metrics) = 0;
    // Draws one glyph for each byte (of Windows-1252 text) with its left edge at xs[i], its top at y.
    virtual void DrawBytes(TOutputDevice device, TTextPos y, const unsigned char* bytes, const TTextPos* xs,
                           TTextPos count) = 0;
    // The width of the glyph that shows character `code` (beyond ASCII) on the device, from the font or
    // the font that stands in for it.
    virtual TTextPos CharWidth(TOutputDevice device, char32_t code) = 0;
    // Draws the characters `codes` (of UTF-8 text) with their left edges at xs[i], their top at y.
    virtual void DrawChars(TOutputDevice device, TTextPos y, const char32_t* codes, const TTextPos* xs,
                           TTextPos count) = 0;
    // Fills [left, right) x [top, bottom) of the screen with the background colour.
    virtual void FillBackground(TTextPos left, TTextPos top, TTextPos right, TTextPos bottom) = 0;

    // Raised by the canvas when its font changes; the text model listening recomputes its metrics.
    std::function<void()> OnFontChange;
};
