#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "TestFiles.h"
#include "text/AllocatedSegment.h"
#include "text/Exceptions.h"
#include "text/FreeList.h"

namespace {

// A virtual stream over "0123456789" in a file-like stream, plus a memory buffer for typed text.
struct Chain {
    Chain() {
        file.Write(Bytes("0123456789"), 10);
        list.Insert(std::make_unique<TStreamSegment>(file, 0, 10));
    }
    void Type(TTextPos pos, const std::string& text) {
        list.Seek(pos);
        list.Insert(memory.AllocateAndWrite(Bytes(text), static_cast<TTextPos>(text.size())));
        list.CheckInvariants();
    }
    TMemoryStream file;
    TMemoryBuffer memory;
    TVirtualStreamList list;
};

TEST(VirtualStream, TypedRunsFuseAndUndoingAnInsertRejoinsTheFile) {
    Chain c;
    c.Type(4, "ab");
    c.Type(6, "cd"); // continues the previous typing in the memory buffer
    EXPECT_EQ(ReadAll(c.list), "0123abcd456789");
    EXPECT_EQ(c.list.Count(), 3u);

    c.list.Seek(4);
    auto removed = c.list.Delete(4);
    EXPECT_EQ(removed->Size(), 4);
    EXPECT_EQ(c.list.Count(), 1u) << "the two halves of the file segment are one again";
    EXPECT_EQ(c.list.Position(), 4);
    c.list.CheckInvariants();

    c.list.InsertList(std::move(removed));
    EXPECT_EQ(ReadAll(c.list), "0123abcd456789");
    EXPECT_EQ(c.list.Count(), 3u);
}

TEST(VirtualStream, InsertAtTheEdges) {
    Chain c;
    c.Type(0, "<");
    EXPECT_EQ(c.list.CurrentStart(), 0);
    EXPECT_EQ(c.list.Current(), c.list.First());
    EXPECT_EQ(c.list.Position(), 1);
    c.Type(11, ">");
    EXPECT_EQ(ReadAll(c.list), "<0123456789>");
    c.Type(5, "+");
    EXPECT_EQ(c.list.Position(), 6);
    EXPECT_EQ(ReadAll(c.list), "<0123+456789>");

    // An empty segment changes nothing and its area goes back to the free list.
    auto empty = std::make_unique<TAllocatedSegment>(c.memory.MemoryStream(), 0, 0, c.memory);
    c.list.Seek(3);
    c.list.Insert(std::move(empty));
    EXPECT_EQ(c.list.Size(), 13);
    EXPECT_EQ(c.list.Position(), 3);
    EXPECT_TRUE(c.memory.Empty());
}

TEST(VirtualStream, DeleteEverythingAndNothing) {
    Chain c;
    c.Type(5, "xyz");
    c.list.Seek(2);
    EXPECT_EQ(c.list.Delete(0)->Size(), 0);
    EXPECT_EQ(c.list.Size(), 13);
    c.list.Seek(0);
    auto all = c.list.Delete(1000); // more than there is: cut to the end
    EXPECT_EQ(all->Size(), 13);
    EXPECT_TRUE(c.list.Empty());
    EXPECT_EQ(c.list.Position(), 0);
    c.list.CheckInvariants();
    EXPECT_EQ(c.list.Delete(5)->Size(), 0) << "deleting from an empty chain does nothing";

    c.list.InsertList(std::move(all));
    EXPECT_EQ(ReadAll(c.list), "01234xyz56789");
}

TEST(VirtualStream, ReadAndSeekLimits) {
    Chain c;
    c.Type(5, "xyz");
    unsigned char buffer[20] = {};
    c.list.Seek(3);
    EXPECT_THROW(c.list.Read(buffer, 11), EReadError);
    EXPECT_EQ(c.list.Position(), 3) << "a read beyond the end fails before reading anything";
    EXPECT_EQ(c.list.Read(buffer, 10), 10);
    EXPECT_EQ(c.list.Position(), 13);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 10), "34xyz56789");
    EXPECT_EQ(c.list.Read(buffer, 0), 0);

    // A read ending at a segment's end leaves the position at the start of the next segment.
    c.list.Seek(0);
    c.list.Read(buffer, 5);
    EXPECT_EQ(c.list.CurrentOffset(), 0);
    EXPECT_EQ(c.list.CurrentStart(), 5);

    c.list.Seek(13);
    EXPECT_EQ(c.list.Current(), c.list.Last());
    EXPECT_EQ(c.list.CurrentOffset(), c.list.Last()->Length());
    EXPECT_THROW(c.list.Seek(14), EInternalError);
    EXPECT_EQ(ErrorOf<EInternalError>([&] { c.list.Seek(-1); }),
              "Internal Seek Error - Please save the file to resynchronise editor");

    TVirtualStreamList empty;
    empty.Seek(0);
    EXPECT_THROW(empty.Seek(1), EInternalError);
    EXPECT_THROW(empty.Read(buffer, 1), EReadError);
}

TEST(VirtualStream, CopyToWritesTheChainOut) {
    Chain c;
    c.Type(2, "AB");
    c.Type(9, "CD");
    TMemoryStream out;
    c.list.Seek(1);
    c.list.CopyTo(out, 12);
    std::string copied(12, '\0');
    out.Seek(0);
    out.Read(reinterpret_cast<unsigned char*>(copied.data()), 12);
    EXPECT_EQ(copied, "1AB23456CD78");
    c.list.Seek(13);
    EXPECT_THROW(c.list.CopyTo(out, 2), EReadError);
}

} // namespace
