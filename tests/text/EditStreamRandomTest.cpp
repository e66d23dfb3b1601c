#include <deque>
#include <gtest/gtest.h>
#include <random>

#include "TestFiles.h"
#include "text/EditStream.h"
#include "text/FileStream.h"

namespace {

// What one undo record does: at Pos, Inserted bytes came in and Deleted bytes went out.
struct TDelta {
    TTextPos Pos, Inserted, Deleted;
};

// One undo step of the model: its records and the text and modified flag on both sides of it.
struct TStep {
    std::vector<TDelta> Records;
    std::string Before, After;
    bool ModifiedBefore, ModifiedAfter;
};

// A text with its undo and redo history, kept the simplest way: whole copies of the text.
class TModel {
public:
    TModel(std::string text, int maxUndo) : Text(std::move(text)), m_MaxUndo(maxUndo) {}

    void Adjust(TTextPos pos, TTextPos delta) {
        for (TTextPos& mark : Bookmarks)
            if (mark >= pos) mark = std::max(pos, mark + delta);
    }
    void Record(TStep step) {
        Push(m_Undo, std::move(step), m_MaxUndo);
        m_Redo.clear();
    }
    TTextPos Undo() {
        TStep step = std::move(m_Undo.back());
        m_Undo.pop_back();
        TTextPos low = static_cast<TTextPos>(Text.size());
        for (auto r = step.Records.rbegin(); r != step.Records.rend(); ++r) {
            Adjust(r->Pos, r->Deleted - r->Inserted);
            low = std::min(low, r->Pos);
        }
        step.After = Text;
        step.ModifiedAfter = Modified;
        Text = step.Before;
        Modified = step.ModifiedBefore;
        Push(m_Redo, std::move(step), m_MaxUndo);
        return low;
    }
    void Redo() {
        TStep step = std::move(m_Redo.back());
        m_Redo.pop_back();
        for (const TDelta& r : step.Records)
            Adjust(r.Pos, r.Inserted - r.Deleted);
        step.Before = Text;
        step.ModifiedBefore = Modified;
        Text = step.After;
        Modified = step.ModifiedAfter;
        Push(m_Undo, std::move(step), m_MaxUndo);
    }
    int UndoLevels() const { return static_cast<int>(m_Undo.size()); }
    int RedoLevels() const { return static_cast<int>(m_Redo.size()); }

    std::string Text;
    bool Modified = false;
    std::vector<TTextPos> Bookmarks; // indexed like the text model's handles; -1 when free

private:
    static void Push(std::deque<TStep>& list, TStep step, int max) {
        list.push_back(std::move(step));
        if (static_cast<int>(list.size()) > max) list.pop_front();
    }

    int m_MaxUndo;
    std::deque<TStep> m_Undo, m_Redo;
};

std::string Text(TEditStream& text) {
    return text.GetText(0, text.TextSize());
}

// Random editing commands on an edit stream bound to a real file, each checked against the model. Every
// command is one undo step by construction: runs of typing, Backspace, Delete and overwriting, blocks,
// and three edits bound into a group. Between commands an Undo and a Redo close the step.
class TCommandRun {
public:
    TCommandRun(unsigned seed, TTextPos blockSize, int maxUndo)
        : m_Random(seed), m_Model(RandomText(300), maxUndo), m_Original(m_Model.Text) {
        WriteFile(m_Dir / "doc", m_Model.Text);
        m_Text.SetBufferSize(blockSize);
        m_Text.SetMaxUndoLevels(maxUndo);
        m_Text.SetStream(std::make_unique<TFileStream>(m_Dir / "doc", TFileStream::TMode::fmOpenRead));
        m_Text.OnSaveUndo = [this](TUndoState& state) { state.Linked = m_Grouping; };
    }

    void Step() {
        const int kind = static_cast<int>(Pick(0, 11));
        if (kind <= 6) {
            Command(kind);
            if (m_Text.UndoLevels() > 0) { // close the step so that the next command starts a new one
                Undo();
                Redo();
            }
        } else if (kind == 7) {
            for (TTextPos n = Pick(1, 3); n > 0 && m_Text.UndoLevels() > 0; --n)
                Undo();
        } else if (kind == 8) {
            for (TTextPos n = Pick(1, 3); n > 0 && m_Text.RedoLevels() > 0; --n)
                Redo();
        } else if (kind == 9) {
            m_Text.SetModified(false);
            m_Model.Modified = false;
        } else if (kind == 10) {
            const TTextPos pos = Pick(0, Size());
            ASSERT_EQ(m_Text.AddBookmark(pos), static_cast<int>(m_Model.Bookmarks.size()));
            m_Model.Bookmarks.push_back(pos);
        } else if (!m_Model.Bookmarks.empty()) {
            const auto handle =
                static_cast<int>(Pick(0, static_cast<TTextPos>(m_Model.Bookmarks.size()) - 1));
            m_Text.DeleteBookmark(handle);
            m_Model.Bookmarks[static_cast<size_t>(handle)] = -1;
            while (!m_Model.Bookmarks.empty() && m_Model.Bookmarks.back() == -1)
                m_Model.Bookmarks.pop_back();
        }
        Check();
    }

    void UndoEverything() {
        while (m_Text.UndoLevels() > 0)
            Undo();
        ASSERT_EQ(Text(m_Text), m_Original);
        ASSERT_FALSE(m_Text.Modified());
    }

private:
    TTextPos Pick(TTextPos low, TTextPos high) {
        return std::uniform_int_distribution<TTextPos>(low, high)(m_Random);
    }
    TTextPos Size() const { return static_cast<TTextPos>(m_Model.Text.size()); }
    std::string RandomText(TTextPos count) {
        std::string text(static_cast<size_t>(count), ' ');
        for (char& c : text)
            c = "abcdefgh \r\n"[Pick(0, 10)];
        return text;
    }

    void Insert(TTextPos pos, const std::string& s) {
        m_Text.InsertString(s, pos);
        m_Model.Text.insert(static_cast<size_t>(pos), s);
        m_Model.Adjust(pos, static_cast<TTextPos>(s.size()));
    }
    void Delete(TTextPos pos, TTextPos count) {
        m_Text.Delete(pos, count);
        m_Model.Text.erase(static_cast<size_t>(pos), static_cast<size_t>(count));
        m_Model.Adjust(pos, -count);
    }

    void Command(int kind) {
        TStep step{{}, m_Model.Text, {}, m_Model.Modified, true};
        const TTextPos size = Size();
        const TTextPos pos = Pick(0, size);
        const TTextPos run = Pick(1, 40);
        switch (kind) {
        case 0: // typing
            for (TTextPos i = 0; i < run; ++i)
                Insert(pos + i, RandomText(1));
            step.Records = {{pos, run, 0}};
            break;
        case 1: { // a block
            const std::string block = RandomText(Pick(1, 200));
            Insert(pos, block);
            step.Records = {{pos, static_cast<TTextPos>(block.size()), 0}};
            break;
        }
        case 2: { // Backspace
            const TTextPos n = std::min(run, pos);
            if (n == 0) return;
            for (TTextPos i = 1; i <= n; ++i)
                Delete(pos - i, 1);
            step.Records = {{pos - n, 0, n}};
            break;
        }
        case 3: { // Delete, key by key or as a block
            const TTextPos n = std::min(Pick(0, 1) ? run : Pick(1, 300), size - pos);
            if (n == 0) return;
            if (n == run) {
                for (TTextPos i = 0; i < n; ++i)
                    Delete(pos, 1);
            } else {
                Delete(pos, n);
            }
            step.Records = {{pos, 0, n}};
            break;
        }
        case 4: { // overwriting
            const TTextPos n = std::min(run, size - pos);
            if (n == 0) return;
            for (TTextPos i = 0; i < n; ++i) {
                const char c = RandomText(1)[0];
                m_Text.Overwrite(pos + i, static_cast<unsigned char>(c));
                m_Model.Text[static_cast<size_t>(pos + i)] = c;
            }
            step.Records = {{pos, n, n}};
            break;
        }
        case 5: { // a run of replacements, as Replace All makes them, in one group
            m_Grouping = true;
            const bool down = Pick(0, 1);
            const TTextPos count = Pick(0, 4), inserted = Pick(count == 0 ? 1 : 0, 5);
            TTextPos at = down ? pos : size;
            for (TTextPos i = Pick(1, 12); i > 0; --i) {
                // Now and then one of other sizes, or one overlapping the last: a record of its own.
                const bool odd = Pick(0, 9) == 0;
                const TTextPos out = odd ? Pick(0, 3) : count, in = odd ? Pick(1, 3) : inserted;
                const TTextPos gap = odd ? -Pick(0, 2) : Pick(0, 30);
                const TTextPos where = down ? at + gap : at - out - gap;
                if (where < 0 || where + out > Size()) break;
                const std::string bytes = RandomText(in);
                m_Text.Replace(where, out, bytes);
                m_Model.Text.replace(static_cast<size_t>(where), static_cast<size_t>(out), bytes);
                m_Model.Adjust(where, -out);
                m_Model.Adjust(where, in);
                step.Records.push_back({where, in, out});
                at = down ? where + in : where;
            }
            m_Grouping = false;
            m_Text.EndUndoGroup();
            if (step.Records.empty()) return;
            break;
        }
        default: { // three edits in one group
            m_Grouping = true;
            const std::string first = RandomText(Pick(1, 30));
            Insert(pos, first);
            const TTextPos at = Pick(0, Size() - 1);
            const TTextPos n = std::min(Pick(1, 30), Size() - at);
            Delete(at, n);
            TTextPos third = Pick(0, Size());
            if (third == at) third = at == 0 ? 1 : at - 1; // at `at` it would join the deletion's record
            third = std::min(third, Size());
            const std::string last = RandomText(Pick(1, 30));
            Insert(third, last);
            m_Grouping = false;
            m_Text.EndUndoGroup();
            step.Records = {{pos, static_cast<TTextPos>(first.size()), 0},
                            {at, 0, n},
                            {third, static_cast<TTextPos>(last.size()), 0}};
        }
        }
        m_Model.Modified = true;
        step.After = m_Model.Text;
        m_Model.Record(std::move(step));
    }

    void Undo() { ASSERT_EQ(m_Text.Undo(), m_Model.Undo()); }
    void Redo() {
        m_Text.Redo();
        m_Model.Redo();
    }

    void Check() {
        m_Text.CheckInvariants();
        ASSERT_EQ(Text(m_Text), m_Model.Text);
        ASSERT_EQ(m_Text.Modified(), m_Model.Modified);
        ASSERT_EQ(m_Text.UndoLevels(), m_Model.UndoLevels());
        ASSERT_EQ(m_Text.RedoLevels(), m_Model.RedoLevels());
        for (size_t i = 0; i < m_Model.Bookmarks.size(); ++i)
            ASSERT_EQ(m_Text.GetBookmark(static_cast<int>(i)), m_Model.Bookmarks[i]) << "bookmark " << i;
    }

    std::mt19937_64 m_Random;
    TTempDir m_Dir;
    TModel m_Model;
    std::string m_Original;
    TEditStream m_Text;
    bool m_Grouping = false;
};

TEST(EditStreamRandom, CommandsUndoAndRedoLikeTheModel) {
    for (int maxUndo : {100000, 3, 1}) {
        for (TTextPos blockSize : {16, 64, 4096}) {
            for (unsigned seed = 1; seed <= 6; ++seed) {
                SCOPED_TRACE("max undo " + std::to_string(maxUndo) + " block " + std::to_string(blockSize) +
                             " seed " + std::to_string(seed));
                TCommandRun run(seed, blockSize, maxUndo);
                for (int step = 0; step < 400 && !::testing::Test::HasFatalFailure(); ++step)
                    run.Step();
                if (maxUndo > 1000) run.UndoEverything();
                if (::testing::Test::HasFatalFailure()) return;
            }
        }
    }
}

// Edits of every kind anywhere, with reads between them that move the cache: each undo step must land
// on a text the document really had, earlier each time, and undoing everything gives back the file.
TEST(EditStreamRandom, UndoAfterFreeEditingWalksBackThroughRealStates) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937_64 random(seed);
        auto pick = [&random](TTextPos low, TTextPos high) {
            return std::uniform_int_distribution<TTextPos>(low, high)(random);
        };
        std::string model(static_cast<size_t>(pick(0, 200)), 'x');
        for (char& c : model)
            c = static_cast<char>('a' + pick(0, 25));
        auto edited = EditOver(model, 16 + 16 * (seed % 3));
        TEditStream& text = *edited;
        text.SetMaxUndoLevels(100000);
        std::vector<std::string> states{model};
        TTextPos at = 0;
        for (int step = 0; step < 600; ++step) {
            const auto size = static_cast<TTextPos>(model.size());
            if (pick(0, 2) == 0) at = pick(0, size); // otherwise go on where the last edit was
            at = std::min(at, size);
            const int kind = static_cast<int>(pick(0, 4));
            if (kind == 0) {
                const std::string s(static_cast<size_t>(pick(1, 30)), static_cast<char>('A' + pick(0, 25)));
                text.InsertString(s, at);
                model.insert(static_cast<size_t>(at), s);
                at += static_cast<TTextPos>(s.size());
            } else if (kind == 1 && at > 0) {
                text.Delete(at - 1, 1);
                model.erase(static_cast<size_t>(--at), 1);
            } else if (kind == 2 && at < size) {
                const TTextPos n = std::min(pick(1, 40), size - at);
                text.Delete(at, n);
                model.erase(static_cast<size_t>(at), static_cast<size_t>(n));
            } else if (kind == 3 && at < size) {
                text.Overwrite(at, '#');
                model[static_cast<size_t>(at++)] = '#';
            } else {
                const TTextPos from = pick(0, size);
                ASSERT_EQ(text.GetText(from, 20), model.substr(static_cast<size_t>(from), 20));
                continue;
            }
            text.CheckInvariants();
            if (states.back() != model) states.push_back(model);
        }
        ASSERT_EQ(Text(text), model);
        // Ten steps back and forward again, then back to the file.
        auto last = static_cast<TTextPos>(states.size()) - 1;
        for (int back = 0; text.UndoLevels() > 0; ++back) {
            if (back == 10) {
                while (text.RedoLevels() > 0)
                    text.Redo();
                ASSERT_EQ(Text(text), model);
                last = static_cast<TTextPos>(states.size()) - 1;
            }
            text.Undo();
            text.CheckInvariants();
            const std::string now = Text(text);
            TTextPos found = last; // a step may change nothing visible: '#' overwritten by '#'
            while (found >= 0 && states[static_cast<size_t>(found)] != now)
                --found;
            ASSERT_GE(found, 0) << "an undo step gave a text the document never had";
            last = found;
        }
        ASSERT_EQ(Text(text), states.front());
        ASSERT_FALSE(text.Modified());
    }
}

} // namespace
