#include "check/ExpressionCheck.h"

#include "schema/BracketReplacer.h"
#include "support/FailureHandling.h"
#include "support/MlStringModule.h"
#include "support/modRegistry.h"
#include "vbscript/ScriptControl.h"

#include <nvtarnix/Error.h>

#include <memory>

namespace nvtarnix::check {

namespace {

const QString kScriptSettingsKey = QStringLiteral("Software\\Microsoft\\Windows Script\\Settings");
const QString kJitDebug = QStringLiteral("JITDebug");
const QString kCrLf = QStringLiteral("\r\n");

void setJitDebug(qint32 value)
{
    try {
        SaveRegistryDword(RegistryRoot::HKEY_CURRENT_USER, kScriptSettingsKey, kJitDebug, value);
    } catch (...) {
        logSkippedFailure();
        // The registry value is a courtesy to other script hosts; the check goes on.
    }
}

// The language the message is written in; the engine's own error texts are
// shown in it too.
int messageLanguage()
{
    try {
        InitLanguage(0);
        return CurrentLanguage();
    } catch (...) {
        logSkippedFailure();
        return 0;
    }
}

QString textOrEmpty(int id)
{
    return GetMlStringOrDefault(id, QString());
}

} // namespace

QString sampleValue(const ViewVariable &variable)
{
    if (isTextType(variable.vartype))
        return QLatin1Char('"') + variable.vardescription + QLatin1Char('"');
    if (isDateType(variable.vartype))
        return kDateSample;
    return kNumberSample;
}

QString BuildTestExpression(const QString &displayText, const QVector<ViewVariable> &variables)
{
    if (displayText.isEmpty())
        return {};
    std::vector<BracketReplacer::Step> steps;
    steps.reserve(variables.size());
    for (const ViewVariable &v : variables)
        steps.push_back({v.displayName(), sampleValue(v)});
    return BracketReplacer(std::move(steps)).apply(displayText);
}

QString composeCheckMessage(const QString &description, int line, int column)
{
    return textOrEmpty(22) + kCrLf
         + textOrEmpty(23) + description + QLatin1Char('\t') + kCrLf
         + textOrEmpty(24) + QString::number(line) + kCrLf
         + textOrEmpty(25) + QString::number(column) + kCrLf;
}

QString checkMessageTitle()
{
    return textOrEmpty(26);
}

void prepareCheckEngine(vbscript::ScriptControl &engine, int timeoutMs)
{
    engine.setLanguage(QStringLiteral("VBScript"));
    engine.reset();
    engine.setAllowUI(false);
    engine.setUseSafeSubset(false);
    engine.setTimeout(timeoutMs);
}

CheckOutcome CheckExpression(const QString &scriptText,
                             const std::function<QVector<ViewVariable>()> &variables,
                             bool removeNewLine)
{
    CheckOutcome outcome;
    outcome.shownText = scriptText;
    setJitDebug(0);

    QString description;
    int line = 0;
    int column = 0;
    bool failed = false;
    try {
        vbscript::ScriptControl engine;
        prepareCheckEngine(engine);
        try {
            if (!scriptText.isEmpty()) {
                if (removeNewLine)
                    outcome.shownText = RemoveLineBreaks(scriptText);
                outcome.testExpression = BuildTestExpression(outcome.shownText, variables());
            }
            engine.eval(outcome.testExpression);
        } catch (const vbscript::ScriptError &error) {
            failed = true;
            description = error.descriptionIn(messageLanguage());
        } catch (const Error &error) {
            // Reading the variables failed: the check fails with that error.
            failed = true;
            description = error.description();
        }
        if (failed) {
            line = engine.error().line();
            column = engine.error().column();
        }
    } catch (const vbscript::ScriptError &error) {
        // The engine could not be made ready: that is a failed check too.
        failed = true;
        description = error.descriptionIn(messageLanguage());
    } catch (const std::exception &error) {
        failed = true;
        description = QString::fromLocal8Bit(error.what());
    }

    if (failed) {
        outcome.message = composeCheckMessage(description, line, column);
        outcome.line = line;
        outcome.description = description;
        outcome.column = column;
    }
    outcome.ok = !failed;
    setJitDebug(1);
    return outcome;
}

} // namespace nvtarnix::check
