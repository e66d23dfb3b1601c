#include "editor/ClipboardText.h"

#include "editor/QtText.h"

QVariant TClipboardText::retrieveData(const QString& type, QMetaType) const {
    if (type != QLatin1String("text/plain")) return {};
    return TextToUnicode(m_Text->Bytes(), m_CharSet);
}
