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

// Paragraphs of UTF-8 mail in other languages: accented Latin, Cyrillic and Chinese or Japanese.
constexpr std::array<std::string_view, 16> kLatinWords = {
    "caf\u00e9", "Gr\u00fc\u00dfe", "na\u00efve", "se\u00f1or", "\u00e0", "d\u00e9j\u00e0", "f\u00fcr",
    "\u00fcber", "pr\u00eat", "co\u00f6perate", "r\u00e9sum\u00e9", "mail", "und", "le", "la", "\u00e9t\u00e9"};
constexpr std::array<std::string_view, 16> kCyrillicWords = {
    "\u043f\u0440\u0438\u0432\u0435\u0442", "\u043f\u0438\u0441\u044c\u043c\u043e",
    "\u0438", "\u0432", "\u043d\u0435", "\u0441\u0435\u0440\u0432\u0435\u0440",
    "\u0437\u0430\u0432\u0442\u0440\u0430", "\u0432\u0441\u0442\u0440\u0435\u0447\u0430",
    "\u043e\u0442\u0432\u0435\u0442", "\u0444\u0430\u0439\u043b", "\u0441\u043f\u0430\u0441\u0438\u0431\u043e",
    "\u0447\u0442\u043e", "\u043d\u0430", "\u0440\u0435\u0434\u0430\u043a\u0442\u043e\u0440",
    "\u0432\u0435\u0440\u0441\u0438\u044f", "\u0430\u0431\u0437\u0430\u0446"};
constexpr std::array<std::string_view, 16> kCjkWords = {
    "\u660e\u65e5", "\u4f1a\u8b70", "\u8fd4\u4fe1", "\u30e1\u30fc\u30eb", "\u6587\u66f8",
    "\u6dfb\u4ed8", "\u3067\u3059", "\u3042\u308a\u304c\u3068\u3046", "\u7248", "\u7de8\u96c6",
    "\u670d\u52a1\u5668", "\u8c22\u8c22", "\u7684", "\u662f", "\u3002", "\u6bb5\u843d"};

constexpr std::array<std::string_view, 6> kNames = {"Ada Lindqvist", "Bram Okafor", "Chen Wei",
                                                    "Dora Haskell", "Emil Varga", "Farah Nasser"};

// Produces the text line by line, appending to a caller's buffer.
class TMailWriter {
public:
    TMailWriter(bool crlf, bool utf8) : m_Eol(crlf ? "\r\n" : "\n"), m_Utf8(utf8) {}

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
    // The words of a paragraph: English, or in UTF-8 text one of three other languages as often.
    const std::string_view* Vocabulary(size_t& count) {
        static const std::array<const std::string_view*, 3> others = {kLatinWords.data(), kCyrillicWords.data(),
                                                                      kCjkWords.data()};
        const std::uint64_t kind = m_Utf8 ? Next() % 4 : 0;
        count = kind == 0 ? kWords.size() : kLatinWords.size();
        return kind == 0 ? kWords.data() : others[kind - 1];
    }
    void Paragraph(std::string& out, const std::string& prefix) {
        size_t count = 0;
        const std::string_view* words = Vocabulary(count);
        const int lines = 1 + static_cast<int>(Next() % 8);
        for (int i = 0; i < lines; ++i) {
            const size_t width = 50 + Next() % 25;
            std::string line = prefix;
            while (line.size() < width) (line += line.size() > prefix.size() ? " " : "") += words[Next() % count];
            if (i + 1 < lines || Next() % 2) line += Next() % 3 ? "," : ".";
            Line(out, line);
        }
    }

    std::string_view m_Eol;
    bool m_Utf8;
    std::uint64_t m_State = 0x9E3779B97F4A7C15ULL;
};

} // namespace

std::string MailText(TTextPos bytes, bool crlf) {
    std::string text;
    text.reserve(static_cast<size_t>(bytes) + 4096);
    TMailWriter writer(crlf, false);
    while (static_cast<TTextPos>(text.size()) < bytes) writer.Message(text);
    text.resize(static_cast<size_t>(bytes));
    return text;
}

std::filesystem::path BenchDirectory() {
    const auto dir = std::filesystem::temp_directory_path() / "quorvel-bench";
    std::filesystem::create_directories(dir);
    return dir;
}

namespace {

std::filesystem::path WriteMailText(TTextPos bytes, bool crlf, bool utf8, std::filesystem::path dir) {
    if (dir.empty()) dir = BenchDirectory();
    std::filesystem::create_directories(dir);
    const auto path =
        dir / ("mail-" + std::string(utf8 ? "utf8-" : "") + std::to_string(bytes) + (crlf ? "-crlf" : "-lf") + ".txt");
    std::error_code error;
    if (std::filesystem::file_size(path, error) == static_cast<std::uintmax_t>(bytes)) return path;

    // Written under another name first, so that an interrupted run never leaves a short file behind.
    const auto partial = std::filesystem::path(path.string() + ".partial");
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out) throw std::runtime_error("cannot create " + partial.string());
    TMailWriter writer(crlf, utf8);
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

} // namespace

std::filesystem::path MailTextFile(TTextPos bytes, bool crlf, std::filesystem::path dir) {
    return WriteMailText(bytes, crlf, false, dir);
}

std::filesystem::path Utf8MailTextFile(TTextPos bytes) {
    return WriteMailText(bytes, false, true, {});
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
