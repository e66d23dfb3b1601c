#pragma once

#include <functional>
#include <vector>

#include "text/TextPos.h"

class TEditStream;
class TStream;

// How a save writes line breaks: the text as it is; every display line followed by a line break (soft
// breaks become hard ones of the document's kind, existing breaks stay as they are); or as a prompt
// decides.
enum class TSaveMode { smParagraph, smLineBreaks, smPrompt };

// Writes a text model to a stream in one of the save modes. Positions handed in are carried over to
// where the same text lies in what was written.
class TTextWriter {
public:
    TTextWriter(TEditStream& text, TSaveMode mode) : m_Text(text), m_Mode(mode) {}

    TSaveMode Mode() const { return m_Mode; }

    // Asked every 100 lines written with line breaks; true cancels.
    std::function<bool(TTextPos done, TTextPos total)> OnProgress;
    std::vector<TTextPos> Positions;

    // Writes the whole text; false when cancelled.
    bool Write(TStream& dest);

private:
    bool WriteLines(TStream& dest);

    TEditStream& m_Text;
    TSaveMode m_Mode;
};
