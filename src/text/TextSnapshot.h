#pragma once

#include <memory>

#include "text/MemoryStream.h"
#include "text/VirtualStreamList.h"

// A range of a text as it was when taken, readable later however the text changes meanwhile: the parts
// that lie in files stay segments over them (the files stay open for it), the parts in the text's
// memory are copied, since that memory is handed out again. Taking a range of a file costs no copy.
class TTextSnapshot : public TStream {
public:
    // The `count` bytes of `chain` from `pos`; `oemConvert` converts them as the text shows them.
    TTextSnapshot(TVirtualStreamList& chain, TTextPos pos, TTextPos count, bool oemConvert);

    TTextPos Size() const override { return m_Parts.Size(); }
    TTextPos Read(unsigned char* buffer, TTextPos count) override;
    // A snapshot never changes.
    void Write(const unsigned char* buffer, TTextPos count) override;
    // Every byte, for small snapshots and for the moment someone asks for them all.
    std::string Bytes();

private:
    // Declared first so that it outlives the segments over it.
    std::shared_ptr<TMemoryStream> m_Copied;
    TVirtualStreamList m_Parts;
    bool m_OemConvert;
};
