#pragma once

#include <ostream>
#include <stdexcept>
#include <vector>

#include "text/LinesBuffer.h"

// A display line as layout gives it, and every display line of a text laid out from the start.
struct TLine {
    TTextPos Start, Count, Width;
    bool Ended;
    bool operator==(const TLine&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TLine& l) {
    return out << "{" << l.Start << "," << l.Count << "," << l.Width << (l.Ended ? "" : ",last") << "}";
}

inline std::vector<TLine> Lines(TLinesBuffer& text) {
    std::vector<TLine> lines;
    for (TTextPos pos = 0; pos < text.TextSize();) {
        TLine line{pos, 0, 0, false};
        line.Ended = text.NextLineEnd(pos, line.Width, line.Count);
        lines.push_back(line);
        if (pos <= line.Start) throw std::logic_error("layout made no progress");
    }
    return lines;
}
