#include "text/CodeWidths.h"

#include <algorithm>
#include <iterator>
#include <vector>

bool IsWideChar(char32_t c) {
    // East Asian Wide (W) and Fullwidth (F) ranges, as terminals count them.
    static constexpr char32_t kRanges[][2] = {
        {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
        {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
        {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
        {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
        {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
        {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
        {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
        {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
        {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
        {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
        {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
        {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4},
        {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF}, {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF},
        {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251}, {0x1F300, 0x1F64F},
        {0x1F680, 0x1F6FF}, {0x1F900, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD},
        {0x30000, 0x3FFFD},
    };
    if (c < kRanges[0][0]) return false;
    const auto* range = std::upper_bound(std::begin(kRanges), std::end(kRanges), c,
                                         [](char32_t value, const char32_t(&r)[2]) { return value < r[0]; });
    return (*std::prev(range))[1] >= c;
}

namespace {

constexpr std::size_t kPlane = 0x10000;

const std::int16_t* UnknownPlane() {
    static const std::vector<std::int16_t> unknown(kPlane, -1);
    return unknown.data();
}

} // namespace

TCodeWidths::TCodeWidths() : m_Plane(UnknownPlane()) {}

void TCodeWidths::Reset(TTextPos cell, TTextPos widestByte, const TTextPos* byteWidths, TMeasure measure) {
    m_Cell = cell;
    m_WidestByte = widestByte;
    m_AsciiWidths.fill(0);
    for (int c = 0; c < 0x80 && byteWidths; ++c) m_AsciiWidths[static_cast<size_t>(c)] = byteWidths[c];
    m_Measure = std::move(measure);
    m_Plane = UnknownPlane();
    m_OwnPlane.reset();
    m_Beyond.clear();
}

TTextPos TCodeWidths::Compute(char32_t code) const {
    if (m_Cell > 0) return IsWideChar(code) ? 2 * m_Cell : m_Cell;
    // The replacement mark stands for a single invalid byte as well as for itself.
    const TTextPos bytes = code == 0xFFFD ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    return std::clamp<TTextPos>(m_Measure ? m_Measure(code) : 0, 0, std::min<TTextPos>(bytes * m_WidestByte, 0x7FFF));
}

TTextPos TCodeWidths::Find(char32_t code) {
    if (code > 0xFFFF) {
        auto [at, added] = m_Beyond.try_emplace(code, 0);
        if (added) at->second = Compute(code);
        return at->second;
    }
    if (!m_OwnPlane) {
        m_OwnPlane = std::make_unique<std::int16_t[]>(kPlane);
        std::copy(m_Plane, m_Plane + kPlane, m_OwnPlane.get());
        m_Plane = m_OwnPlane.get();
    }
    const TTextPos w = Compute(code);
    m_OwnPlane[code] = static_cast<std::int16_t>(w);
    return w;
}
