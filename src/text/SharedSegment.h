#pragma once

#include <memory>

#include "text/Stream.h"
#include "text/StreamSegment.h"

// A segment over a stream that stays open while segments refer to it (TStream::KeepForSegments).
inline std::unique_ptr<TStreamSegment> SharedSegment(const std::shared_ptr<TStream>& stream, TTextPos offset,
                                                     TTextPos length) {
    stream->KeepForSegments(stream);
    return std::make_unique<TStreamSegment>(*stream, offset, length);
}
