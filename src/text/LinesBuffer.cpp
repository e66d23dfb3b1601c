#include "text/LinesBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "text/Exceptions.h"
#include "text/Utf8.h"

namespace {

constexpr unsigned char LF = 10;
constexpr unsigned char FF = 12;
constexpr unsigned char CR = 13;
constexpr unsigned char TAB = 9;

// Keeps a device's metrics usable whatever the platform reported, and notes a fixed-pitch font.
void Normalise(TFontMetrics& m, TTextPos& uniform, TTextPos& widest) {
    for (TTextPos& w : m.Widths) w = std::max<TTextPos>(w, 0);
    m.AvgCharWidth = std::max<TTextPos>(m.AvgCharWidth, 1);
    if (m.TabWidth < 1) m.TabWidth = 8 * m.AvgCharWidth;
    if (m.PixelsPerInch <= 0) m.PixelsPerInch = 96;
    // Tab, line feed, form feed and carriage return are measured on their own.
    uniform = UniformWidth(m);
    widest = 0;
    for (int c = 0; c < 256; ++c)
        if (c != TAB && c != LF && c != FF && c != CR) widest = std::max(widest, m.Widths[c]);
}

const char* const kTabStopRange = "Invalid access to tab stop array - index greater than MaxTabStops";

} // namespace

void TLinesBuffer::SetCanvas(TCanvas* canvas) {
    if (m_Canvas) m_Canvas->OnFontChange = nullptr;
    m_Canvas = canvas;
    m_Valid = canvas ? vCanvas : 0;
    if (canvas) canvas->OnFontChange = [this] { InvalidateMetrics(); };
}

void TLinesBuffer::SetMode(TlbModes mode) {
    m_Mode = mode;
    InvalidateMetrics();
}

void TLinesBuffer::SetOutputDevice(TOutputDevice device) {
    m_OutputDevice = device;
    InvalidateMetrics();
}

void TLinesBuffer::SetNumTabStops(int count) {
    m_NumTabStops = std::clamp(count, 0, MaxTabStops);
    m_Valid &= ~vTabs;
}

void TLinesBuffer::SetTabStop(int index, float inches) {
    if (index < 0 || index >= MaxTabStops) throw ERangeError(kTabStopRange);
    m_TabStops[index] = inches;
    m_Valid &= ~vTabs;
}

float TLinesBuffer::GetTabStop(int index) const {
    if (index < 0 || index >= m_NumTabStops) throw ERangeError(kTabStopRange);
    return m_TabStops[index];
}

void TLinesBuffer::LoadCodeWidths(TDevice& device, TOutputDevice kind) {
    device.Codes.Reset(device.UniformWidth, device.WidestByte, device.Metrics.Widths.data(),
                       [canvas = m_Canvas, kind](char32_t code) { return canvas->CharWidth(kind, code); });
}

bool TLinesBuffer::LoadPrinter() {
    m_Printer.Loaded = m_Canvas->GetPrinterMetrics(m_Printer.Metrics);
    if (m_Printer.Loaded) {
        Normalise(m_Printer.Metrics, m_Printer.UniformWidth, m_Printer.WidestByte);
        LoadCodeWidths(m_Printer, TOutputDevice::odPrinter);
    }
    return m_Printer.Loaded;
}

bool TLinesBuffer::EnsureMetrics(int need) {
    if (need & vTabs) need |= vWidths;
    const int missing = need & ~m_Valid;
    if (!missing) return true;
    if (missing & vCanvas) return false;
    if (missing & vWidths) {
        if (!m_Canvas->GetScreenMetrics(m_Screen.Metrics)) return false;
        Normalise(m_Screen.Metrics, m_Screen.UniformWidth, m_Screen.WidestByte);
        LoadCodeWidths(m_Screen, TOutputDevice::odDisplay);
        m_Screen.Loaded = true;
        m_Printer.Loaded = false;
        const bool printing = m_Mode == TlbModes::lbPrinter || m_OutputDevice == TOutputDevice::odPrinter;
        m_LayoutOnPrinter = printing && LoadPrinter();
        m_Valid |= vWidths;
    }
    if (missing & vTabs) {
        for (TDevice* device : {&m_Screen, &m_Printer})
            for (int i = 0; i < m_NumTabStops; ++i)
                device->TabStops[i] = std::lround(m_TabStops[i] * device->Metrics.PixelsPerInch);
        // Tab stops in the widths' own pixels: a text printed as laid out for the screen is measured
        // with the printer's widths, and so with its tab stops.
        m_LayoutTabsOnPrinter = m_LayoutOnPrinter;
        m_Valid |= vTabs;
    }
    return true;
}

void TLinesBuffer::RequireMetricsSlow() {
    if (!EnsureMetrics(vAll)) throw EFontInfoError("Unable to access Font Information when required");
}

TTextPos TLinesBuffer::ScreenAvgCharWidth() {
    if (!EnsureMetrics(vCanvas | vWidths)) throw EInternalError("Average Char Width not available");
    return m_Screen.Metrics.AvgCharWidth;
}

TTextPos TLinesBuffer::PrinterAvgCharWidth() {
    if (!EnsureMetrics(vCanvas | vWidths) || (!m_Printer.Loaded && !LoadPrinter()))
        throw EInternalError("The Printer's Average Char Width is not available");
    return m_Printer.Metrics.AvgCharWidth;
}

TTextPos TLinesBuffer::LayoutAvgCharWidth() {
    if (!EnsureMetrics(vCanvas | vWidths)) throw EInternalError("Actual Char Width not available");
    return (m_LayoutOnPrinter ? m_Printer : m_Screen).Metrics.AvgCharWidth;
}

TTextPos TLinesBuffer::FontHeight() {
    RequireMetrics();
    return m_Screen.Metrics.Height;
}

TTextPos TLinesBuffer::MaxCharWidth() {
    RequireMetrics();
    return m_Screen.Metrics.MaxCharWidth;
}

TTextPos TLinesBuffer::ByteWidth(unsigned char c) {
    if (!EnsureMetrics(vCanvas | vWidths)) return 1;
    return std::max<TTextPos>(m_Screen.Metrics.Widths[c], 1);
}

TLayoutTables TLinesBuffer::Tables(const TDevice& widths, const TDevice& tabs) const {
    return {widths.Metrics.Widths.data(), tabs.TabStops,       m_NumTabStops,
            tabs.Metrics.TabWidth,        widths.UniformWidth, widths.WidestByte,
            CharSet() == TCharSets::csUtf8 ? &widths.Codes : nullptr};
}

TLayoutTables TLinesBuffer::LayoutTables() const {
    return Tables(m_LayoutOnPrinter ? m_Printer : m_Screen, m_LayoutTabsOnPrinter ? m_Printer : m_Screen);
}

bool TLinesBuffer::MeasureText(TTextPos& pos, TTextPos& end, bool cut, TRunState& state,
                               const TLayoutTables& tables, bool wrapAtSpaces, TTextPos limit) {
    const TTextPos start = pos;
    bool snapped = !cut;
    while (pos < end) {
        TTextPos n = 0;
        const unsigned char* p = m_Window.At(pos, n, 8);
        SnapCut(start, pos, n, end, snapped);
        n = std::min(n, end - pos);
        // A CR LF pair, and a UTF-8 sequence, are measured whole: a CR or the part of a sequence that
        // ends the bytes at hand waits for the next ones, unless the measurement ends after it.
        if (pos + n < end) {
            if (tables.Codes) n = Utf8WholeLength(p, n);
            if (p[n - 1] == CR) --n;
        }
        TTextPos next = pos;
        const TRunEnd result = MeasureRun(p, n, pos, state, tables, wrapAtSpaces, limit, next);
        pos = next;
        if (result == TRunEnd::LineEnded) return true;
    }
    return false;
}

bool TLinesBuffer::NextLineEnd(TTextPos& pos, TTextPos& width, TTextPos& count) {
    width = count = 0;
    if (pos >= m_TextSize) return false;
    RequireMetrics();
    return LayOutLine(pos, width, count, LayoutTables());
}

bool TLinesBuffer::LayOutLine(TTextPos& pos, TTextPos& width, TTextPos& count, const TLayoutTables& tables) {
    const TTextPos start = pos;
    TCutLine line;
    if (m_FastLayout && tables.UniformWidth > 0 && UniformLine(start, tables, line)) {
        pos = line.Next;
        count = line.Count;
        width = ScreenWidth(start, line);
        return line.Ended;
    }
    TRunState state;
    state.BreakPos = start;
    // A line longer than MaxLineBytes is cut there, so that no single line takes long to lay out.
    TTextPos end = LineCut(start);
    const bool ended = MeasureText(pos, end, true, state, tables, true, m_MaxWidth) || end < m_TextSize;
    count = state.Count;
    width = m_LayoutOnPrinter ? MeasureWidth(start, start + count) : state.Width;
    return ended;
}

TTextPos TLinesBuffer::CutAtChar(TTextPos start, TTextPos cut) {
    if (CharSet() != TCharSets::csUtf8) return cut;
    const TTextPos charStart = CharStart(cut);
    return charStart > start ? charStart : CharAfter(charStart);
}

void TLinesBuffer::FindLineStart(TTextPos& pos) {
    if (pos <= 0) return;
    TTextPos q = std::min(pos, m_TextSize) - 1;
    // Step over the break that ends at the position: the line it ends is the one wanted.
    if (const unsigned char c = ByteAt(q); c == LF || c == FF) {
        --q;
        if (q >= 0 && ByteAt(q) == CR) --q;
    }
    while (q >= 0) {
        const unsigned char* p = GetCharPtr(q);
        const TTextPos n = p - BlockFirst() + 1;
        if (const void* lf = ::memrchr(BlockFirst(), LF, static_cast<size_t>(n))) {
            pos = q - (p - static_cast<const unsigned char*>(lf)) + 1;
            return;
        }
        q -= n;
    }
    pos = 0;
}

bool TLinesBuffer::PosFromX(TTextPos& pos, TTextPos x, TTextPos& width) {
    width = 0;
    if (x <= 0) return true;
    RequireMetrics();
    const TTextPos start = pos;
    TRunState state;
    TTextPos end = m_TextSize;
    const bool ended = MeasureText(pos, end, false, state, ScreenTables(), false, x);
    pos = start + state.Count;
    width = state.Width;
    return ended;
}

TTextPos TLinesBuffer::MeasureWidth(TTextPos from, TTextPos to) {
    to = std::min(to, m_TextSize);
    from = std::max<TTextPos>(from, 0);
    if (from >= to) return 0;
    RequireMetrics();
    TRunState state;
    MeasureText(from, to, false, state, ScreenTables(), false, 0);
    return state.Width;
}

TTextPos TLinesBuffer::WrapBytes(const unsigned char* bytes, TTextPos count, bool& atBreak) {
    atBreak = false;
    if (m_MaxWidth <= 0 || count <= 0) return count;
    RequireMetrics();
    TRunState state;
    TTextPos next = count;
    if (MeasureRun(bytes, count, 0, state, LayoutTables(), true, m_MaxWidth, next) == TRunEnd::Exhausted)
        return count;
    atBreak = state.BreakCount > 0;
    return next;
}

TTextPos TLinesBuffer::LayoutWidth(std::string_view bytes) {
    if (bytes.empty()) return 0;
    RequireMetrics();
    TRunState state;
    TTextPos next = 0;
    MeasureRun(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<TTextPos>(bytes.size()), 0,
               state, LayoutTables(), false, 0, next);
    return state.Width;
}

std::string TLinesBuffer::GetText(TTextPos pos, TTextPos count) {
    pos = std::max<TTextPos>(pos, 0);
    std::string text(static_cast<size_t>(std::clamp<TTextPos>(m_TextSize - pos, 0, std::max<TTextPos>(count, 0))), '\0');
    CopyToBuffer(reinterpret_cast<unsigned char*>(text.data()), pos, static_cast<TTextPos>(text.size()));
    return text;
}

void TLinesBuffer::DrawRun(TTextPos x, TTextPos y, TTextPos tabOrigin, TTextPos count, TTextPos pos) {
    DrawRunOn(m_OutputDevice, x, y, tabOrigin, count, pos);
}

void TLinesBuffer::DrawRunBuffered(TTextPos x, TTextPos y, TTextPos right, TTextPos count, TTextPos pos) {
    RequireMetrics();
    m_Canvas->FillBackground(x, y, right, y + m_Screen.Metrics.Height);
    DrawRunOn(TOutputDevice::odDisplay, x, y, x, count, pos);
}

void TLinesBuffer::DrawRunOn(TOutputDevice device, TTextPos x, TTextPos y, TTextPos tabOrigin, TTextPos count,
                             TTextPos pos) {
    RequireMetrics();
    const bool printer = device == TOutputDevice::odPrinter && m_Printer.Loaded;
    const TLayoutTables tables = printer ? Tables(m_Printer, m_Printer) : ScreenTables();
    TRunState state;
    state.Width = x - tabOrigin;
    std::vector<char32_t> codes;
    std::vector<TTextPos> xs;
    count = std::min(count, m_TextSize - pos);
    while (count > 0) {
        TTextPos n = 0;
        const unsigned char* p = m_Window.At(pos, n, 8);
        n = std::min(n, count);
        if (tables.Codes && n < count) n = Utf8WholeLength(p, n);
        codes.clear();
        xs.clear();
        for (TTextPos i = 0; i < n;) {
            if (p[i] == TAB) {
                state.Width = NextTabStop(tables, state);
                ++i;
                continue;
            }
            xs.push_back(tabOrigin + state.Width);
            if (p[i] < 0x80 || !tables.Codes) {
                codes.push_back(p[i]);
                state.Width += tables.Widths[p[i++]];
                continue;
            }
            const TUtf8Char c = DecodeUtf8(p + i, p + n);
            codes.push_back(c.Code);
            state.Width += tables.Codes->Width(c.Code);
            i += c.Length;
        }
        DrawCodes(device, y, codes, xs, tables.Codes != nullptr);
        pos += n;
        count -= n;
    }
}

void TLinesBuffer::DrawCodes(TOutputDevice device, TTextPos y, const std::vector<char32_t>& codes,
                             const std::vector<TTextPos>& xs, bool utf8) {
    const auto count = static_cast<TTextPos>(codes.size());
    if (utf8) {
        m_Canvas->DrawChars(device, y, codes.data(), xs.data(), count);
        return;
    }
    const std::vector<unsigned char> bytes(codes.begin(), codes.end()); // Windows-1252 bytes, as they are
    m_Canvas->DrawBytes(device, y, bytes.data(), xs.data(), count);
}
