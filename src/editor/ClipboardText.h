#pragma once

#include <memory>
#include <string>

#include <QMimeData>

#include "text/CharSet.h"
#include "text/TextSnapshot.h"

// A stream of text on the clipboard or offered as the primary selection, kept as a snapshot of the
// document: its bytes are read, and turned into the clipboard's text, only when a program asks for
// them, so copying a range of any size costs nothing until someone pastes it.
class TClipboardText : public QMimeData {
    Q_OBJECT
public:
    TClipboardText(std::shared_ptr<TTextSnapshot> text, TCharSets set)
        : m_Text(std::move(text)), m_CharSet(set) {}

    const std::shared_ptr<TTextSnapshot>& Snapshot() const { return m_Text; }
    // The character set of the document the text was copied from.
    TCharSets CharSet() const { return m_CharSet; }
    QStringList formats() const override { return {QStringLiteral("text/plain")}; }
    bool hasFormat(const QString& type) const override { return type == QLatin1String("text/plain"); }

protected:
    QVariant retrieveData(const QString& type, QMetaType preferred) const override;

private:
    std::shared_ptr<TTextSnapshot> m_Text;
    TCharSets m_CharSet;
};
