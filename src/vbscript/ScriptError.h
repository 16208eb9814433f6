#pragma once

#include <QString>
#include <exception>

namespace vbscript {

// Where an error comes from, as VBScript names it in the error's source.
enum class ErrorKind { Runtime, Compile, User };

// The errors VBScript names, by name, so code reads as intent: the enum is
// made from the catalogue (ErrorCatalog.inc), which holds each one's number,
// kind and texts. Unscoped so that a code compares with a number read from
// an error (`e.number() == err::TypeMismatch`).
namespace err {
enum Code : int {
#define VBSCRIPT_ERROR(name, number, kind, english, greek) name = number,
#include "vbscript/ErrorCatalog.inc"
#undef VBSCRIPT_ERROR
};
} // namespace err

// One failure of the engine: a numbered error with VBScript's description and
// source. Errors of code (compile errors, run-time errors raised while a
// statement runs) also say where they lie: line 1-based, column 0-based in that
// line, and the text of the line.
class ScriptError : public std::exception
{
public:
    ScriptError() = default;
    ScriptError(int number, QString description, QString source);

    // A run-time error with VBScript's text for `code`; `name`, when given, is
    // appended as VBScript does ("Type mismatch: 'foo'").
    static ScriptError runtime(err::Code code, const QString &name = QString());
    // A compile error with VBScript's text for `code`.
    static ScriptError compile(err::Code code, int line = 0, int column = 0,
                               const QString &lineText = QString());
    // Whether `number` is one of the catalogue's compile errors.
    static bool isCompileNumber(int number);
    // VBScript's own English text for an error number, or an empty string.
    static QString standardText(int number);
    // The same text in a user-interface language (a Windows language id:
    // 1032 Greek); English for every language without texts of its own.
    static QString standardText(int number, int language);
    // What a run-time error reads when VBScript has no text for its number.
    static QString unknownRuntimeText();
    static QString runtimeSource();
    static QString compileSource();

    int number() const { return m_number; }
    // The description as scripts see it in Err.Description: always English
    // for the engine's own errors.
    const QString &description() const { return m_description; }
    // The description for a user of the given language: the engine's own text
    // (with the function's name it may carry) in that language; a text that a
    // script or a host supplied is returned unchanged.
    QString descriptionIn(int language) const;
    const QString &source() const { return m_source; }
    int line() const { return m_line; }
    int column() const { return m_column; }
    const QString &lineText() const { return m_lineText; }
    bool hasPosition() const { return m_line > 0; }
    ErrorKind kind() const { return m_kind; }

    void setPosition(int line, int column, const QString &lineText);
    void setDescription(const QString &d) { m_description = d; }
    void setSource(const QString &s) { m_source = s; }
    void setKind(ErrorKind k) { m_kind = k; }

    const char *what() const noexcept override;

private:
    int m_number = 0;
    QString m_description;
    QString m_source;
    int m_line = 0;
    int m_column = 0;
    QString m_lineText;
    ErrorKind m_kind = ErrorKind::Runtime;
    mutable QByteArray m_what;
};


// Throws the run-time error `code` with VBScript's text, `name` appended where
// VBScript appends it. The one way the engine's code raises its own errors;
// the parser raises compile errors through ScriptError::compile, which adds
// where the fault lies.
[[noreturn]] void raise(err::Code code, const QString &name = QString());

} // namespace vbscript
