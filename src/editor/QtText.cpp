#include "editor/QtText.h"

#include <QList>

#include "text/CodePage1252.h"
#include "text/Exceptions.h"

namespace {

[[noreturn]] void RefuseCharacter(const QString& text, qsizetype at) {
    const bool pair = text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate();
    const QString character = text.mid(at, pair ? 2 : 1);
    const char32_t code = character.toUcs4().value(0);
    const QString hex = QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, '0');
    throw EUserError(QString("\"%1\" (U+%2) cannot be written in Windows-1252 text; nothing was changed")
                         .arg(character, hex)
                         .toStdString());
}

} // namespace

QString TextToUnicode(std::string_view bytes, TCharSets set) {
    if (set == TCharSets::csUtf8) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char c : bytes)
        *out++ = Windows1252ToUnicode[static_cast<unsigned char>(c)];
    return text;
}

std::string UnicodeToText(const QString& text, TCharSets set) {
    if (set == TCharSets::csUtf8) return text.toStdString();
    std::string bytes(static_cast<size_t>(text.size()), '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const unsigned char byte = UnicodeToWindows1252(c);
        if (byte == '?' && c != u'?') RefuseCharacter(text, i);
        bytes[static_cast<size_t>(i)] = static_cast<char>(byte);
    }
    return bytes;
}
