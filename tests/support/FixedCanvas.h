#pragma once

#include <vector>

#include "text/Canvas.h"

// A canvas with metrics set by hand, recording what is drawn on it.
class TFixedCanvas : public TCanvas {
public:
    // Every byte `width` pixels wide on the screen (96 pixels per inch) and, when `printerWidth` is
    // above 0, that wide on a 600 pixels-per-inch printer.
    explicit TFixedCanvas(TTextPos width = 8, TTextPos printerWidth = 0) {
        Screen.Widths.fill(width);
        Screen.AvgCharWidth = Screen.MaxCharWidth = width;
        Screen.Height = 2 * width;
        Screen.TabWidth = 8 * width;
        Printer = Screen;
        Printer.Widths.fill(printerWidth);
        Printer.AvgCharWidth = Printer.MaxCharWidth = printerWidth;
        Printer.TabWidth = 8 * printerWidth;
        Printer.PixelsPerInch = 600;
        HasPrinter = printerWidth > 0;
    }

    // Widths varying by character class, like a proportional font's.
    static TFixedCanvas Proportional() {
        TFixedCanvas canvas(7);
        auto& w = canvas.Screen.Widths;
        for (int c = 'A'; c <= 'Z'; ++c) w[c] = 9;
        for (unsigned char c : {'i', 'l', 'j', '.', ',', '\'', '!', '|', ':', ';'}) w[c] = 3;
        for (unsigned char c : {'m', 'w', 'M', 'W', '@'}) w[c] = 11;
        w[' '] = 4;
        w['-'] = 5;
        canvas.Screen.MaxCharWidth = 11;
        return canvas;
    }

    bool GetScreenMetrics(TFontMetrics& metrics) override {
        ++MetricReads;
        metrics = Screen;
        return HasFont;
    }
    bool GetPrinterMetrics(TFontMetrics& metrics) override {
        metrics = Printer;
        return HasPrinter;
    }
    void DrawBytes(TOutputDevice device, TTextPos y, const unsigned char* bytes, const TTextPos* xs,
                   TTextPos count) override {
        for (TTextPos i = 0; i < count; ++i) Drawn.push_back({device, xs[i], y, bytes[i]});
    }
    void FillBackground(TTextPos left, TTextPos top, TTextPos right, TTextPos bottom) override {
        Filled.push_back({left, top, right, bottom});
    }

    struct TGlyph {
        TOutputDevice Device;
        TTextPos X, Y;
        unsigned char Byte;
    };
    TFontMetrics Screen, Printer;
    bool HasFont = true;
    bool HasPrinter = false;
    int MetricReads = 0;
    std::vector<TGlyph> Drawn;
    std::vector<std::vector<TTextPos>> Filled;
};
