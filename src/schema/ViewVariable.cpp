#include "schema/ViewVariable.h"

#include "schema/DisplayName.h"

#include <nvtarnix/View.h>

namespace nvtarnix {

QString ViewVariable::displayName() const
{
    return nvtarnix::displayName(*this);
}

QVector<ViewVariable> variablesOfView(const View *view)
{
    QVector<ViewVariable> variables;
    if (!view)
        return variables;
    const auto &fields = view->Fields();
    variables.reserve(fields.Count());
    for (qsizetype i = 1; i <= fields.Count(); ++i) {
        const auto &field = fields.Item(i);
        if (!field)
            continue;
        ViewVariable variable;
        static_cast<VariableRecord &>(variable) = field->record();
        variable.varID = field->ID();
        variable.vartype = field->vartype();
        variables.append(std::move(variable));
    }
    return variables;
}

bool isTextType(int vartype)
{
    return vartype == 0 || vartype == 1 || vartype == 10 || vartype == 21;
}

bool isDateType(int vartype)
{
    return vartype == 4 || vartype == 23;
}

} // namespace nvtarnix
