#include "editor/ClipboardText.h"

#include "editor/QtText.h"

QString TClipboardText::TextOf(const std::string& bytes, TCharSets set) {
    return TextToUnicode(bytes, set);
}

QVariant TClipboardText::retrieveData(const QString& type, QMetaType) const {
    if (type != QLatin1String("text/plain")) return {};
    return TextOf(m_Text->Bytes(), m_CharSet);
}
