#pragma once

#include <nvtarnix/VariableRecord.h>

#include <QString>
#include <QVector>

namespace nvtarnix {

class View;

// One variable of a view, as the editor and the check read it: the host's
// record of it, with its ID and its type.
struct ViewVariable : VariableRecord
{
    QString varID;
    int vartype = 0;

    // "[group.caption]" or "[caption]": the variable's token in the display form.
    QString displayName() const;
};

// The view's fields in collection order; an absent view has none.
QVector<ViewVariable> variablesOfView(const View *view);

// The types whose values are text, and those whose values are dates.
bool isTextType(int vartype);
bool isDateType(int vartype);

} // namespace nvtarnix
