#include "schema/NameAmbiguities.h"

#include "support/MlStringModule.h"

#include <QHash>

namespace nvtarnix {

namespace {

// The string table's texts of each kind, in the order of NameAmbiguity::Kind.
constexpr int kDescriptionText[] = {1401, 1402, 1403, 1404, 1405};

QString folded(const QString &text)
{
    return text.toCaseFolded();
}

bool holdsBracket(const QString &text)
{
    return text.contains(u'[') || text.contains(u']');
}

NameAmbiguity ambiguityOf(NameAmbiguity::Kind kind, const QString &name, const QVector<ViewVariable> &variables,
                          const QList<int> &involved)
{
    NameAmbiguity ambiguity;
    ambiguity.kind = kind;
    ambiguity.name = name;
    for (int i : involved) {
        ambiguity.varIDs.append(variables[i].varID);
        ambiguity.displayNames.append(variables[i].displayName());
    }
    return ambiguity;
}

} // namespace

QVector<NameAmbiguity> findNameAmbiguities(const QVector<ViewVariable> &variables)
{
    QStringList names;
    names.reserve(variables.size());
    QHash<QString, QList<int>> byName;
    QHash<QString, QList<int>> byFoldedName;
    QHash<QString, int> byFoldedIdToken;
    for (int i = 0; i < variables.size(); ++i) {
        names.append(variables[i].displayName());
        byName[names[i]].append(i);
        byFoldedName[folded(names[i])].append(i);
        byFoldedIdToken.insert(folded(QLatin1Char('[') + variables[i].varID + QLatin1Char(']')), i);
    }

    QVector<NameAmbiguity> found;
    for (int i = 0; i < variables.size(); ++i) {
        const ViewVariable &variable = variables[i];
        const QString &name = names[i];

        const QList<int> &same = byName[name];
        if (same.size() > 1 && same.first() == i) {
            // One text, split differently into group and caption, is the
            // collision through dots; otherwise the two are plain twins.
            bool splitDiffers = false;
            for (int j : same)
                splitDiffers |= variables[j].groupcaption != variable.groupcaption;
            found.append(ambiguityOf(splitDiffers ? NameAmbiguity::ThroughDots : NameAmbiguity::SameName, name,
                                     variables, same));
        }

        const QList<int> &alike = byFoldedName[folded(name)];
        if (alike.size() > 1 && alike.first() == i) {
            bool caseDiffers = false;
            for (int j : alike)
                caseDiffers |= names[j] != name;
            if (caseDiffers)
                found.append(ambiguityOf(NameAmbiguity::CaseOnly, name, variables, alike));
        }

        // A name that is its own ID's token is no ambiguity: both forms agree.
        const int owner = byFoldedIdToken.value(folded(name), -1);
        if (owner >= 0 && owner != i)
            found.append(ambiguityOf(NameAmbiguity::CaptionIsId, name, variables,
                                     owner < i ? QList<int>{owner, i} : QList<int>{i, owner}));

        if (holdsBracket(variable.groupcaption) || holdsBracket(variable.vardescription))
            found.append(ambiguityOf(NameAmbiguity::BracketInCaption, name, variables, {i}));
    }
    return found;
}

QString ambiguityCandidate(const NameAmbiguity &ambiguity, qsizetype index)
{
    return QStringLiteral("%1 (%2)").arg(ambiguity.displayNames.value(index), ambiguity.varIDs.value(index));
}

QString describeAmbiguity(const NameAmbiguity &ambiguity)
{
    QStringList candidates;
    for (qsizetype i = 0; i < ambiguity.varIDs.size(); ++i)
        candidates.append(ambiguityCandidate(ambiguity, i));
    return GetMlStringOrDefault(kDescriptionText[ambiguity.kind], QString())
        .arg(ambiguity.name, candidates.join(QStringLiteral(", ")));
}

} // namespace nvtarnix
