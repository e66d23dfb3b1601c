#pragma once

#include <map>
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
        canvas.Varied = true;
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
    // Beyond ASCII: CharWidths where set, else the width of 'a'; with Varied, Cyrillic letters are
    // 8 and ideographs 13 pixels wide.
    TTextPos CharWidth(TOutputDevice device, char32_t code) override {
        if (const auto known = CharWidths.find(code); known != CharWidths.end()) return known->second;
        if (Varied && code >= 0x400 && code < 0x500) return 8;
        if (Varied && code >= 0x4E00 && code < 0xA000) return 13;
        return (device == TOutputDevice::odPrinter ? Printer : Screen).Widths['a'];
    }
    void DrawChars(TOutputDevice device, TTextPos y, const char32_t* codes, const TTextPos* xs,
                   TTextPos count) override {
        for (TTextPos i = 0; i < count; ++i) DrawnChars.push_back({device, xs[i], y, codes[i]});
    }
    void FillBackground(TTextPos left, TTextPos top, TTextPos right, TTextPos bottom) override {
        Filled.push_back({left, top, right, bottom});
    }

    struct TGlyph {
        TOutputDevice Device;
        TTextPos X, Y;
        unsigned char Byte;
    };
    struct TCharGlyph {
        TOutputDevice Device;
        TTextPos X, Y;
        char32_t Code;
    };
    TFontMetrics Screen, Printer;
    bool HasFont = true;
    bool HasPrinter = false;
    int MetricReads = 0;
    std::vector<TGlyph> Drawn;
    std::vector<TCharGlyph> DrawnChars;
    std::map<char32_t, TTextPos> CharWidths;
    bool Varied = false;
    std::vector<std::vector<TTextPos>> Filled;
};
