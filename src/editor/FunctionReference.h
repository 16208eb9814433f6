#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The reference of the built-in functions: for each, in Greek and English, a
// one-line description, the meaning of each parameter in the order of its
// declaration, and one example. It is a data file of the library's resources
// (function_reference.json), apart from the catalog, whose help texts stay
// the host's.

namespace nvtarnix::editor {

// Where a built-in function sits when the functions are shown by what they
// work on rather than by interface.
enum class FunctionCategory { Text, DateTime, Numbers, Conversion, Tests, Other };

struct FunctionReferenceEntry
{
    QString name;  // as the catalog spells it
    FunctionCategory category = FunctionCategory::Other;
    // One line of VBScript; an expression unless statement is set.
    QString example;
    bool statement = false;
    // The error number the example ends in, where the function can only fail
    // here; 0 otherwise.
    int raises = 0;
    QString summary;
    QStringList parameters;  // one meaning per declared parameter
};

class FunctionReference
{
public:
    static const FunctionReference &instance();

    // The entry of a function (letter case does not count) in a language, in
    // Greek, the default, for a language the reference lacks; none for a
    // function it does not know.
    std::optional<FunctionReferenceEntry> find(const QString &name, int language) const;
    std::optional<FunctionCategory> category(const QString &name) const;
    QStringList names() const;
    QList<int> languages() const { return m_languages; }

private:
    FunctionReference();

    struct Texts
    {
        QString summary;
        QStringList parameters;
    };
    struct Entry
    {
        QString name;
        FunctionCategory category = FunctionCategory::Other;
        QString example;
        bool statement = false;
        int raises = 0;
        QHash<int, Texts> texts;
    };
    QHash<QString, Entry> m_entries;  // by lower-case name
    QList<int> m_languages;
};

// The parameter names of a declaration such as "Mid(string, start, length)".
QStringList declaredParameters(const QString &declaration);

// The example's value in the language's formats ("59", "\"abc\""), or empty
// when it is a statement, fails, or has no value to show (Empty, Null, an
// object, an array).
QString exampleResult(const FunctionReferenceEntry &entry, int language);

// The reference as plain lines for the help line: the description, then the
// example with its value.
QString referenceHelpLine(const FunctionReferenceEntry &entry, int language);

// The reference as paragraphs of plain text for a tooltip: the description,
// one line per parameter ("name: meaning") and the example.
QStringList referenceParagraphs(const FunctionReferenceEntry &entry, const QString &declaration, int language);

// The category's caption in the user-interface language.
QString categoryCaption(FunctionCategory category);

} // namespace nvtarnix::editor
