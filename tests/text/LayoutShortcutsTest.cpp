// The layout shortcuts (fixed-pitch arithmetic, lines counted by their line breaks, runs of one byte)
// against measuring every byte, on the same texts in both character sets, in every wrap mode, with the
// cut of long lines, and with windows and cache blocks small enough that CR LF pairs, UTF-8 sequences,
// runs and lines straddle their edges.

#include <gtest/gtest.h>
#include <random>

#include "FixedCanvas.h"
#include "LaidOutLines.h"
#include "TestFiles.h"

namespace {

// A proportional font on the screen and another on a printer at 600 pixels per inch.
TFixedCanvas ProportionalWithPrinter() {
    TFixedCanvas canvas = TFixedCanvas::Proportional();
    canvas.Printer = canvas.Screen;
    for (TTextPos& w : canvas.Printer.Widths)
        w *= 6;
    canvas.Printer.Widths['i'] = 19;
    canvas.Printer.AvgCharWidth *= 6;
    canvas.Printer.TabWidth *= 6;
    canvas.Printer.PixelsPerInch = 600;
    canvas.HasPrinter = true;
    return canvas;
}

// How a text is laid out: the font, whether on the printer, the wrap width in average characters and
// the cut.
struct TSetting {
    int Canvas;     // 0 fixed pitch, 1 proportional, 2 fixed pitch on a printer, 3 proportional on one
    TTextPos Chars; // 0: no wrapping
    TTextPos Cut;
    TCharSets Set = TCharSets::csWindows1252;
};

struct TModel {
    TModel(const std::string& bytes, const TSetting& s, bool fast, TTextPos block, TTextPos readAhead)
        : canvas(s.Canvas == 0   ? TFixedCanvas(8)
                 : s.Canvas == 1 ? TFixedCanvas::Proportional()
                 : s.Canvas == 2 ? TFixedCanvas(8, 50)
                                 : ProportionalWithPrinter()),
          text(TextOver(bytes, block)) {
        text->SetCanvas(&canvas);
        text->SetCharSet(s.Set);
        text->SetFastLayout(fast);
        text->SetReadAheadSize(readAhead);
        text->SetMaxLineBytes(s.Cut);
        if (s.Canvas >= 2) text->SetMode(TlbModes::lbPrinter);
        text->SetMaxWidth(s.Chars * text->LayoutAvgCharWidth());
    }
    TFixedCanvas canvas;
    std::unique_ptr<TTextStream> text;
};

std::string RandomText(std::mt19937& random, size_t pieces) {
    static const std::vector<std::string> kPieces = {
        "a",   "aaaa",        "bb",    "WWW",  "iii",  "x",  " ",  "  ",   "-",
        "\t",  "\n",          "\n",    "\r\n", "\r\n", "\r", "\f", "\x01", "MMMMMMMMMMMMMMMMMMMM",
        "- -", "well-known ", "word ", "\n\f", "\f\f",
        // UTF-8: two-, three- and four-byte characters, wide ones, and invalid bytes (a stray
        // continuation, a cut sequence, an overlong form, a surrogate, a byte no sequence starts with)
        "\xC3\xA9", "\xD0\x96\xD0\xB8\xD0\xB2", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "\xE2\x82\xAC",
        "\xF0\x9F\x98\x80", "\x80", "\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xFF", "\xC3\xA9-\xE6\x97\xA5 "};
    std::string text;
    for (size_t i = 0; i < pieces; ++i) {
        if (random() % 40 == 0) { // a long run: zeros, or one letter repeated
            text.append(random() % 700 + 1, random() % 3 ? '\0' : 'q');
            continue;
        }
        text += kPieces[random() % kPieces.size()];
    }
    return text;
}

TSetting RandomSetting(std::mt19937& random) {
    return {static_cast<int>(random() % 4), std::vector<TTextPos>{0, 0, 1, 3, 7, 13, 40, 300}[random() % 8],
            std::vector<TTextPos>{1 << 20, 1 << 20, 9, 33, 200}[random() % 5],
            random() % 2 ? TCharSets::csUtf8 : TCharSets::csWindows1252};
}

// What NextLineEnds must do from line `first`, by the lines NextLineEnd laid out.
TTextPos ExpectedRun(const std::vector<TLine>& lines, const std::string& bytes, size_t first, TTextPos stop,
                     TTextPos maxLines, TTextPos& maxWidth, TTextPos& pos) {
    const auto size = static_cast<TTextPos>(bytes.size());
    size_t j = first;
    while (static_cast<TTextPos>(j - first) < maxLines && lines[j].Start < stop) {
        const TTextPos next = j + 1 < lines.size() ? lines[j + 1].Start : size;
        if (!lines[j].Ended || next >= size) break;
        maxWidth = std::max(maxWidth, lines[j].Width);
        ++j;
        if (bytes[static_cast<size_t>(next)] == '\f') break;
    }
    pos = lines[j].Start;
    return static_cast<TTextPos>(j - first);
}

TEST(LayoutShortcuts, AgreeWithMeasuringEveryByte) {
    std::mt19937 random(2024);
    for (int round = 0; round < 3000; ++round) {
        const std::string bytes = RandomText(random, random() % 120 + 1);
        const TSetting setting = RandomSetting(random);
        SCOPED_TRACE("round " + std::to_string(round) + ", canvas " + std::to_string(setting.Canvas) + ", " +
                     std::to_string(setting.Chars) + " characters, cut " + std::to_string(setting.Cut) +
                     (setting.Set == TCharSets::csUtf8 ? ", UTF-8" : ""));
        TModel reference(bytes, setting, false, 4096, TTextWindow::DefaultMaxSize);
        const auto expected = Lines(*reference.text);
        const TTextPos block = random() % 2 ? 16 : 4096;
        const TTextPos readAhead =
            std::vector<TTextPos>{16, 17, 64, TTextWindow::DefaultMaxSize}[random() % 4];
        TModel fast(bytes, setting, true, block, readAhead);
        ASSERT_EQ(Lines(*fast.text), expected) << "read ahead " << readAhead;

        // Many lines at once, from random lines, to random stops.
        for (int run = 0; run < 8; ++run) {
            const size_t first = random() % expected.size();
            const TTextPos stop =
                expected[first].Start + static_cast<TTextPos>(random() % (bytes.size() + 2));
            const TTextPos maxLines = random() % 3 ? static_cast<TTextPos>(random() % 20 + 1) : 1 << 30;
            const TTextPos startWidth = std::vector<TTextPos>{0, 0, 60, 1 << 30}[random() % 4];
            TTextPos expectedWidth = startWidth, expectedPos = 0;
            const TTextPos count =
                ExpectedRun(expected, bytes, first, stop, maxLines, expectedWidth, expectedPos);
            TTextPos pos = expected[first].Start, width = startWidth;
            ASSERT_EQ(fast.text->NextLineEnds(pos, stop, maxLines, width), count)
                << "from line " << first << " to " << stop << ", at most " << maxLines;
            ASSERT_EQ(pos, expectedPos);
            ASSERT_EQ(width, expectedWidth);
        }
    }
}

// Lines cut at 1 MiB, and a run of zeros too long for one window, wrapped and not.
TEST(LayoutShortcuts, LongRunsOfZerosAndTheMebibyteCut) {
    const std::string bytes = "head line\n" + std::string((5 << 19) + 3, '\0') + "\r\ntail of it\n" +
                              std::string(1 << 20, 'z') + "\n";
    for (int canvas : {0, 1}) {
        for (TTextPos chars : {0, 100}) {
            const TSetting setting{canvas, chars, 1 << 20};
            SCOPED_TRACE("canvas " + std::to_string(canvas) + ", " + std::to_string(chars) + " characters");
            TModel reference(bytes, setting, false, 4096, TTextWindow::DefaultMaxSize);
            TModel fast(bytes, setting, true, 4096, TTextWindow::DefaultMaxSize);
            const auto expected = Lines(*reference.text);
            ASSERT_EQ(Lines(*fast.text), expected);
            TTextPos pos = 0, width = 0, lines = 0;
            while (const TTextPos n = fast.text->NextLineEnds(pos, 1 << 30, 1 << 30, width))
                lines += n;
            EXPECT_EQ(lines, static_cast<TTextPos>(expected.size()) - 1) << "all but the last";
            TTextPos widest = 0;
            for (const TLine& line : expected)
                widest = std::max(widest, line.Width);
            EXPECT_EQ(width, widest);
        }
    }
}

// Layout reads ahead past the cache: edits still pending in the cache (typing, deleting, overwriting)
// and undo are all seen at once.
TEST(LayoutShortcuts, ReadAheadSeesEveryChange) {
    TFixedCanvas canvas(8);
    auto text =
        EditOver(std::string(300, 'a') + "\n" + std::string(5000, 'b') + "\n" + std::string(300, 'c'), 64);
    text->SetCanvas(&canvas);
    auto check = [&text](const char* step) {
        std::vector<TTextPos> laidOut, expected;
        for (TTextPos pos = 0; pos < text->TextSize();) {
            TTextPos width = 0, count = 0;
            text->NextLineEnd(pos, width, count);
            laidOut.push_back(pos);
        }
        const std::string bytes = text->GetText(0, text->TextSize()); // through the cache
        for (size_t i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\n' || i + 1 == bytes.size()) expected.push_back(static_cast<TTextPos>(i + 1));
        EXPECT_EQ(laidOut, expected) << step;
    };
    check("as opened");
    text->InsertString("x\ny", 10);
    check("typed");
    text->InsertString("\n", 11);
    check("typed on");
    text->Delete(12, 1);
    check("deleted");
    text->Overwrite(3000, '\n');
    check("overwritten");
    text->Overwrite(3001, '\n');
    check("overwritten on");
    text->Delete(5001, 3);
    check("deleted far off");
    text->Undo();
    check("undone");
    text->Redo();
    check("redone");
}

} // namespace
