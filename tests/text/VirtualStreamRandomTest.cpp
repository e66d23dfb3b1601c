#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "TestFiles.h"
#include "text/Exceptions.h"
#include "text/FileStream.h"
#include "text/FreeList.h"

namespace {

// Random edits of a virtual stream over a real file and a memory buffer, checked step by step against a
// std::string holding the same text.
class RandomEdits {
public:
    explicit RandomEdits(unsigned seed) : m_Random(seed) {
        m_Model = RandomBytes(1500);
        WriteFile(m_Dir / "text", m_Model);
        // A tiny read-ahead window and tiny memory chunks put many reads across their edges.
        m_File = std::make_unique<TFileStream>(m_Dir / "text", TFileStream::TMode::fmOpenRead, 64);
        m_List.Insert(std::make_unique<TStreamSegment>(*m_File, 0, Size()));
    }

    void Step() {
        switch (Pick(0, 9)) {
        case 0: case 1: case 2: Type(); break;
        case 3: case 4: Cut(); break;
        case 5: PutBack(); break;
        case 6: if (!m_Held.empty()) m_Held.erase(m_Held.begin() + Pick(0, m_Held.size() - 1)); break;
        case 7: ReadRange(); break;
        case 8: CopyRange(); break;
        case 9: DeleteAndReinsert(); break;
        }
        Check();
    }

    void CheckWholeText() { ASSERT_EQ(ReadAll(m_List), m_Model); }

private:
    struct Held {
        std::unique_ptr<TSegmentList> list;
        std::string text;
    };

    TTextPos Pick(TTextPos low, TTextPos high) { return std::uniform_int_distribution<TTextPos>(low, high)(m_Random); }
    TTextPos Size() const { return static_cast<TTextPos>(m_Model.size()); }
    std::string RandomBytes(TTextPos count) {
        std::string bytes(static_cast<size_t>(count), '\0');
        for (char& c : bytes) c = static_cast<char>(Pick(0, 255));
        return bytes;
    }

    void Type() {
        // Half the time continue right after the last typing, as a typist does.
        const TTextPos pos = (Pick(0, 1) && m_TypedEnd <= Size()) ? m_TypedEnd : Pick(0, Size());
        const std::string text = RandomBytes(Pick(1, 12));
        m_List.Seek(pos);
        m_List.Insert(m_Memory.AllocateAndWrite(Bytes(text), static_cast<TTextPos>(text.size())));
        ASSERT_EQ(m_List.Position(), pos + static_cast<TTextPos>(text.size()));
        m_Model.insert(static_cast<size_t>(pos), text);
        m_TypedEnd = m_List.Position();
    }

    void Cut() {
        const TTextPos pos = Pick(0, Size());
        const TTextPos count = Pick(0, 60); // may run past the end: cut to it
        m_List.Seek(pos);
        auto removed = m_List.Delete(count);
        const std::string text = m_Model.substr(static_cast<size_t>(pos), static_cast<size_t>(count));
        ASSERT_EQ(removed->Size(), static_cast<TTextPos>(text.size()));
        ASSERT_EQ(m_List.Position(), pos);
        m_Model.erase(static_cast<size_t>(pos), text.size());
        m_Held.push_back({std::move(removed), text});
    }

    void PutBack() {
        if (m_Held.empty()) return;
        const auto which = m_Held.begin() + Pick(0, m_Held.size() - 1);
        const TTextPos pos = Pick(0, Size());
        m_List.Seek(pos);
        m_List.InsertList(std::move(which->list));
        ASSERT_EQ(m_List.Position(), pos + static_cast<TTextPos>(which->text.size()));
        m_Model.insert(static_cast<size_t>(pos), which->text);
        m_Held.erase(which);
    }

    // Cutting a range and putting it back at once restores the text and the segment count.
    void DeleteAndReinsert() {
        const TTextPos pos = Pick(0, Size());
        const size_t count = m_List.Count();
        m_List.Seek(pos);
        auto removed = m_List.Delete(Pick(1, 80));
        m_List.InsertList(std::move(removed));
        ASSERT_EQ(m_List.Count(), count);
    }

    void ReadRange() {
        const TTextPos pos = Pick(0, Size());
        const TTextPos count = Pick(0, 300);
        std::string got(static_cast<size_t>(count), '\0');
        m_List.Seek(pos);
        if (pos + count > Size()) {
            ASSERT_THROW(m_List.Read(reinterpret_cast<unsigned char*>(got.data()), count), EReadError);
            ASSERT_EQ(m_List.Position(), pos);
            return;
        }
        m_List.Read(reinterpret_cast<unsigned char*>(got.data()), count);
        ASSERT_EQ(got, m_Model.substr(static_cast<size_t>(pos), static_cast<size_t>(count)));
        ASSERT_EQ(m_List.Position(), pos + count);
    }

    void CopyRange() {
        const TTextPos pos = Pick(0, Size());
        const TTextPos count = Pick(0, Size() - pos);
        TMemoryStream out(16);
        m_List.Seek(pos);
        m_List.CopyTo(out, count);
        std::string got(static_cast<size_t>(count), '\0');
        out.Seek(0);
        ASSERT_EQ(out.Read(reinterpret_cast<unsigned char*>(got.data()), count), count);
        ASSERT_EQ(got, m_Model.substr(static_cast<size_t>(pos), static_cast<size_t>(count)));
    }

    // The structures are sound, and every byte of the memory buffer below HighWater belongs to exactly
    // one segment: in the text, in a held list, or free.
    void Check() {
        m_List.CheckInvariants();
        m_Memory.CheckInvariants();
        ASSERT_EQ(m_List.Size(), Size());
        std::vector<std::pair<TTextPos, TTextPos>> areas;
        auto collect = [&areas](const TSegmentList& list) {
            for (auto* seg = list.First(); seg; seg = seg->Next())
                if (seg->Owner()) areas.emplace_back(seg->Offset(), seg->Length());
        };
        collect(m_List);
        collect(m_Memory);
        for (const Held& held : m_Held) collect(*held.list);
        std::sort(areas.begin(), areas.end());
        TTextPos end = 0;
        for (auto [offset, length] : areas) {
            ASSERT_GE(offset, end) << "two segments share memory-buffer bytes";
            end = offset + length;
        }
        ASSERT_EQ(end, m_Memory.HighWater());
        TTextPos total = 0;
        for (auto [offset, length] : areas) total += length;
        ASSERT_EQ(total, m_Memory.HighWater()) << "bytes below HighWater that nobody holds";
    }

    std::mt19937_64 m_Random;
    TTempDir m_Dir;
    std::string m_Model;
    TTextPos m_TypedEnd = 0;
    std::unique_ptr<TFileStream> m_File;
    TMemoryBuffer m_Memory{16};
    TVirtualStreamList m_List; // after m_Memory: its segments go back there when it is destroyed
    std::vector<Held> m_Held;
};

TEST(VirtualStreamRandom, EditsMatchAStringModel) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomEdits edits(seed);
        for (int step = 0; step < 2500; ++step) {
            edits.Step();
            if (::testing::Test::HasFatalFailure()) return;
            if (step % 100 == 0) edits.CheckWholeText();
        }
        edits.CheckWholeText();
    }
}

} // namespace
