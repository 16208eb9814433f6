#include "editor/FunctionReference.h"

#include "support/FailureHandling.h"
#include "support/MlStringModule.h"
#include "support/StringTable.h"
#include "vbscript/ScriptControl.h"
#include "vbscript/ScriptLocale.h"

#include <nvtarnix/Language.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace nvtarnix::editor {

namespace {

const struct
{
    const char *key;
    FunctionCategory category;
    int captionId;
} kCategories[] = {
    {"text", FunctionCategory::Text, 1501},        {"date", FunctionCategory::DateTime, 1502},
    {"number", FunctionCategory::Numbers, 1503},   {"conversion", FunctionCategory::Conversion, 1504},
    {"test", FunctionCategory::Tests, 1505},       {"other", FunctionCategory::Other, 1506},
};

FunctionCategory categoryOf(const QString &key)
{
    for (const auto &c : kCategories) {
        if (key == QLatin1String(c.key))
            return c.category;
    }
    return FunctionCategory::Other;
}

// Every text is in the string table, in each language.
QString text(int id)
{
    return GetMlStringOrDefault(id, QString());
}

} // namespace

const FunctionReference &FunctionReference::instance()
{
    static const FunctionReference reference;
    return reference;
}

FunctionReference::FunctionReference()
{
    // Compiled into the library, as the string table is; the tests check that
    // it reads and that it covers every function of the catalog.
    QFile file(QStringLiteral(":/nvtarnix/function_reference.json"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject functions = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = functions.begin(); it != functions.end(); ++it) {
        const QJsonObject object = it.value().toObject();
        Entry entry;
        entry.name = it.key();
        entry.category = categoryOf(object.value(QLatin1String("category")).toString());
        entry.example = object.value(QLatin1String("example")).toString();
        entry.statement = object.value(QLatin1String("statement")).toBool();
        entry.raises = object.value(QLatin1String("raises")).toInt();
        for (auto lang = object.begin(); lang != object.end(); ++lang) {
            bool isLanguage = false;
            const int language = lang.key().toInt(&isLanguage);
            if (!isLanguage)
                continue;
            const QJsonObject texts = lang.value().toObject();
            Texts t;
            t.summary = texts.value(QLatin1String("summary")).toString();
            for (const QJsonValue &p : texts.value(QLatin1String("parameters")).toArray())
                t.parameters.append(p.toString());
            entry.texts.insert(language, t);
            if (!m_languages.contains(language))
                m_languages.append(language);
        }
        m_entries.insert(entry.name.toLower(), entry);
    }
}

std::optional<FunctionReferenceEntry> FunctionReference::find(const QString &name, int language) const
{
    const auto it = m_entries.constFind(name.toLower());
    if (it == m_entries.constEnd())
        return std::nullopt;
    const auto found = it->texts.constFind(language);
    const Texts &texts = found != it->texts.constEnd() ? *found : it->texts.value(GreekLanguage);
    return FunctionReferenceEntry{it->name, it->category, it->example, it->statement, it->raises,
                                  texts.summary, texts.parameters};
}

std::optional<FunctionCategory> FunctionReference::category(const QString &name) const
{
    const auto it = m_entries.constFind(name.toLower());
    if (it == m_entries.constEnd())
        return std::nullopt;
    return it->category;
}

QStringList FunctionReference::names() const
{
    QStringList out;
    for (const Entry &entry : m_entries)
        out.append(entry.name);
    out.sort(Qt::CaseInsensitive);
    return out;
}

QStringList declaredParameters(const QString &declaration)
{
    const qsizetype open = declaration.indexOf(QLatin1Char('('));
    const qsizetype close = declaration.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close <= open + 1)
        return {};
    QStringList out;
    for (const QString &p : declaration.mid(open + 1, close - open - 1).split(QLatin1Char(',')))
        out.append(p.trimmed());
    return out;
}

QString exampleResult(const FunctionReferenceEntry &entry, int language)
{
    if (entry.statement || entry.raises)
        return {};
    const vbscript::ScriptLocale locale = vbscript::ScriptLocale::fromLcid(language);
    try {
        vbscript::ScriptControl engine;
        engine.setLanguage(QStringLiteral("VBScript"));
        engine.setAllowUI(false);
        engine.setTimeout(1000);
        engine.setLocale(locale);
        const vbscript::Variant value = engine.eval(entry.example);
        if (value.isEmpty() || value.isNull() || value.isObject() || value.isArray())
            return {};
        if (value.isString())
            return QLatin1Char('"') + value.rawString() + QLatin1Char('"');
        return value.toString(locale);
    } catch (const vbscript::ScriptError &) {
        // An example that asks the user (MsgBox, InputBox) has no value
        // without a window to ask in.
        logSkippedFailure();
        return {};
    }
}

QString referenceHelpLine(const FunctionReferenceEntry &entry, int language)
{
    const QString result = exampleResult(entry, language);
    QString example = StringTable::instance().text(result.isEmpty() ? 1507 : 1508, language);
    // Not arg(): the example may itself hold "%1".
    example.replace(QLatin1String("%2"), result).replace(QLatin1String("%1"), entry.example);
    return entry.summary + QLatin1Char('\n') + example;
}

QStringList referenceParagraphs(const FunctionReferenceEntry &entry, const QString &declaration, int language)
{
    QStringList out = {entry.summary};
    const QStringList names = declaredParameters(declaration);
    QStringList lines;
    for (qsizetype i = 0; i < entry.parameters.size(); ++i)
        lines.append(names.value(i) + QStringLiteral(": ") + entry.parameters.at(i));
    out.append(lines.join(QLatin1Char('\n')));
    const QString help = referenceHelpLine(entry, language);
    out.append(help.mid(help.indexOf(QLatin1Char('\n')) + 1));
    return out;
}

QString categoryCaption(FunctionCategory category)
{
    for (const auto &c : kCategories) {
        if (c.category == category)
            return text(c.captionId);
    }
    return {};
}

} // namespace nvtarnix::editor
