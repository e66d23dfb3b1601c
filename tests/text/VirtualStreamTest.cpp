// What the random edits of a virtual stream seldom or never reach: where a read leaves the position,
// empty segments and chains, and the errors of reads, copies and seeks past the ends. Everything else
// (contents, positions, fusing and splitting) is checked against a string model there.

#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "TestFiles.h"
#include "text/Exceptions.h"
#include "text/FreeList.h"

namespace {

// A virtual stream over "01234" in a file-like stream, "xyz" typed after it from a memory buffer, and
// "56789" of the file after that.
struct Chain {
    Chain() {
        file.Write(Bytes("0123456789"), 10);
        list.Insert(std::make_unique<TStreamSegment>(file, 0, 10));
        list.Seek(5);
        list.Insert(memory.AllocateAndWrite(Bytes("xyz"), 3));
    }
    TMemoryStream file;
    TMemoryBuffer memory;
    TVirtualStreamList list;
};

// The next insertion continues the segment that follows, never the one that ended.
TEST(VirtualStream, AReadEndingAtASegmentsEndLeavesThePositionInTheNext) {
    Chain c;
    unsigned char buffer[5];
    c.list.Seek(0);
    c.list.Read(buffer, 5);
    EXPECT_EQ(c.list.CurrentOffset(), 0);
    EXPECT_EQ(c.list.CurrentStart(), 5);
    c.list.Seek(13);
    EXPECT_EQ(c.list.Current(), c.list.Last());
    EXPECT_EQ(c.list.CurrentOffset(), c.list.Last()->Length());
}

TEST(VirtualStream, EmptySegmentsAndChains) {
    Chain c;
    // An empty segment changes nothing and its area goes back to the free list.
    c.list.Seek(3);
    c.list.Insert(std::make_unique<TStreamSegment>(c.memory.MemoryStream(), 0, 0));
    c.list.CheckInvariants();
    EXPECT_EQ(c.list.Size(), 13);
    EXPECT_EQ(c.list.Position(), 3);
    EXPECT_TRUE(c.memory.Empty());
    EXPECT_EQ(c.list.Delete(0)->Size(), 0);

    c.list.Seek(0);
    auto all = c.list.Delete(1000); // more than there is: cut to the end
    EXPECT_TRUE(c.list.Empty());
    c.list.CheckInvariants();
    EXPECT_EQ(c.list.Delete(5)->Size(), 0) << "deleting from an empty chain does nothing";
    unsigned char buffer[1];
    c.list.Seek(0);
    EXPECT_THROW(c.list.Seek(1), EInternalError);
    EXPECT_THROW(c.list.Read(buffer, 1), EReadError);
    c.list.InsertList(std::move(all));
    EXPECT_EQ(ReadAll(c.list), "01234xyz56789");
}

TEST(VirtualStream, ReadsCopiesAndSeeksPastTheEnds) {
    Chain c;
    unsigned char buffer[20] = {};
    c.list.Seek(3);
    EXPECT_THROW(c.list.Read(buffer, 11), EReadError);
    EXPECT_EQ(c.list.Position(), 3) << "a read beyond the end fails before reading anything";
    EXPECT_EQ(c.list.Read(buffer, 0), 0);
    TMemoryStream out;
    c.list.Seek(12);
    EXPECT_THROW(c.list.CopyTo(out, 2), EReadError);
    EXPECT_THROW(c.list.Seek(14), EInternalError);
    EXPECT_EQ(ErrorOf<EInternalError>([&] { c.list.Seek(-1); }),
              "Internal Seek Error - Please save the file to resynchronise editor");
}

} // namespace
