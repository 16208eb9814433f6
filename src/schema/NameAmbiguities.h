#pragma once

#include "schema/ViewVariable.h"

#include <nvtarnix/NameAmbiguity.h>

#include <QString>
#include <QVector>

// Finding the names of a view that a script cannot tell apart, and saying
// what each means in the user-interface language. Names are compared as a
// script's reader compares them: VBScript names do not mind letter case.

namespace nvtarnix {

// Every ambiguity of the variables, in the order of the variable each starts
// at. Costs a hash lookup or two per variable, so it runs whenever a view is
// read.
QVector<NameAmbiguity> findNameAmbiguities(const QVector<ViewVariable> &variables);

// "[Order.Num2] (ORD_NUM2)": a variable as a warning names it.
QString ambiguityCandidate(const NameAmbiguity &ambiguity, qsizetype index);
// One sentence that names the ambiguous text and the variables involved.
QString describeAmbiguity(const NameAmbiguity &ambiguity);

} // namespace nvtarnix
