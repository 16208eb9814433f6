#pragma once

#include "editor/EditorTrees.h"
#include "vbscript/CompiledExpression.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/Variant.h"

#include <nvtarnix/Language.h>

#include <QHash>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>

// The live preview without a window: the value the script's display text
// yields with every variable given its sample value, written as
// "TypeName: value" in the user-interface language's formats, or the error's
// number and text. It runs on any thread; a cancel flag set from another
// thread stops it.

namespace nvtarnix::editor {

// How a sample's text is read: as the host wrote it (sampledata, numbers with
// a dot) or as the user typed it in the window's language.
enum class SampleSource { Host, User };

// The value of a variable's sample text for its type: text types keep the
// text, date types read it as a date, every other type as a number. Text that
// does not read as the type stays a String.
vbscript::Variant sampleFromText(const QString &text, int vartype, SampleSource source,
                                 const vbscript::ScriptLocale &userLocale);

// The check's sample for the variable's type, as a value: the caption for
// text types, 28/10/2000 14:45:45 for dates, 1 for the rest.
vbscript::Variant defaultSample(const EditorVariable &variable);

// The sample a variable gets: the user's value for the session when given,
// else the field's sampledata when set, else the check's sample.
vbscript::Variant sampleOf(const EditorVariable &variable, const QString *userText,
                           const vbscript::ScriptLocale &userLocale);

// "Boolean: True", "String: \"ABC\"", "Double: 2,5", "Date: 28/10/2000": the
// engine's type name and the value as CStr writes it in locale (strings in
// quotes). Empty and Null are their type name alone.
QString previewValueText(const vbscript::Variant &value, const vbscript::ScriptLocale &locale);

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
    int timeoutMs = 5000;
};

// Empty for an empty text. Names that are no variable of the view are Empty.
QString runPreview(const PreviewJob &job, const std::atomic_bool *cancel);

} // namespace nvtarnix::editor
