#pragma once

#include <QHash>
#include <QString>

namespace nvtarnix {

// The component's user-interface texts by string id and language, read once
// from its resources.
class StringTable
{
public:
    static const StringTable &instance();

    // The text of id in language; an empty string when either is unknown.
    QString text(int id, int language) const;
    bool hasLanguage(int language) const { return m_languages.contains(language); }

private:
    StringTable();

    QHash<int, QHash<int, QString>> m_texts;
    QList<int> m_languages;
};

} // namespace nvtarnix
