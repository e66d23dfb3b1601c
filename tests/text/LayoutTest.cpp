#include <gtest/gtest.h>
#include <random>
#include <tuple>

#include "ErrorOf.h"
#include "FixedCanvas.h"
#include "LaidOutLines.h"
#include "TestFiles.h"
#include "text/Exceptions.h"

namespace {

struct Layout {
    explicit Layout(const std::string& bytes, TTextPos maxChars = 0, TTextPos blockSize = 4096,
                    TFixedCanvas c = TFixedCanvas(8))
        : canvas(std::move(c)), text(TextOver(bytes, blockSize)) {
        text->SetCanvas(&canvas);
        text->SetMaxWidth(maxChars * 8);
    }
    TFixedCanvas canvas;
    std::unique_ptr<TTextStream> text;
};

using TLines = std::vector<TLine>;

// The display lines of `bytes` wrapped at `maxChars` characters (0: not wrapped).
TLines Laid(const std::string& bytes, TTextPos maxChars = 0) {
    return Lines(*Layout(bytes, maxChars).text);
}

TEST(Layout, HardBreaks) {
    EXPECT_EQ(Laid("ab\r\ncd"), (TLines{{0, 2, 16, true}, {4, 2, 16, false}}));
    // The first block ends between CR and LF: they still make one break.
    EXPECT_EQ(Laid(std::string(4095, 'a') + "\r\nb"),
              (TLines{{0, 4095, 4095 * 8, true}, {4097, 1, 8, false}}));
    EXPECT_EQ(Laid("a\rb\n"), (TLines{{0, 3, 24, true}}));
    // A page break after text starts a line of its own; one at a line's start is that line.
    const TLines pageLines{{0, 2, 16, true}, {2, 0, 0, true}, {3, 2, 16, true},
                           {6, 0, 0, true},  {7, 0, 0, true}, {8, 1, 8, false}};
    EXPECT_EQ(Laid("ab\fcd\n\f\fe"), pageLines);
}

TEST(Layout, WrapsAfterSpacesAndHyphensOrCutsLongWords) {
    EXPECT_EQ(Laid("abc def", 5), (TLines{{0, 4, 32, true}, {4, 3, 24, false}}));
    EXPECT_EQ(Laid("abcdefghijkl", 5), (TLines{{0, 5, 40, true}, {5, 5, 40, true}, {10, 2, 16, false}}));
    EXPECT_EQ(Laid("well-known fact", 7), (TLines{{0, 5, 40, true}, {5, 6, 48, true}, {11, 4, 32, false}}));
    EXPECT_EQ(Laid("abc        \nx", 5), (TLines{{0, 11, 88, true}, {12, 1, 8, false}}));
    Layout huge("abcdefghijklmnopqrstuvwxy\nz", 0);
    huge.text->SetMaxLineBytes(10); // however wide the window, no line is longer than this
    EXPECT_EQ(Lines(*huge.text),
              (TLines{{0, 10, 80, true}, {10, 10, 80, true}, {20, 5, 40, true}, {26, 1, 8, false}}));
    Layout narrow("abc", 0);
    narrow.text->SetMaxWidth(3); // narrower than any character: each line still takes one
    EXPECT_EQ(Lines(*narrow.text).size(), 3u);
}

TEST(Layout, TabsFollowExplicitStopsThenTheDefaultSpacing) {
    EXPECT_EQ(Laid("\tx"), (TLines{{0, 2, 64 + 8, false}}));

    Layout stops("\t\t\tx\ty");
    stops.text->SetNumTabStops(2);
    stops.text->SetTabStop(0, 1.0f); // 96 pixels
    stops.text->SetTabStop(1, 2.0f); // 192 pixels
    EXPECT_EQ(stops.text->MeasureWidth(0, 1), 96);
    EXPECT_EQ(stops.text->MeasureWidth(0, 2), 192);
    EXPECT_EQ(stops.text->MeasureWidth(0, 3), 256);
    EXPECT_EQ(stops.text->MeasureWidth(0, 6), 320 + 8);
    EXPECT_FLOAT_EQ(stops.text->GetTabStop(1), 2.0f);
    EXPECT_THROW(stops.text->GetTabStop(2), ERangeError);
    EXPECT_EQ(ErrorOf<ERangeError>([&] { stops.text->SetTabStop(16, 1.0f); }),
              "Invalid access to tab stop array - index greater than MaxTabStops");
}

TEST(Layout, PositionsAndWidthsWithinALine) {
    Layout text("abcdef\nxy");
    // From `pos` on, the place `x` pixels in, its width, and whether a line break stopped it there.
    auto at = [&text](TTextPos pos, TTextPos x) {
        TTextPos width = 0;
        const bool broken = text.text->PosFromX(pos, x, width);
        return std::tuple<TTextPos, TTextPos, bool>{pos, width, broken};
    };
    EXPECT_EQ(at(0, 7), std::tuple(0, 0, true)) << "inside the first character";
    EXPECT_EQ(at(0, 30), std::tuple(3, 24, true));
    EXPECT_EQ(at(0, 1000), std::tuple(6, 48, true)) << "stopped by the line break";
    EXPECT_EQ(at(7, 1000), std::tuple(9, 16, false)) << "stopped by the end of the text";

    EXPECT_EQ(text.text->MeasureWidth(2, 100), 32) << "stops at the line break";
    EXPECT_EQ(text.text->MeasureWidth(5, 2), 0);
    EXPECT_EQ(text.text->GetText(7, 100), "xy");
}

TEST(Layout, MetricsComeFromTheCanvasAndFollowItsFont) {
    auto text = TextOver("abc");
    TTextPos pos = 0, width = 0, count = 0;
    EXPECT_EQ(ErrorOf<EFontInfoError>([&] { text->NextLineEnd(pos, width, count); }),
              "Unable to access Font Information when required");
    EXPECT_EQ(text->ByteWidth('a'), 1);
    EXPECT_THROW(text->ScreenAvgCharWidth(), EInternalError);

    TFixedCanvas canvas(8);
    text->SetCanvas(&canvas);
    EXPECT_EQ(text->MeasureWidth(0, 3), 24);
    canvas.Screen.Widths.fill(5);
    EXPECT_EQ(text->MeasureWidth(0, 3), 24) << "metrics are kept until the font changes";
    canvas.OnFontChange();
    EXPECT_EQ(text->MeasureWidth(0, 3), 15);
    EXPECT_THROW(text->PrinterAvgCharWidth(), EInternalError) << "no printer";
    EXPECT_EQ(text->LayoutAvgCharWidth(), 8) << "no printer: layout uses the screen";
}

TEST(Layout, PrinterLayoutWrapsInPrinterPixelsAndReportsScreenWidths) {
    Layout layout("aaaa bbbb cccc", 0, 4096, TFixedCanvas(8, 50));
    layout.text->SetMode(TlbModes::lbPrinter);
    layout.text->SetMaxWidth(50 * 10); // ten characters on the printer
    EXPECT_EQ(Lines(*layout.text), (TLines{{0, 10, 80, true}, {10, 4, 32, false}}));
    EXPECT_EQ(layout.text->PrinterAvgCharWidth(), 50);
    EXPECT_EQ(layout.text->LayoutAvgCharWidth(), 50);
}

TEST(Layout, PrintingTextLaidOutForTheScreenMeasuresTabsOnThePrinter) {
    // 50 printer pixels a character, tab stops every 400: "a", a tab to 400, "b" ends at 450.
    Layout layout("a\tbcdefgh", 0, 4096, TFixedCanvas(8, 50));
    layout.text->SetOutputDevice(TOutputDevice::odPrinter);
    layout.text->SetMaxWidth(450);
    EXPECT_EQ(Lines(*layout.text), (std::vector<TLine>{{0, 3, 72, true}, {3, 6, 48, false}}));
}

TEST(Layout, DrawingPlacesGlyphsWhereLayoutMeasuredThem) {
    Layout layout("a\tb\tc", 0, 16);
    layout.text->DrawRun(100, 5, 80, 5, 0);
    ASSERT_EQ(layout.canvas.Drawn.size(), 3u) << "tabs are not drawn";
    EXPECT_EQ(layout.canvas.Drawn[0].X, 100);
    EXPECT_EQ(layout.canvas.Drawn[1].X, 80 + 64) << "tabs count from the tab origin";
    EXPECT_EQ(layout.canvas.Drawn[2].X, 80 + 128);
    EXPECT_EQ(layout.canvas.Drawn[2].Y, 5);

    layout.canvas.Drawn.clear();
    layout.text->DrawRunBuffered(100, 5, 400, 3, 0);
    EXPECT_EQ(layout.canvas.Filled, (std::vector<std::vector<TTextPos>>{{100, 5, 400, 21}}));
    EXPECT_EQ(layout.canvas.Drawn[1].X, 100 + 64);
}

// The start of the line before a position: a line start gives the line before it, and a page break ends
// its line but is no starting point.
TEST(Layout, FindLineStartMatchesAPlainScanAtEveryPosition) {
    std::mt19937 random(11);
    const std::string alphabet = "ab\r\n\f";
    std::string bytes(700, ' ');
    for (char& c : bytes)
        c = alphabet[random() % alphabet.size()];
    auto text = TextOver(bytes, 16);
    for (TTextPos pos = 0; pos <= 702; ++pos) {
        TTextPos q = std::min<TTextPos>(pos, 700) - 1;
        if (q >= 0 && (bytes[q] == '\n' || bytes[q] == '\f') && --q >= 0 && bytes[q] == '\r') --q;
        const TTextPos expected = q < 0 ? 0 : static_cast<TTextPos>(bytes.rfind('\n', q) + 1);
        TTextPos got = pos;
        text->FindLineStart(got);
        ASSERT_EQ(got, pos == 0 ? 0 : expected) << "at " << pos;
    }
}

} // namespace
