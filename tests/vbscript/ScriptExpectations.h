#pragma once

// What a script test expects, read from its comments:
//
//     Show r  ' expect: Integer 55     the next value shown is this TypeName and text
//     x = 1 / 0  ' expect error: 11    the script ends in error 11 on this line
//     ' expect error: 1014             ... somewhere (a comment on a line of its own)
//
// Values are shown as `tarnix eval` prints them, TypeName and canonical text
// separated by a blank. A script expects no error unless it says so, and may
// expect one at most.

#include <QString>
#include <QStringList>

struct ScriptExpectations
{
    QStringList shown;     // in order
    int errorNumber = 0;   // 0: the script runs to its end
    int errorLine = 0;     // 0: anywhere

    static ScriptExpectations read(const QString &source);
};
