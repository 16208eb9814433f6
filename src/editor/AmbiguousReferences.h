#pragma once

#include <nvtarnix/NameAmbiguity.h>

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

// The references of a script that could mean more than one variable of the
// view, or that the brackets of a caption cut short: what the problem marks
// flag so that no ambiguous name goes unnoticed, with the sentence that
// names the variables it could mean.

namespace nvtarnix::editor {

class AmbiguousReferences
{
public:
    AmbiguousReferences() = default;
    explicit AmbiguousReferences(const QVector<NameAmbiguity> &ambiguities);

    // The sentences about every ambiguity a reference written so is part
    // of; empty when it is none's. Letter case does not count, as the
    // script's reader does not mind it.
    QStringList descriptionsOf(QStringView reference) const;

    // A display name holding a bracket that text has at position: its length
    // and its sentences; 0 and none when there is none.
    struct Bracketed
    {
        qsizetype length = 0;
        QStringList descriptions;
    };
    Bracketed bracketedNameAt(QStringView text, qsizetype position) const;

private:
    QHash<QString, QStringList> m_byFoldedName;
    // Longest first, so that a name is not taken for a shorter one it starts
    // with.
    QVector<QPair<QString, QStringList>> m_bracketed;
};

} // namespace nvtarnix::editor
