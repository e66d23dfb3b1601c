#include "editor/QtText.h"

#include "text/CodePage1252.h"

QString FromWindows1252(const std::string& bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char c : bytes)
        *out++ = Windows1252ToUnicode[static_cast<unsigned char>(c)];
    return text;
}

std::string ToWindows1252(const QString& text) {
    std::string bytes(static_cast<size_t>(text.size()), '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[static_cast<size_t>(i)] = static_cast<char>(UnicodeToWindows1252(text[i].unicode()));
    return bytes;
}
