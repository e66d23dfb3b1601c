#include "mail/SumCheck.h"

void TSumCheck::AddBytes(const unsigned char* bytes, TTextPos count) {
    // 16-bit arithmetic lets the compiler rotate and add in two instructions per byte.
    TRunning sum(*this);
    for (TTextPos i = 0; i < count; ++i)
        sum.Add(bytes[i]);
    sum.Keep(*this);
}

void TSumCheck::AddLine(std::string_view line) {
    AddBytes(reinterpret_cast<const unsigned char*>(line.data()), static_cast<TTextPos>(line.size()));
    const unsigned char lf = '\n';
    AddBytes(&lf, 1);
}

std::string TSumCheck::Format() const { return std::to_string(m_Sum) + "/" + std::to_string(m_Size); }
