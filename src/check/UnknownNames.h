#pragma once

#include "schema/ViewVariable.h"

#include <QSet>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

// The names of an expression that neither the view nor the engine knows.
// The check as it always was lets them pass: an unknown [reference] or a
// plain unknown name reads as Empty, so the rule is stored and fails, or
// selects the wrong rows, only later. With guided editing the check and OK
// stop at the first one, say where it is and what was probably meant.

namespace nvtarnix::check {

struct UnknownName
{
    enum Kind { Variable, Function, Name };
    Kind kind = Variable;
    // As written: "[Order.Foo]" with its brackets, a function's or a name's word.
    QString name;
    // What it was probably meant to be; empty when nothing is near.
    QString suggestion;
    // Where it is written: line 1-based, column 0-based, and its length.
    int line = 1;
    int column = 0;
    qsizetype length = 0;
};

// The nearest known name to a misspelt one, or empty.
using NearestName = std::function<QString(const QString &)>;

struct KnownNames
{
    QVector<ViewVariable> variables;
    // Functions the host's catalog offers besides the engine's own, in any
    // letter case.
    QSet<QString> functions;
    NearestName nearestVariable;
    NearestName nearestFunction;
};

// Every unknown name of the display text, in text order; none when every
// name is known or the text does not even read (the check reports that).
QVector<UnknownName> findUnknownNames(const QString &displayText, const KnownNames &known);
// The first of them.
std::optional<UnknownName> findUnknownName(const QString &displayText, const KnownNames &known);

// "Unknown variable [Order.Foo]. Did you mean [Order.Amount]?" in the
// user-interface language.
QString unknownNameText(const UnknownName &unknown);

// Every function name the engine knows, for the suggestion list.
QStringList engineFunctionNames();

} // namespace nvtarnix::check
