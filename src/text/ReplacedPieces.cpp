#include "text/ReplacedPieces.h"

#include <utility>

void TReplacedPieces::Append(TTextPos gap) {
    if (gap >= kLong)
        m_After.insert(m_After.end(),
                       {kLong, static_cast<std::uint32_t>(gap), static_cast<std::uint32_t>(gap >> 32)});
    else
        m_After.push_back(static_cast<std::uint32_t>(gap));
    ++m_Count;
}

void TReplacedPieces::Prepend(TTextPos gap) {
    if (gap >= kLong)
        m_Before.insert(m_Before.end(),
                        {static_cast<std::uint32_t>(gap >> 32), static_cast<std::uint32_t>(gap), kLong});
    else
        m_Before.push_back(static_cast<std::uint32_t>(gap));
    ++m_Count;
}

std::unique_ptr<TReplacedPieces> TReplacedPieces::Inverted() {
    // The stretches between the replacements are the same whichever way round they are.
    auto inverted = std::make_unique<TReplacedPieces>(m_In, m_Out);
    inverted->m_Count = std::exchange(m_Count, 0);
    inverted->m_Before = std::move(m_Before);
    inverted->m_After = std::move(m_After);
    m_Before.clear();
    m_After.clear();
    return inverted;
}
