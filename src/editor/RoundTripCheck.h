#pragma once

#include "schema/ViewVariable.h"

#include <QString>
#include <QVector>

#include <functional>

// Whether the variables of a rule survive the conversions unchanged. The
// wizard shows a rule in display form and stores it in database form; where
// display names collide, a variable's name may be stored as another
// variable's ID, and the rule would then read that variable without a word.
// OK asks about every such variable before it accepts.

namespace nvtarnix::editor {

struct NameChange
{
    // The variable as the rule meant it, and the name the user sees for it.
    QString varID;
    QString displayName;
    // What that name would be stored as instead of "[varID]".
    QString storedAs;

    friend bool operator==(const NameChange &, const NameChange &) = default;
};

using ScriptConversion = std::function<QString(const QString &)>;

// The variables of the rule whose name does not convert back to their own
// ID: those the display text names and those the database text (before and
// after the edit) reads, each once, in the view's order.
QVector<NameChange> namesThatChange(const QString &displayText, const QString &openedDatabaseText,
                                    const QVector<ViewVariable> &variables, const ScriptConversion &toDatabase,
                                    const ScriptConversion &toDisplay);

// The question's list: one line per variable.
QString nameChangeLines(const QVector<NameChange> &changes);

} // namespace nvtarnix::editor
