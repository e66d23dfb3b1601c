// Segment lists themselves (splitting, fusing, inserting lists in order) are checked by the random edits
// of a virtual stream, against a string model and their invariants. What they cannot see is how the
// memory buffer reuses its areas: a buffer that only grows holds the same text.

#include "text/FreeList.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "text/MemoryStream.h"

namespace {

// "offset+length" of every segment, to see exactly how a list was fused.
std::string Shape(const TSegmentList& list) {
    std::string shape;
    for (auto* seg = list.First(); seg; seg = seg->Next())
        shape +=
            (shape.empty() ? "" : " ") + std::to_string(seg->Offset()) + "+" + std::to_string(seg->Length());
    return shape;
}

TEST(FreeList, FirstFitReusesReleasedAreasAndTopAreaLowersHighWater) {
    TMemoryBuffer buffer(8);
    auto a = buffer.AllocateAndWrite(Bytes("aaaa"), 4);
    auto b = buffer.AllocateAndWrite(Bytes("bbbbbb"), 6);
    auto c = buffer.AllocateAndWrite(Bytes("cc"), 2);
    EXPECT_EQ(buffer.HighWater(), 12);
    EXPECT_EQ(buffer.Allocate(0), nullptr);

    buffer.Release(std::move(a));
    buffer.Release(std::move(b)); // fuses with the free area before it
    EXPECT_EQ(Shape(buffer), "0+10");
    auto d = buffer.Allocate(3);
    EXPECT_EQ(d->Offset(), 0);
    EXPECT_EQ(Shape(buffer), "3+7");

    buffer.Release(std::move(c)); // topmost: HighWater drops, the free area below stays as it is
    EXPECT_EQ(buffer.HighWater(), 10);
    EXPECT_EQ(Shape(buffer), "3+7");
    auto e = buffer.Allocate(8); // nothing free is large enough
    EXPECT_EQ(e->Offset(), 10);
    buffer.CheckInvariants();
}

TEST(FreeList, ListsGiveAllocatedSegmentsBackWhenCleared) {
    TMemoryBuffer buffer;
    {
        TSegmentList holder;
        holder.Append(buffer.AllocateAndWrite(Bytes("xyz"), 3));
        holder.Append(buffer.AllocateAndWrite(Bytes("uvw"), 3));
        holder.Append(buffer.Allocate(2));
        EXPECT_EQ(Shape(holder), "0+8");
        TStreamSegment* tail = holder.SplitAt(holder.First(), 4);
        EXPECT_EQ(tail->Owner(), &buffer) << "split pieces keep their owner";
    }
    // The first piece became a free area; the second was topmost and lowered HighWater instead.
    EXPECT_EQ(Shape(buffer), "0+4");
    EXPECT_EQ(buffer.HighWater(), 4);
    buffer.CheckInvariants();
}

} // namespace
