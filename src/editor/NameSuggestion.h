#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The nearest known name to a misspelt one, by edit distance (insertions,
// deletions and substitutions of one character each), comparing without
// regard to case or accents.

namespace nvtarnix::editor {

// The edit distance of a and b, or limit + 1 when it is larger than limit.
int editDistance(QStringView a, QStringView b, int limit);

class NameSuggestion
{
public:
    NameSuggestion() = default;
    explicit NameSuggestion(const QStringList &names);

    // The nearest name (the first of equals in the given order), or empty when
    // there are no names or none is nearer than the name's own length, so that
    // a wholly different name gets no suggestion.
    QString nearest(const QString &name) const;

private:
    QStringList m_names;
    QStringList m_folded;
};

} // namespace nvtarnix::editor
