#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "editor/FileEditor.h"
#include "mail/UUDecoder.h"

// What the encoding commands report: done, nothing to encode (an empty or missing file), cancelled by
// the user, or the compression tool could not make its archive.
enum class TEncodeResult { erDone = 0, erEmpty = 1, erCancelled = 2, erCompressFailed = 3 };

// The editor of every page: the file editor with the mail commands. It pastes and inserts text as
// quoted lines, merges files, reformats quoted paragraphs under a new quote, and decodes and encodes
// uuencoded files. Every command is one undo step; long ones run in busy mode and Esc abandons them.
class TMailEditor : public TFileEditor {
    Q_OBJECT
public:
    explicit TMailEditor(QWidget* parent = nullptr);

    // The quote put in front of quoted lines.
    const std::string& MailQuote() const { return m_MailQuote; }
    void SetMailQuote(std::string quote) { m_MailQuote = std::move(quote); }
    // Files are inserted a block of this many bytes at a time.
    TTextPos InsertBlockSize() const { return m_InsertBlockSize; }
    void SetInsertBlockSize(TTextPos bytes) { m_InsertBlockSize = std::max<TTextPos>(1, bytes); }

    // The quote prefix of the line holding the selection's start, or the caret's line.
    std::string LineQuotePrefix();
    // Pastes the clipboard's text as quoted lines before the caret's line.
    void PasteQuote();
    // Inserts every display line of `source` quoted before the caret's line; `source` is laid out as
    // this editor lays its text out, less the quote's width.
    void InsertQuoted(TLinesBuffer& source);
    // Inserts a file's bytes at the caret, converted from the OEM character set when asked.
    void InsertFile(const std::filesystem::path& fileName, bool oemConvert);
    // Inserts a file as quoted lines, reading it where it lies.
    void InsertFileQuoted(const std::filesystem::path& fileName);
    // Reformats the quoted paragraphs of the selection, or from the caret's line to the end.
    void ReformatQuoted(const std::string& oldQuote, const std::string& newQuote);

    // Decodes every uuencoded file in the text. Files go where OnStartDecode says, by default under
    // their own names beside the document (the current directory for an untitled one).
    void DecodeText();
    // Uuencodes a file into the text before the caret's line, under the bare name of `name`.
    TEncodeResult EncodeFile(const std::filesystem::path& fileName, const std::string& name);
    // Packs a file with a compression tool's command line into a temporary archive and encodes that
    // under the file's name with the tool's extension.
    TEncodeResult CompressAndEncode(const std::string& commandLine, const std::string& extension,
                                    const std::filesystem::path& fileName);

    // Handed on to the decoder (TUUDecoder says when each is raised).
    std::function<void(TUUDecoder& sender, std::string& fileName, bool& cancel)> OnStartDecode;
    std::function<void(TUUDecoder& sender, TUdStates state, TUUErrors error, const std::string& fileName)>
        OnEndDecode;
    std::function<void(TUUDecoder& sender, const std::string& message)> OnDecodeRefused;

private:
    // The start of the hard line holding the caret: inserted lines never go into a line that the display
    // wraps.
    TTextPos CaretLineStart();
    // Gives `model` this editor's canvas, layout mode, wrap width and tab stops.
    void LayOutLike(TLinesBuffer& model);

    std::string m_MailQuote = ">";
    TTextPos m_InsertBlockSize = 8192;
};
