#pragma once

#include "editor/EditorTrees.h"
#include "vbscript/CompiledExpression.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/Variant.h"

#include <nvtarnix/Language.h>

#include <QDate>
#include <QHash>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>

// The live preview without a window: the value the script's display text
// yields with every variable given its sample value, written in the
// user-interface language (its formats, its words for True and False), or the
// error's number and text; beside it the value's type and the samples the
// variables were given, for the line's tooltip. It runs on any thread; a
// cancel flag set from another thread stops it.

namespace nvtarnix::editor {

// How a sample's text is read: as the host wrote it (sampledata, numbers with
// a dot) or as the user typed it in the window's language.
enum class SampleSource { Host, User };

// The value of a variable's sample text for its type: text types keep the
// text, date types read it as a date, every other type as a number. Text that
// does not read as the type stays a String.
vbscript::Variant sampleFromText(const QString &text, int vartype, SampleSource source,
                                 const vbscript::ScriptLocale &userLocale);

// The preview's sample for the variable's type when neither the user nor the
// host gave one: the caption for text types, today (at midnight) for dates,
// so that a rule about [Today] previews as it runs today, and 1 for the rest.
vbscript::Variant defaultSample(const EditorVariable &variable, const QDate &today);

// The sample a variable gets: the user's value for the session when given,
// else the field's sampledata when set, else the default sample.
vbscript::Variant sampleOf(const EditorVariable &variable, const QString *userText,
                           const vbscript::ScriptLocale &userLocale, const QDate &today);

// The language's words for the two Boolean values.
struct BooleanWords
{
    QString trueWord = QStringLiteral("True");
    QString falseWord = QStringLiteral("False");
};

// "Αληθές", "\"ABC\"", "2,5", "28/10/2000": the value as CStr writes it in
// locale (strings in quotes), a Boolean in the language's words. Empty, Null,
// arrays and objects are their type name alone.
QString previewValueText(const vbscript::Variant &value, const vbscript::ScriptLocale &locale,
                         const BooleanWords &words = {});

struct PreviewJob
{
    QString displayText;
    // The text as the window already compiled it, or its compile error; with
    // neither the text is compiled here.
    std::shared_ptr<const vbscript::CompiledExpression> compiled;
    std::optional<vbscript::ScriptError> compileError;
    // The view's variables and the user's sample texts by variable ID; each
    // variable the expression reads gets sampleOf, found by its display name
    // without brackets and without regard to case, as the engine names it.
    QVector<EditorVariable> variables;
    QHash<QString, QString> userTexts;
    vbscript::ScriptLocale locale;
    // The language of the engine's error texts, and the form of an error
    // line (the string table is read on the UI thread, so it comes along).
    int language = GreekLanguage;
    QString errorFormat = QStringLiteral("Error %1: %2");
    BooleanWords words;
    // The day that date variables without a sample take.
    QDate today = QDate::currentDate();
    int timeoutMs = 5000;
};

struct PreviewResult
{
    // What the line shows: the value, or the error line.
    QString text;
    // The engine's type name of the value; empty for an error.
    QString typeName;
    // "[Order.Amount] = 1", one for each variable the text reads, in the
    // order it reads them, with the sample it was given.
    QStringList samples;
};

// Empty for an empty text. Names that are no variable of the view are Empty.
PreviewResult runPreview(const PreviewJob &job, const std::atomic_bool *cancel);

// The line's tooltip: what the line is, the value's type, the samples.
QString previewToolTip(const QString &about, const QString &typeFormat, const PreviewResult &result);

} // namespace nvtarnix::editor
