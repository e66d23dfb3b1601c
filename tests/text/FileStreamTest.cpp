#include "text/FileStream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "ErrorOf.h"
#include "TestFiles.h"
#include "text/Exceptions.h"

namespace {

std::string Numbered(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "line " + std::to_string(i) + "\n";
    return text;
}

TEST(FileStream, ReadsForwardAndBackwardAcrossWindowEdges) {
    TTempDir dir;
    const std::string text = Numbered(3000);
    WriteFile(dir / "f", text);
    TFileStream file(dir / "f", TFileStream::TMode::fmOpenRead, 1000);
    ASSERT_EQ(file.Size(), static_cast<TTextPos>(text.size()));
    std::string got(333, '\0');
    for (TTextPos pos = file.Size() - 333; pos >= 0; pos -= 333) {
        file.Seek(pos);
        file.ReadBuffer(reinterpret_cast<unsigned char*>(got.data()), 333);
        ASSERT_EQ(got, text.substr(static_cast<size_t>(pos), 333)) << "at " << pos;
    }
    std::string all(text.size() + 5, '\0');
    file.Seek(0);
    EXPECT_EQ(file.Read(reinterpret_cast<unsigned char*>(all.data()), file.Size() + 5), file.Size());
    EXPECT_EQ(all.substr(0, text.size()), text);
}

TEST(FileStream, ASparseFileBeyondFourGiBIsOneSegment) {
    TTempDir dir;
    const TTextPos size = (TTextPos{1} << 32) + 4097;
    {
        const int fd = ::open((dir / "big").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "Z", 1, size - 1), 1);
        ::close(fd);
    }
    TFileStream file(dir / "big", TFileStream::TMode::fmOpenRead);
    TVirtualStreamList list;
    list.Insert(std::make_unique<TStreamSegment>(file, 0, file.Size()));
    ASSERT_EQ(list.Size(), size);
    unsigned char last[2] = {};
    list.Seek(size - 2);
    list.Read(last, 2);
    EXPECT_EQ(last[0], 0);
    EXPECT_EQ(last[1], 'Z');
}

TEST(FileStream, AFileCutShortUnderTheProgramRaisesAReadError) {
    TTempDir dir;
    const std::string text = Numbered(100000); // well beyond one read-ahead window
    WriteFile(dir / "shrinks", text);
    TFileStream file(dir / "shrinks", TFileStream::TMode::fmOpenRead);
    TVirtualStreamList list;
    list.Insert(std::make_unique<TStreamSegment>(file, 0, file.Size()));
    unsigned char head[10];
    list.Seek(0);
    list.Read(head, 10);

    ASSERT_EQ(::truncate((dir / "shrinks").c_str(), 100), 0);
    unsigned char buffer[4096];
    list.Seek(500000);
    EXPECT_NE(ErrorOf<EReadError>([&] { list.Read(buffer, 4096); }).find((dir / "shrinks").string()),
              std::string::npos);
    // The stream goes on serving what the file still holds.
    list.Seek(10);
    list.Read(buffer, 50);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 50), text.substr(10, 50));
    // Nor does a copy take the lost range for a hole of zeros.
    TFileStream out(dir / "copy", TFileStream::TMode::fmCreate);
    list.Seek(0);
    EXPECT_THROW(list.CopyTo(out, list.Size()), EReadError);
}

TEST(FileStream, OpenFailuresNameTheFileAndTheReason) {
    TTempDir dir;
    EXPECT_EQ(
        ErrorOf<EFOpenError>([&] { TFileStream(dir / "nothing-here", TFileStream::TMode::fmOpenRead); }),
        "Cannot open \"" + (dir / "nothing-here").string() + "\": No such file or directory.");
    EXPECT_THROW(TFileStream(dir / "", TFileStream::TMode::fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(dir / "no" / "dir", TFileStream::TMode::fmCreate), EFOpenError);
}

TEST(FileStream, TheChainCopiesOutToANewFile) {
    TTempDir dir;
    const std::string text = Numbered(50000);
    WriteFile(dir / "in", text);
    TFileStream in(dir / "in", TFileStream::TMode::fmOpenRead);
    TVirtualStreamList list;
    list.Insert(std::make_unique<TStreamSegment>(in, 0, in.Size()));
    list.Seek(7);
    auto removed = list.Delete(300000);
    list.Seek(list.Size());
    list.InsertList(std::move(removed));
    {
        TFileStream out(dir / "out", TFileStream::TMode::fmCreate);
        list.Seek(0);
        list.CopyTo(out, list.Size());
        EXPECT_EQ(out.Size(), list.Size());
    }
    EXPECT_EQ(ReadFile(dir / "out"), text.substr(0, 7) + text.substr(300007) + text.substr(7, 300000));
}

} // namespace
