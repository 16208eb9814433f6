#pragma once

#include <QString>

namespace nvtarnix {

// What the host tells the wizard about one variable besides its ID and its
// type: how it is shown, where its value list comes from, and its help.
// TarnixObject::AddVariable fills one record and gives it to the variable's
// catalog field and to its view field, so the two always agree; a host that
// builds a schema itself can do the same with VariableField::setRecord.
struct VariableRecord
{
    // The caption: the variable's node text in the wizard's variable tree and
    // its name in the display form of an expression, "[vardescription]", or
    // "[groupcaption.vardescription]" when it has a group.
    QString vardescription;
    // The group node the variable is listed under; empty for none.
    QString groupcaption;
    // 1 or 2 when the host answers ListSourceRequest for this variable, so
    // the wizard offers its value list; any other value offers none.
    int hasvaluelist = 0;
    // The name of the value list, passed to the host in ListSourceRequest.
    QString valuelist;
    // The recordset fields of the list that hold an entry's code (the text
    // the wizard inserts) and its description (the text it shows).
    QString listvalue;
    QString ListText;
    // A sample value and the host's search kind; kept for the host, the
    // wizard does not read them.
    QString sampledata;
    int searchtype = 0;
    // The help line the wizard shows when the variable's node is clicked.
    QString helpstring;

    friend bool operator==(const VariableRecord &, const VariableRecord &) = default;
};

// Whether a variable with this hasvaluelist offers a value list: the one
// reading of the field, for the wizard, its trees and hosts alike.
constexpr bool offersValueList(int hasvaluelist)
{
    return hasvaluelist == 1 || hasvaluelist == 2;
}

} // namespace nvtarnix
