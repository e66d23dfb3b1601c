#include "editor/ClipboardText.h"

#include "editor/QtText.h"

QString TClipboardText::TextOf(const std::string& bytes) {
    return FromWindows1252(bytes);
}

QVariant TClipboardText::retrieveData(const QString& type, QMetaType) const {
    if (type != QLatin1String("text/plain")) return {};
    return TextOf(m_Text->Bytes());
}
