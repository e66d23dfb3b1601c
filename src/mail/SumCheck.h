#pragma once

#include <string>
#include <string_view>

#include "text/TextPos.h"

// The BSD "sum -r" checksum with a byte count, as the "sum -r/size" lines of encoded mail give them.
class TSumCheck {
public:
    void Reset() {
        m_Sum = 0;
        m_Size = 0;
    }
    void AddBytes(const unsigned char* bytes, TTextPos count);
    // A line counts as stored with a Unix line end: its bytes, then LF (an empty line is a lone LF).
    void AddLine(std::string_view line);
    // "sum/size", as in 16556/3.
    std::string Format() const;

    unsigned Sum() const { return m_Sum; }
    TTextPos Size() const { return m_Size; }

private:
    unsigned m_Sum = 0;
    TTextPos m_Size = 0;
};
