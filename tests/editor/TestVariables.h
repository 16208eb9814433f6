#pragma once

#include "schema/ViewVariable.h"

// A variable as the window's trees and the check take it: its ID, caption,
// type, group and whether it has a value list.
inline nvtarnix::ViewVariable testVariable(const QString &id, const QString &caption, int type,
                                           const QString &group = {}, int valueList = 0)
{
    nvtarnix::ViewVariable v;
    v.varID = id;
    v.vardescription = caption;
    v.vartype = type;
    v.groupcaption = group;
    v.hasvaluelist = valueList;
    return v;
}
