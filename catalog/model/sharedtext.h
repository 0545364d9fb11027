#pragma once

#include <QSharedData>
#include <QString>

// A text that many records share, one pointer wide where a QString takes three: the loaded
// track list holds its artists, albums and playing times this way, since a million tracks
// name a few thousand of each. Reads as the QString it holds; immutable once made.
class SharedText {
public:
    SharedText() = default;
    SharedText(const QString& text) : m_node(new Node{{}, text}) {} // NOLINT: reads as a QString
    SharedText(const char* text) : SharedText(QString::fromUtf8(text)) {} // NOLINT

    const QString& text() const { return m_node ? m_node->text : nullText(); }
    operator const QString&() const { return text(); } // NOLINT: reads as a QString

private:
    struct Node : QSharedData {
        QString text;
    };
    static const QString& nullText() {
        static const QString null;
        return null;
    }
    QExplicitlySharedDataPointer<const Node> m_node;
};
