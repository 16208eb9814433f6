#include "editor/AmbiguousReferences.h"

#include "schema/NameAmbiguities.h"

#include <algorithm>

namespace nvtarnix::editor {

AmbiguousReferences::AmbiguousReferences(const QVector<NameAmbiguity> &ambiguities)
{
    for (const NameAmbiguity &ambiguity : ambiguities) {
        const QString description = describeAmbiguity(ambiguity);
        if (ambiguity.kind == NameAmbiguity::BracketInCaption) {
            m_bracketed.append({ambiguity.name, {description}});
            continue;
        }
        // Every name involved: those of a collision by case differ, and a
        // name equal to another's ID makes the conversions chain the other
        // variable's name into it.
        QStringList spellings{ambiguity.name.toCaseFolded()};
        for (const QString &name : ambiguity.displayNames)
            spellings.append(name.toCaseFolded());
        spellings.removeDuplicates();
        for (const QString &spelling : spellings) {
            QStringList &descriptions = m_byFoldedName[spelling];
            if (!descriptions.contains(description))
                descriptions.append(description);
        }
    }
    std::stable_sort(m_bracketed.begin(), m_bracketed.end(),
                     [](const auto &a, const auto &b) { return a.first.size() > b.first.size(); });
}

QStringList AmbiguousReferences::descriptionsOf(QStringView reference) const
{
    if (m_byFoldedName.isEmpty())
        return {};
    return m_byFoldedName.value(reference.toString().toCaseFolded());
}

AmbiguousReferences::Bracketed AmbiguousReferences::bracketedNameAt(QStringView text, qsizetype position) const
{
    const QStringView rest = text.mid(position);
    for (const auto &[name, descriptions] : m_bracketed) {
        if (rest.startsWith(name, Qt::CaseInsensitive))
            return {name.size(), descriptions};
    }
    return {};
}

} // namespace nvtarnix::editor
