#pragma once

#include <memory>

#include "text/StreamSegment.h"

// A segment that keeps its stream open: the stream goes when the last segment over it goes. A file
// replaced by a save thus stays readable for as long as the history or a copied text still holds
// bytes of it, and no longer.
class TSharedSegment : public TStreamSegment {
public:
    TSharedSegment(std::shared_ptr<TStream> stream, TTextPos offset, TTextPos length)
        : TStreamSegment(*stream, offset, length), m_Keep(std::move(stream)) {}

    const std::shared_ptr<TStream>& Shared() const { return m_Keep; }
    std::unique_ptr<TStreamSegment> Clone() const override {
        return std::make_unique<TSharedSegment>(m_Keep, Offset(), Length());
    }

private:
    std::shared_ptr<TStream> m_Keep;
};
