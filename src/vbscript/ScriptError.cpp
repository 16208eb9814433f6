#include "vbscript/ScriptError.h"

#include <QHash>

#include <iterator>

namespace vbscript {

namespace {

// Each error's number, kind and texts, in the catalogue's order.
struct CatalogEntry
{
    int number;
    ErrorKind kind;
    const char *english;
    const char *greek;
};

constexpr CatalogEntry kCatalog[] = {
#define VBSCRIPT_ERROR(name, number, kind, english, greek) {number, ErrorKind::kind, english, greek},
#include "vbscript/ErrorCatalog.inc"
#undef VBSCRIPT_ERROR
};

// Each number once, and no text missing in either language.
constexpr bool catalogIsWellFormed()
{
    for (size_t i = 0; i < std::size(kCatalog); ++i) {
        if (kCatalog[i].english[0] == '\0' || kCatalog[i].greek[0] == '\0')
            return false;
        for (size_t j = i + 1; j < std::size(kCatalog); ++j)
            if (kCatalog[i].number == kCatalog[j].number)
                return false;
    }
    return true;
}
static_assert(catalogIsWellFormed(), "ErrorCatalog.inc: a number twice or a text missing");

constexpr int kGreek = 1032;

// What a run-time error reads when VBScript has no text for its number.
constexpr CatalogEntry kUnknownRuntimeError = {0, ErrorKind::Runtime, "Unknown runtime error",
                                               "Άγνωστο σφάλμα εκτέλεσης"};

struct Texts
{
    QString english;
    QString greek;
    ErrorKind kind = ErrorKind::Runtime;
};

const QHash<int, Texts> &textTable()
{
    static const QHash<int, Texts> table = [] {
        QHash<int, Texts> t;
        for (const CatalogEntry &e : kCatalog)
            t.insert(e.number, {QString::fromLatin1(e.english), QString::fromUtf8(e.greek), e.kind});
        return t;
    }();
    return table;
}

// The English text with what follows it: nothing, or the name of the
// function the error came from (": 'CLng'").
bool isTextWithSuffix(const QString &description, const QString &english)
{
    return !english.isEmpty() && description.startsWith(english)
        && (description.size() == english.size()
            || QStringView(description).mid(english.size()).startsWith(QLatin1String(": '")));
}

} // namespace

ScriptError::ScriptError(int number, QString description, QString source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source))
{
}

QString ScriptError::runtimeSource()
{
    return QStringLiteral("Microsoft VBScript runtime error");
}

QString ScriptError::compileSource()
{
    return QStringLiteral("Microsoft VBScript compilation error");
}

QString ScriptError::standardText(int number)
{
    return textTable().value(number).english;
}

QString ScriptError::standardText(int number, int language)
{
    const Texts texts = textTable().value(number);
    return language == kGreek && !texts.greek.isEmpty() ? texts.greek : texts.english;
}

QString ScriptError::unknownRuntimeText()
{
    return QString::fromLatin1(kUnknownRuntimeError.english);
}

QString ScriptError::descriptionIn(int language) const
{
    if (language != kGreek)
        return m_description;
    const QString english = standardText(m_number);
    if (isTextWithSuffix(m_description, english))
        return standardText(m_number, language) + m_description.mid(english.size());
    const QString unknown = unknownRuntimeText();
    if (isTextWithSuffix(m_description, unknown))
        return QString::fromUtf8(kUnknownRuntimeError.greek) + m_description.mid(unknown.size());
    // A text the script or the host gave is theirs: it stays as it was.
    return m_description;
}

bool ScriptError::isCompileNumber(int number)
{
    const auto it = textTable().constFind(number);
    return it != textTable().cend() && it->kind == ErrorKind::Compile;
}

ScriptError ScriptError::runtime(err::Code code, const QString &name)
{
    QString text = standardText(code);
    if (!name.isEmpty())
        text += QStringLiteral(": '") + name + QLatin1Char('\'');
    return ScriptError(code, text, runtimeSource());
}

ScriptError ScriptError::compile(err::Code code, int line, int column, const QString &lineText)
{
    ScriptError e(code, standardText(code), compileSource());
    e.m_kind = ErrorKind::Compile;
    e.setPosition(line, column, lineText);
    return e;
}

void ScriptError::setPosition(int line, int column, const QString &lineText)
{
    m_line = line;
    m_column = column;
    m_lineText = lineText;
}

const char *ScriptError::what() const noexcept
{
    m_what = (m_source + QStringLiteral(": ") + m_description).toUtf8();
    return m_what.constData();
}

void raise(err::Code code, const QString &name)
{
    throw ScriptError::runtime(code, name);
}

} // namespace vbscript
