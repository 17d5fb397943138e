#pragma once

#include <QHash>
#include <QList>
#include <QString>

// A tiny HTML reader for checking the demo pages: it builds the element tree, insists that every
// element but the void ones is closed in order, and finds elements by tag and class.
class HtmlScan
{
public:
    struct Element
    {
        QString tag;
        QHash<QString, QString> attributes; // values with entities decoded
        QString text; // all text inside, entities decoded
        int parent = -1;
    };

    explicit HtmlScan(const QString &html);

    QString error() const { return m_error; } // empty when the page is well formed
    QString attribute(int index, const char *name) const;

    // Elements with this tag and class (any, when empty) inside `within` (-1: the whole page).
    QList<int> find(const char *tag, const char *className = "", int within = -1) const;
    // The texts of those elements, or the values of their attribute `name`.
    QStringList values(const char *tag, const char *className, int within,
                       const char *name = nullptr) const;

private:
    QList<Element> m_elements;
    QString m_error;
};
