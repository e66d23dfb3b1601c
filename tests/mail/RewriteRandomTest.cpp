// Reformat Quoted Text and Flow Text on random quoted mail, checked after each run: the bytes outside
// the range are unchanged; no reformatted line is wider than the wrap width unless it holds a single
// word; the range's visible bytes, quotes aside, come out in the same order, none lost and none added;
// and undo gives back the exact bytes.

#include <gtest/gtest.h>
#include <random>

#include "FixedCanvas.h"
#include "TestFiles.h"
#include "mail/QuoteReformatter.h"
#include "text/ParagraphFlow.h"

namespace {

class TRandomMail {
public:
    explicit TRandomMail(unsigned seed) : m_Random(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_Random); }
    template <typename T> const T& Pick(const std::vector<T>& items) {
        return items[static_cast<size_t>(Below(static_cast<int>(items.size())))];
    }

    // Words of letters and digits, some with hyphens, a few as long as a web address.
    std::string Word() {
        static const std::string letters = "abcdefghijklmnopqrstuvwxyz0123456789";
        const int length = Below(12) == 0 ? 20 + Below(50) : 1 + Below(9);
        std::string word;
        for (int i = 0; i < length; ++i)
            word += Below(15) == 0 && i > 0 ? '-' : letters[static_cast<size_t>(Below(36))];
        return word;
    }

    std::string Text(const std::string& lineBreak) {
        static const std::vector<std::string> prefixes = {"", ">", "> ", ">>", ">> ", "> > ", "John> "};
        std::string text;
        const int lines = 1 + Below(40);
        for (int i = 0; i < lines; ++i) {
            // An empty line, a lone quote, a page break, blanks, or mostly quoted words.
            if (const int kind = Below(12); kind == 1) {
                text += Pick(prefixes);
            } else if (kind == 2 || kind == 3) {
                text += kind == 2 ? "\f" : "  ";
            } else if (kind > 3) {
                text += Pick(prefixes);
                const int words = 1 + Below(12);
                for (int w = 0; w < words; ++w)
                    text += (w ? " " : "") + Word();
                if (Below(6) == 0) text += Pick(std::vector<std::string>{" ", "\t", " \t ", "-"});
                if (Below(25) == 0) text += "\f";
            }
            if (i + 1 < lines || Below(2)) text += lineBreak;
        }
        return text;
    }

private:
    std::mt19937 m_Random;
};

// The starts of the display lines of a text as the model lays it out.
std::vector<TTextPos> DisplayLineStarts(TLinesBuffer& text) {
    std::vector<TTextPos> starts;
    for (TTextPos pos = 0; pos < text.TextSize();) {
        starts.push_back(pos);
        TTextPos width = 0, count = 0;
        text.NextLineEnd(pos, width, count);
    }
    return starts;
}

// The ends of the hard lines' text (before their breaks) and the text's end.
std::vector<TTextPos> LineEnds(const std::string& text) {
    std::vector<TTextPos> ends;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') ends.push_back(static_cast<TTextPos>(i > 0 && text[i - 1] == '\r' ? i - 1 : i));
    ends.push_back(static_cast<TTextPos>(text.size()));
    return ends;
}

// The visible bytes of text[from, to) with `quote` taken off where it starts a line (at `from`, after a
// line feed or after a form feed).
std::string Visible(const std::string& text, TTextPos from, TTextPos to, const std::string& quote) {
    std::string visible;
    for (auto i = static_cast<size_t>(from); i < static_cast<size_t>(to);) {
        const bool lineStart = i == static_cast<size_t>(from) || text[i - 1] == '\n' || text[i - 1] == '\f';
        if (lineStart && !quote.empty() && text.compare(i, quote.size(), quote) == 0 &&
            i + quote.size() <= static_cast<size_t>(to)) {
            i += quote.size();
            continue;
        }
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n') visible += text[i];
        ++i;
    }
    return visible;
}

// Whether a line is a quote, then one word (spaces and hyphens break words), then blanks.
bool SingleWord(std::string line, const std::string& quote) {
    if (!quote.empty() && line.compare(0, quote.size(), quote) == 0) line.erase(0, quote.size());
    const size_t first = line.find_first_not_of(" \t");
    const size_t last = line.find_last_not_of(" \t");
    if (first == std::string::npos) return true;
    const size_t gap = line.find_first_of(" -", first);
    return gap == std::string::npos || gap >= last;
}

struct TSetUp {
    TSetUp(TRandomMail& random, const std::string& text) : model(EditOver(text, 16 << random.Below(9))) {
        if (random.Below(3) == 0) canvas = TFixedCanvas::Proportional();
        model->SetCanvas(&canvas);
        chars = random.Below(4) == 0 ? 0 : 6 + random.Below(50);
        model->SetMaxWidth(chars * 8);
        model->OnSaveUndo = [](TUndoState& state) { state.Linked = true; };
    }
    std::string Text() const { return model->GetText(0, model->TextSize()); }
    // Undoes the change in one step: the text is `before` again.
    void ExpectUndoGivesBack(const std::string& before) {
        model->EndUndoGroup();
        if (model->UndoLevels() == 0) { // nothing was replaced
            EXPECT_EQ(Text(), before);
            return;
        }
        EXPECT_EQ(model->UndoLevels(), 1);
        model->Undo();
        EXPECT_EQ(Text(), before);
        model->CheckInvariants();
    }

    TFixedCanvas canvas{8};
    std::unique_ptr<TEditStream> model;
    TTextPos chars = 0;
};

// The empty lines of a text, which keep paragraphs apart.
size_t EmptyLines(const std::string& text) {
    size_t count = 0;
    for (const char* pair : {"\n\n", "\n\r\n"})
        for (size_t at = 0; (at = text.find(pair, at)) != std::string::npos; ++at)
            ++count;
    return count;
}

} // namespace

TEST(RewriteRandom, ReformatQuotedText) {
    static const std::vector<std::string> oldQuotes = {">", "> ", ">>", "> >", "John>"};
    static const std::vector<std::string> newQuotes = {"", "#", "# ", "##", "# # ", "####################"};
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        TRandomMail random(seed);
        const std::string before = random.Text(random.Below(2) ? "\n" : "\r\n");
        TSetUp s(random, before);
        const std::vector<TTextPos> starts = DisplayLineStarts(*s.model);
        const TTextPos start = starts.empty() ? 0 : random.Pick(starts);
        TTextPos end = random.Pick(LineEnds(before));
        if (end < start) end = static_cast<TTextPos>(before.size());
        const std::string& oldQuote = random.Pick(oldQuotes);
        const std::string& newQuote = random.Pick(newQuotes);

        TQuoteReformatter reformatter(*s.model, oldQuote, newQuote, std::string(s.model->LineBreakBytes()));
        ASSERT_TRUE(reformatter.Run(start, end, {})) << "seed " << seed;
        reformatter.Output().ReplaceIn(*s.model, start, reformatter.ChangeEnd() - start);
        const std::string after = s.Text();
        const TTextPos newEnd = reformatter.NewPosition(end);
        SCOPED_TRACE("seed " + std::to_string(seed) + " range " + std::to_string(start) + " " +
                     std::to_string(end) + " -> " + std::to_string(newEnd) + " quotes '" + oldQuote + "' '" +
                     newQuote + "' width " + std::to_string(s.chars) + "\nbefore: " +
                     ::testing::PrintToString(before) + "\nafter: " + ::testing::PrintToString(after));

        ASSERT_EQ(after.substr(0, static_cast<size_t>(start)), before.substr(0, static_cast<size_t>(start)));
        ASSERT_EQ(after.substr(static_cast<size_t>(newEnd)), before.substr(static_cast<size_t>(end)));
        EXPECT_EQ(Visible(after, start, newEnd, newQuote), Visible(before, start, end, oldQuote));
        for (TTextPos lineStart = start; s.chars > 0 && lineStart < newEnd;) {
            const size_t lf = after.find('\n', static_cast<size_t>(lineStart));
            std::string line =
                after.substr(static_cast<size_t>(lineStart), lf - static_cast<size_t>(lineStart));
            if (line.ends_with('\r')) line.pop_back();
            // Blanks and hyphens at a line's end may pass the width (the display hangs them).
            for (std::string part : {line.substr(0, line.find('\f')), line.substr(line.rfind('\f') + 1)})
                if (s.model->LayoutWidth(part.substr(0, part.find_last_not_of(" \t-") + 1)) > s.chars * 8) {
                    EXPECT_TRUE(SingleWord(part, newQuote)) << "too wide: \"" << part << '"';
                }
            lineStart = lf == std::string::npos ? newEnd : static_cast<TTextPos>(lf + 1);
        }
        s.ExpectUndoGivesBack(before);
        if (HasFailure()) return;
    }
}

TEST(RewriteRandom, FlowText) {
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        TRandomMail random(seed);
        const std::string before = random.Text(random.Below(2) ? "\n" : "\r\n");
        TSetUp s(random, before);
        auto position = [&] { // never inside CR LF
            auto pos = static_cast<TTextPos>(random.Below(static_cast<int>(before.size()) + 1));
            return pos > 0 && before[static_cast<size_t>(pos - 1)] == '\r' ? pos - 1 : pos;
        };
        TTextPos start = position(), end = position();
        if (end < start) std::swap(start, end);

        TParagraphFlow flow(*s.model, start, end);
        flow.Marks = {end};
        ASSERT_TRUE(flow.Run({})) << "seed " << seed;
        flow.Output().ReplaceIn(*s.model, flow.ChangeStart(), flow.ChangeEnd() - flow.ChangeStart());
        const std::string after = s.Text();
        const TTextPos newEnd = flow.Marks[0];
        SCOPED_TRACE("seed " + std::to_string(seed) + " range " + std::to_string(start) + " " +
                     std::to_string(end) + "\nbefore: " + ::testing::PrintToString(before) +
                     "\nafter: " + ::testing::PrintToString(after));

        ASSERT_EQ(after.substr(0, static_cast<size_t>(start)), before.substr(0, static_cast<size_t>(start)));
        ASSERT_EQ(after.substr(static_cast<size_t>(newEnd)), before.substr(static_cast<size_t>(end)));
        EXPECT_EQ(Visible(after, start, newEnd, ""), Visible(before, start, end, ""));
        EXPECT_EQ(EmptyLines(after), EmptyLines(before));
        if (flow.Joins() > 0) s.ExpectUndoGivesBack(before);
        if (HasFailure()) return;
    }
}
