#include "text/TextWriter.h"

#include <algorithm>
#include <numeric>

#include "text/EditStream.h"

namespace {
constexpr TTextPos kFlushSize = 1 << 20;
} // namespace

bool TTextWriter::Write(TStream& dest) {
    if (m_Mode == TSaveMode::smParagraph) {
        m_Text.CopyTo(dest, 0, m_Text.TextSize());
        return true;
    }
    return WriteLines(dest);
}

bool TTextWriter::WriteLines(TStream& dest) {
    // Positions are moved in ascending order as the lines holding them are written.
    std::vector<size_t> order(Positions.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [this](size_t a, size_t b) { return Positions[a] < Positions[b]; });
    auto nextPosition = order.begin();

    std::vector<unsigned char> out;
    out.reserve(static_cast<size_t>(kFlushSize) + 4096);
    const TTextPos size = m_Text.TextSize();
    const std::string_view lineBreak = m_Text.LineBreakBytes();
    TTextPos written = 0;
    long lines = 0;
    for (TTextPos pos = 0; pos < size;) {
        const TTextPos start = pos;
        TTextPos width = 0, count = 0;
        const bool ended = m_Text.NextLineEnd(pos, width, count);
        const TTextPos lineStart = written + static_cast<TTextPos>(out.size());
        // A line's own break (LF, CR LF or a page break's FF) is written as it is; a line that ends
        // without one gets the document's line break.
        const TTextPos own = ended ? pos - start : count;
        const size_t at = out.size();
        out.resize(at + static_cast<size_t>(own));
        m_Text.CopyToBuffer(out.data() + at, start, own);
        if (ended && own == count) out.insert(out.end(), lineBreak.begin(), lineBreak.end());
        for (; nextPosition != order.end() && Positions[*nextPosition] < pos; ++nextPosition)
            Positions[*nextPosition] = lineStart + std::min(Positions[*nextPosition] - start, count);
        if (static_cast<TTextPos>(out.size()) >= kFlushSize) {
            dest.Write(out.data(), static_cast<TTextPos>(out.size()));
            written += static_cast<TTextPos>(out.size());
            out.clear();
        }
        if (++lines % 100 == 0 && OnProgress && OnProgress(pos, size)) return false;
    }
    dest.Write(out.data(), static_cast<TTextPos>(out.size()));
    written += static_cast<TTextPos>(out.size());
    for (; nextPosition != order.end(); ++nextPosition) Positions[*nextPosition] = written;
    return true;
}
