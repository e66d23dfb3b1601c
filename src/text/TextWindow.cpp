#include "text/TextWindow.h"

#include <algorithm>

#include "text/TextBuffer.h"

void TTextWindow::SetMaxSize(TTextPos size) {
    m_MaxSize = std::max<TTextPos>(16, size);
    m_NextSize = std::min(m_NextSize, m_MaxSize);
    m_Count = 0;
}

std::uint64_t TTextWindow::Version() const {
    return m_Text.TextVersion();
}

void TTextWindow::Load(TTextPos pos, TTextPos need) {
    const bool current = m_Version == Version() && m_Count > 0;
    if (current && pos > m_Pos && pos <= m_Pos + m_Count)
        m_NextSize = std::min(2 * m_NextSize, m_MaxSize); // reading on: read more at a time
    else if (!current || pos != m_Pos)
        m_NextSize = std::min(StartSize, m_MaxSize);
    const TTextPos size = std::max(m_NextSize, std::min(need, m_MaxSize));
    const TTextPos count = std::min(size, m_Text.TextSize() - pos);
    if (static_cast<TTextPos>(m_Bytes.size()) < count) m_Bytes.resize(static_cast<size_t>(size));
    m_Count = 0; // stays empty if the read fails
    m_Text.ReadText(m_Bytes.data(), pos, count);
    m_Pos = pos;
    m_Count = count;
    m_ToEnd = pos + count == m_Text.TextSize();
    m_Version = Version();
}
