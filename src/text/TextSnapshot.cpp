#include "text/TextSnapshot.h"

#include <algorithm>
#include <vector>

#include "text/CodePages.h"
#include "text/Exceptions.h"
#include "text/SharedSegment.h"

TTextSnapshot::TTextSnapshot(TVirtualStreamList& chain, TTextPos pos, TTextPos count, bool oemConvert)
    : m_Copied(std::make_shared<TMemoryStream>()), m_OemConvert(oemConvert) {
    if (pos < 0 || count < 0 || pos + count > chain.Size()) RaiseInternalError("Snapshot past End of Text");
    if (count == 0) return;
    chain.Seek(pos);
    const TStreamSegment* seg = chain.Current();
    TTextPos at = chain.CurrentOffset();
    std::vector<unsigned char> bytes;
    for (TTextPos left = count; left > 0; seg = seg->Next(), at = 0) {
        const TTextPos n = std::min(left, seg->Length() - at);
        if (n <= 0) continue; // a position at a segment's end
        if (const std::shared_ptr<TStream>& kept = seg->Stream().Kept()) {
            m_Parts.Insert(SharedSegment(kept, seg->Offset() + at, n));
        } else {
            bytes.resize(static_cast<size_t>(n));
            seg->Read(bytes.data(), at, n);
            const TTextPos offset = m_Copied->Size();
            m_Copied->Seek(offset);
            m_Copied->Write(bytes.data(), n);
            m_Parts.Insert(SharedSegment(m_Copied, offset, n));
        }
        left -= n;
    }
}

TTextPos TTextSnapshot::Read(unsigned char* buffer, TTextPos count) {
    count = std::clamp<TTextPos>(count, 0, Size() - m_Position);
    if (count == 0) return 0;
    m_Parts.Seek(m_Position);
    m_Parts.Read(buffer, count);
    if (m_OemConvert) OemToAnsi(buffer, count);
    m_Position += count;
    return count;
}

void TTextSnapshot::Write(const unsigned char*, TTextPos) {
    throw EWriteProtectError("Write protected!");
}

std::string TTextSnapshot::Bytes() {
    std::string bytes(static_cast<size_t>(Size()), '\0');
    Seek(0);
    ReadBuffer(reinterpret_cast<unsigned char*>(bytes.data()), Size());
    return bytes;
}
