#pragma once

#include <cstdint>
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
    // A sum added to a byte at a time inside a loop that does other work too: each step waits on the
    // one before, and the processor runs the other work meanwhile. Keep writes it back.
    class TRunning {
    public:
        explicit TRunning(const TSumCheck& sum) : m_Value(static_cast<std::uint16_t>(sum.m_Sum)) {}
        void Add(unsigned char byte) {
            m_Value =
                static_cast<std::uint16_t>(static_cast<std::uint16_t>(m_Value >> 1 | m_Value << 15) + byte);
            ++m_Count;
        }
        void Keep(TSumCheck& sum) const {
            sum.m_Sum = m_Value;
            sum.m_Size += m_Count;
        }

    private:
        std::uint16_t m_Value;
        TTextPos m_Count = 0;
    };
    // The two sums that coding a line feeds as it goes: one over its characters, one over its bytes.
    struct TLineSums {
        TRunning Chars, Bytes;
        void Char(unsigned char c) { Chars.Add(c); }
        void Byte(unsigned char b) { Bytes.Add(b); }
    };
    // For coding a line without summing it.
    struct TNoSums {
        void Char(unsigned char) {}
        void Byte(unsigned char) {}
    };
    // "sum/size", as in 16556/3.
    std::string Format() const;

    unsigned Sum() const { return m_Sum; }
    TTextPos Size() const { return m_Size; }

private:
    unsigned m_Sum = 0;
    TTextPos m_Size = 0;
};
