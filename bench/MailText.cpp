#include "MailText.h"

#include <array>
#include <cstdio>
#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 64> kWords = {
    "the",     "of",      "and",      "to",       "a",       "in",        "message", "is",
    "that",    "for",     "it",       "with",     "as",      "was",       "on",      "be",
    "at",      "by",      "this",     "had",      "not",     "are",       "but",     "from",
    "or",      "have",    "an",       "they",     "which",   "one",       "you",     "were",
    "her",     "all",     "she",      "there",    "would",   "their",     "we",      "him",
    "been",    "has",     "when",     "who",      "will",    "more",      "no",      "if",
    "reply",   "mailbox", "attached", "regards",  "tomorrow", "meeting",  "draft",   "version",
    "printer", "editor",  "paragraph", "quoting", "decoded", "checksum",  "server",  "thanks"};

constexpr std::array<std::string_view, 6> kNames = {"Ada Lindqvist", "Bram Okafor", "Chen Wei",
                                                    "Dora Haskell", "Emil Varga", "Farah Nasser"};

// Produces the text line by line, appending to a caller's buffer.
class TMailWriter {
public:
    explicit TMailWriter(bool crlf) : m_Eol(crlf ? "\r\n" : "\n") {}

    void Message(std::string& out) {
        const auto& from = kNames[Next() % kNames.size()];
        const auto& to = kNames[Next() % kNames.size()];
        Line(out, "From: " + std::string(from) + " <" + Handle(from) + "@example.org>");
        Line(out, "To: " + std::string(to) + " <" + Handle(to) + "@example.org>");
        Line(out, "Subject: Re: " + Words(3 + Next() % 5));
        Line(out, "Date: Mon, " + std::to_string(1 + Next() % 28) + " Sep 2026 10:" +
                      std::to_string(10 + Next() % 50) + ":00 +0000");
        Line(out, "");
        const int paragraphs = 2 + static_cast<int>(Next() % 5);
        for (int i = 0; i < paragraphs; ++i) {
            const int depth = static_cast<int>(Next() % 4 == 0 ? 1 + Next() % 2 : 0);
            Paragraph(out, std::string(static_cast<size_t>(depth), '>') + (depth ? " " : ""));
            Line(out, "");
        }
        Line(out, "-- ");
        Line(out, std::string(from));
        Line(out, "");
    }

private:
    std::uint64_t Next() {
        m_State ^= m_State >> 12;
        m_State ^= m_State << 25;
        m_State ^= m_State >> 27;
        return m_State * 2685821657736338717ULL;
    }
    static std::string Handle(std::string_view name) {
        std::string handle;
        for (char c : name)
            if (c != ' ') handle += static_cast<char>(c | 0x20);
        return handle;
    }
    std::string Words(std::uint64_t count) {
        std::string words;
        for (std::uint64_t i = 0; i < count; ++i) (words += i ? " " : "") += kWords[Next() % kWords.size()];
        return words;
    }
    void Line(std::string& out, const std::string& text) { (out += text) += m_Eol; }
    void Paragraph(std::string& out, const std::string& prefix) {
        const int lines = 1 + static_cast<int>(Next() % 8);
        for (int i = 0; i < lines; ++i) {
            const size_t width = 50 + Next() % 25;
            std::string line = prefix;
            while (line.size() < width) (line += line.size() > prefix.size() ? " " : "") += kWords[Next() % kWords.size()];
            if (i + 1 < lines || Next() % 2) line += Next() % 3 ? "," : ".";
            Line(out, line);
        }
    }

    std::string_view m_Eol;
    std::uint64_t m_State = 0x9E3779B97F4A7C15ULL;
};

} // namespace

std::string MailText(TTextPos bytes, bool crlf) {
    std::string text;
    text.reserve(static_cast<size_t>(bytes) + 4096);
    TMailWriter writer(crlf);
    while (static_cast<TTextPos>(text.size()) < bytes) writer.Message(text);
    text.resize(static_cast<size_t>(bytes));
    return text;
}

std::filesystem::path BenchDirectory() {
    const auto dir = std::filesystem::temp_directory_path() / "quorvel-bench";
    std::filesystem::create_directories(dir);
    return dir;
}

std::filesystem::path MailTextFile(TTextPos bytes, bool crlf, std::filesystem::path dir) {
    if (dir.empty()) dir = BenchDirectory();
    std::filesystem::create_directories(dir);
    const auto path = dir / ("mail-" + std::to_string(bytes) + (crlf ? "-crlf" : "-lf") + ".txt");
    std::error_code error;
    if (std::filesystem::file_size(path, error) == static_cast<std::uintmax_t>(bytes)) return path;

    // Written under another name first, so that an interrupted run never leaves a short file behind.
    const auto partial = std::filesystem::path(path.string() + ".partial");
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out) throw std::runtime_error("cannot create " + partial.string());
    TMailWriter writer(crlf);
    std::string chunk;
    TTextPos written = 0;
    while (written < bytes) {
        chunk.clear();
        while (chunk.size() < (1u << 20)) writer.Message(chunk);
        const auto n = static_cast<size_t>(std::min<TTextPos>(bytes - written, static_cast<TTextPos>(chunk.size())));
        if (std::fwrite(chunk.data(), 1, n, out) != n) throw std::runtime_error("cannot write " + partial.string());
        written += static_cast<TTextPos>(n);
    }
    if (std::fclose(out) != 0) throw std::runtime_error("cannot write " + partial.string());
    std::filesystem::rename(partial, path);
    return path;
}

std::filesystem::path SparseFile() {
    const auto path = BenchDirectory() / "sparse-5GiB.txt";
    const std::string text = MailText(1 << 20);
    const TTextPos zeros = TTextPos{5} << 30;
    const auto size = static_cast<std::uintmax_t>(2 * text.size() + zeros);
    std::error_code error;
    if (std::filesystem::file_size(path, error) == size) return path;
    const auto partial = std::filesystem::path(path.string() + ".partial");
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size() ||
        std::fseek(out, static_cast<long>(text.size() + zeros), SEEK_SET) != 0 ||
        std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fclose(out) != 0)
        throw std::runtime_error("cannot write " + partial.string());
    std::filesystem::rename(partial, path);
    return path;
}
