#include <gtest/gtest.h>

#include "TestFiles.h"
#include "text/FreeList.h"
#include "text/MemoryStream.h"

namespace {

std::unique_ptr<TStreamSegment> Seg(TStream& stream, TTextPos offset, TTextPos length) {
    return std::make_unique<TStreamSegment>(stream, offset, length);
}

// "offset+length" of every segment, to see exactly how a list was fused.
std::string Shape(const TSegmentList& list) {
    std::string shape;
    for (auto* seg = list.First(); seg; seg = seg->Next())
        shape +=
            (shape.empty() ? "" : " ") + std::to_string(seg->Offset()) + "+" + std::to_string(seg->Length());
    return shape;
}

TEST(StreamSegment, SplitAndMergeFollowStorageOrder) {
    TMemoryStream a, b;
    TSegmentList list;
    TStreamSegment* seg = list.Append(Seg(a, 10, 5));
    EXPECT_EQ(list.SplitAt(seg, 0), seg);
    EXPECT_EQ(list.SplitAt(seg, 5), nullptr);
    TStreamSegment* tail = list.SplitAt(seg, 2);
    EXPECT_EQ(Shape(list), "10+2 12+3");
    EXPECT_EQ(list.Last(), tail);
    EXPECT_EQ(list.SplitAt(seg, 7), tail);

    auto lone = Seg(a, 10, 2); // merged outside any list, whose size would no longer add up
    auto continuation = Seg(a, 12, 4);
    auto otherStream = Seg(b, 12, 4);
    auto gap = Seg(a, 13, 4);
    EXPECT_FALSE(lone->Merge(otherStream));
    EXPECT_FALSE(lone->Merge(gap));
    EXPECT_FALSE(continuation->CanMerge(*lone)) << "reversed order must not merge";
    EXPECT_TRUE(lone->Merge(continuation));
    EXPECT_EQ(continuation, nullptr);
    EXPECT_EQ(lone->Length(), 6);
}

TEST(SegmentList, InsertionFusesWithBothNeighbours) {
    TMemoryStream s;
    TSegmentList list;
    list.Append(Seg(s, 0, 3));
    list.Append(Seg(s, 10, 3));
    TStreamSegment* holder = list.InsertAfter(list.First(), Seg(s, 3, 7)); // bridges the gap exactly
    EXPECT_EQ(Shape(list), "0+13");
    EXPECT_EQ(holder, list.First());
    EXPECT_EQ(list.Size(), 13);

    list.InsertFirst(Seg(s, 20, 5));
    list.InsertFirst(Seg(s, 17, 3)); // continued by the first segment: takes its place
    EXPECT_EQ(Shape(list), "17+8 0+13");
    list.CheckInvariants();

    auto removed = list.Remove(list.Last());
    EXPECT_EQ(list.Last(), list.First());
    EXPECT_EQ(list.Size(), 8);
    list.CheckInvariants();
}

// A removed list whose first piece continues the text after the insertion point in storage must not
// fuse with it, or the rest of the list would land behind the following text.
TEST(SegmentList, InsertListKeepsOrderWhenAnEarlyPieceContinuesTheNextSegment) {
    TMemoryStream file, memory;
    TSegmentList chain;
    chain.Append(Seg(file, 0, 10));
    TStreamSegment* after = chain.First();
    chain.Append(Seg(file, 20, 80));
    auto removed = std::make_unique<TSegmentList>();
    removed->Append(Seg(file, 10, 10));
    removed->Append(Seg(memory, 0, 4));
    chain.InsertListAfter(after, std::move(removed));
    EXPECT_EQ(Shape(chain), "0+20 0+4 20+80");
    chain.CheckInvariants();
}

TEST(SegmentList, InsertListFusesTheLastPieceAndAbsorbedPiecesKeepOrder) {
    TMemoryStream s, t;
    TSegmentList chain;
    chain.Append(Seg(s, 0, 5));
    chain.Append(Seg(t, 50, 5));
    auto list = std::make_unique<TSegmentList>();
    list->Append(Seg(s, 5, 5));  // absorbed by the segment before
    list->Append(Seg(t, 40, 5)); // kept
    list->Append(Seg(t, 45, 5)); // fuses inside the list already
    chain.InsertListAfter(chain.First(), std::move(list));
    EXPECT_EQ(Shape(chain), "0+10 40+15");
    EXPECT_EQ(chain.Size(), 25);
    chain.CheckInvariants();
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

    // Bytes written across memory chunks read back whole.
    auto f = buffer.AllocateAndWrite(Bytes("0123456789abcdefghij"), 20);
    std::string back(20, '\0');
    f->Read(reinterpret_cast<unsigned char*>(back.data()), 0, 20);
    EXPECT_EQ(back, "0123456789abcdefghij");
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
