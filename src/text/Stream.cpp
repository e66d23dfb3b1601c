#include "text/Stream.h"

#include <algorithm>
#include <memory>

#include "text/Exceptions.h"

void TStream::ReadBuffer(unsigned char* buffer, TTextPos count) {
    if (count > 0 && Read(buffer, count) != count) throw EReadError(ShortReadMessage());
}

void TStream::CopyFrom(TStream& source, TTextPos count) {
    if (count <= 0) return;
    constexpr TTextPos chunkSize = 256 * 1024;
    const auto chunk = std::make_unique_for_overwrite<unsigned char[]>(std::min(count, chunkSize));
    while (count > 0) {
        const TTextPos n = std::min(count, chunkSize);
        source.ReadBuffer(chunk.get(), n);
        Write(chunk.get(), n);
        count -= n;
    }
}
