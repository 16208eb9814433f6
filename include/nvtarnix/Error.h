#pragma once

#include <nvtarnix/Export.h>

#include <QString>

#include <exception>
#include <string>

namespace nvtarnix {

// The numbers an nvtarnix::Error carries, each named once, for a host that
// compares them. An expression's own errors (a text that does not compile,
// a value of the wrong type while it runs, ...) keep the engine's numbers
// (1002 "Syntax error", 11 "Division by zero", ...); the ones below are those
// the component and its programs raise themselves, and those a host meets
// most.
namespace errors {
enum Number : int {
    // The platform's own numbers, with its texts, as hosts and scripts
    // written for the platform compare them.
    InvalidProcedureCall = 5,    // an argument the call cannot take
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,     // a collection index or key not there
    TypeMismatch = 13,
    ErrorLoadingLibrary = 48,    // a module that cannot be loaded
    InternalError = 51,
    FileNotFound = 53,
    FileAccess = 75,             // a file that cannot be read or written
    ObjectNotSet = 91,           // a missing view, catalog or document
    KeyAlreadyAssociated = 457,  // a key a collection already holds

    // The wizard's own state.
    CurrentViewMissing = 101,
    SchemaNotInitialized = 102,

    // Documents the component reads.
    InvalidSchemaDocument = 31037,         // not a schema document, or truncated
    InvalidFunctionDocument = -2147467259, // a function catalog that cannot be read

    // Value lists: the numbers ADO raises for the same mistakes, so that a
    // host's error handling reads alike whichever recordset it supplies.
    ValueListInvalidArgument = 3001,        // a sort text that cannot be read
    ValueListNoCurrentRecord = 3021,        // reading or moving past the end
    ValueListSortNotSupported = 3251,       // setSort on a recordset that cannot sort
    ValueListItemNotFound = 3265,           // a field name the recordset does not have
    ValueListObjectClosed = 3704,           // a command that returned no rows
    ValueListConnectionInvalid = 3709,      // a database that is not open
    ValueListCommandFailed = -2147217900,   // the database refused the query
    // A database file another program holds locked, or one with an
    // unfinished write that only a program with write access can roll back.
    DatabaseLocked = 3730,

    // An expression that ran past its time limit, or whose run was cancelled.
    TimeLimitReached = -2147467260,
};
} // namespace errors

// A numbered error as the host sees it: the number, the component or library
// that raised it (its source) and a description. The component's own errors,
// the schema's and the platform's (13 "Type mismatch", 91 "Object variable or
// With block variable not set", ...) all travel as this one type.
class NVTARNIX_EXPORT Error : public std::exception
{
public:
    Error(int number, QString source, QString description)
        : Error(number, std::move(source), std::move(description), 0, 0)
    {
    }

    // An error about a text (an expression that does not compile, or fails
    // while it runs) also says where it lies: `line` 1-based, `column` 0-based.
    Error(int number, QString source, QString description, int line, int column)
        : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
          m_line(line), m_column(column),
          m_what(QStringLiteral("%1 (%2): %3").arg(m_number).arg(m_source, m_description).toStdString())
    {
    }

    int number() const noexcept { return m_number; }
    const QString &source() const noexcept { return m_source; }
    const QString &description() const noexcept { return m_description; }
    // The description for a user who reads `language` (GreekLanguage or
    // EnglishLanguage of <nvtarnix/Language.h>): the engine's and the
    // platform's texts, which description() gives as scripts read them in
    // Err.Description ("Variable is undefined: 'X'"), in that language with
    // what follows them kept ("Η μεταβλητή δεν έχει δηλωθεί: 'X'"). A text
    // of the host's own, or of a script's Err.Raise, is returned as it is.
    QString descriptionIn(int language) const;
    // 0 for errors that are not about a text.
    int line() const noexcept { return m_line; }
    int column() const noexcept { return m_column; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_source;
    QString m_description;
    int m_line = 0;
    int m_column = 0;
    std::string m_what;
};

} // namespace nvtarnix
