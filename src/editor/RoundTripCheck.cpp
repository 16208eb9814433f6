#include "editor/RoundTripCheck.h"

#include "editor/ScriptSpans.h"
#include "support/MlStringModule.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace nvtarnix::editor {

namespace {

QString idToken(const QString &varID)
{
    return QLatin1Char('[') + varID + QLatin1Char(']');
}

// The closed bracketed references of a text, as written.
QStringList referencesOf(const QString &text)
{
    QStringList references;
    for (const ScriptSpan &span : scriptSpans(text)) {
        if (span.kind == ScriptSpan::Reference && span.closed)
            references.append(text.mid(span.start, span.length));
    }
    return references;
}

} // namespace

QVector<NameChange> namesThatChange(const QString &displayText, const QString &openedDatabaseText,
                                    const QVector<ViewVariable> &variables, const ScriptConversion &toDatabase,
                                    const ScriptConversion &toDisplay)
{
    QHash<QString, QList<int>> byName;
    QHash<QString, int> byIdToken;
    for (int i = 0; i < variables.size(); ++i) {
        byName[variables[i].displayName()].append(i);
        byIdToken.insert(idToken(variables[i].varID), i);
    }

    QSet<int> involved;
    for (const QString &reference : referencesOf(displayText)) {
        for (int i : byName.value(reference))
            involved.insert(i);
    }
    // A caption's bracket cuts the reference short: such names are looked
    // for whole.
    for (int i = 0; i < variables.size(); ++i) {
        const QString name = variables[i].displayName();
        if (name.count(u'[') + name.count(u']') > 2 && displayText.contains(name))
            involved.insert(i);
    }
    for (const QString &databaseText : {openedDatabaseText, toDatabase(displayText)}) {
        for (const QString &reference : referencesOf(databaseText)) {
            if (const auto found = byIdToken.constFind(reference); found != byIdToken.cend())
                involved.insert(*found);
        }
    }

    QList<int> order(involved.begin(), involved.end());
    std::sort(order.begin(), order.end());
    QVector<NameChange> changes;
    for (int i : order) {
        const ViewVariable &variable = variables[i];
        const QString own = idToken(variable.varID);
        // Its name as written, and as the wizard shows the stored rule.
        const QString written = variable.displayName();
        const QString shown = toDisplay(own);
        for (const QString &name : {written, shown}) {
            const QString stored = toDatabase(name);
            if (stored != own) {
                changes.append({variable.varID, name, stored});
                break;
            }
        }
    }
    return changes;
}

QString nameChangeLines(const QVector<NameChange> &changes)
{
    QStringList lines;
    for (const NameChange &change : changes) {
        lines.append(GetMlStringOrDefault(1408, QString())
                         .arg(QStringLiteral("%1 (%2)").arg(change.displayName, change.varID), change.storedAs));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace nvtarnix::editor
