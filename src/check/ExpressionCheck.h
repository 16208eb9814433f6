#pragma once

#include "schema/ViewVariable.h"

#include <QString>
#include <QVector>

#include <functional>

namespace vbscript {
class ScriptControl;
}

// The expression check, without a window: the display form of a script is
// turned into a test expression (every variable's display name replaced by a
// sample of its type) and evaluated by our VBScript engine. The editor window
// and the command-line check both use it.

namespace nvtarnix::check {

// The date-time sample, written as a date literal so that date variables work
// in date functions as well as inside strings.
inline const QString kDateSample = QStringLiteral("#10/28/2000 14:45:45#");
inline const QString kNumberSample = QStringLiteral("(1)");
// An expression that runs longer than this fails the check.
inline constexpr int kCheckTimeoutMs = 5000;

// The sample that stands in for a variable: its caption in quotes for text
// types, the date literal for date types, "(1)" for every other type.
QString sampleValue(const ViewVariable &variable);

// Replaces each display name by its sample, variable by variable in view order;
// exact case, left to right, never searching a replacement again.
QString BuildTestExpression(const QString &displayText, const QVector<ViewVariable> &variables);

// The message shown for a failed check: texts 22 to 25 around the engine's
// description, line and column, each piece on its own line. CheckExpression
// gives the engine's own texts in the user-interface language; scripts keep
// reading them in English in Err.Description.
QString composeCheckMessage(const QString &description, int line, int column);
// Title of that message (text 26).
QString checkMessageTitle();

struct CheckOutcome
{
    bool ok = false;
    // The script as the editor shows it after the check (line breaks turned
    // into blanks when the owner asks for it).
    QString shownText;
    QString testExpression;
    // Empty when the check passed.
    QString message;
    // The engine's description of the failure, and the column (0-based) it
    // placed it at in the text evaluated.
    QString description;
    int column = 0;
    // The line (1-based) the engine placed the failure on; lines are the same
    // in the script and in the text evaluated. 0 when it named none.
    int line = 0;
};

// Makes a new engine ready as the check runs it: VBScript, no UI, the whole
// language (not the safe subset) and a time limit.
void prepareCheckEngine(vbscript::ScriptControl &engine, int timeoutMs = kCheckTimeoutMs);

// Runs the whole check. variables is asked only when the script is not empty;
// an error it raises fails the check with that error's description. The
// registry value JITDebug is 0 while the engine runs and 1 afterwards.
CheckOutcome CheckExpression(const QString &scriptText,
                             const std::function<QVector<ViewVariable>()> &variables,
                             bool removeNewLine);

} // namespace nvtarnix::check
