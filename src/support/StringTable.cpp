#include "support/StringTable.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace nvtarnix {

const StringTable &StringTable::instance()
{
    static const StringTable table;
    return table;
}

StringTable::StringTable()
{
    // The table is compiled into the library; it cannot go missing at run time
    // short of a broken build, which the tests catch.
    QFile file(QStringLiteral(":/nvtarnix/strings.json"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject ids = QJsonDocument::fromJson(file.readAll()).object();
    for (auto id = ids.begin(); id != ids.end(); ++id) {
        const QJsonObject languages = id.value().toObject();
        for (auto lang = languages.begin(); lang != languages.end(); ++lang) {
            const int language = lang.key().toInt();
            m_texts[id.key().toInt()].insert(language, lang.value().toString());
            if (!m_languages.contains(language))
                m_languages.append(language);
        }
    }
}

QString StringTable::text(int id, int language) const
{
    return m_texts.value(id).value(language);
}

} // namespace nvtarnix
