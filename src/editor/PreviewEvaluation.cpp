#include "editor/PreviewEvaluation.h"

#include "schema/DisplayName.h"
#include "support/FailureHandling.h"
#include "vbscript/CompiledExpression.h"
#include "vbscript/NumberText.h"
#include "vbscript/OleDate.h"
#include "vbscript/ScriptError.h"

#include <nvtarnix/Language.h>

#include <vector>

namespace nvtarnix::editor {

namespace {

std::optional<double> readNumber(const QString &text, const vbscript::ScriptLocale &locale)
{
    double value = 0;
    if (vbscript::parseNumber(text, locale, &value))
        return value;
    return std::nullopt;
}

} // namespace

vbscript::Variant sampleFromText(const QString &text, int vartype, SampleSource source,
                                 const vbscript::ScriptLocale &userLocale)
{
    if (isTextType(vartype))
        return vbscript::Variant(text);
    static const vbscript::ScriptLocale hostLocale = vbscript::ScriptLocale::fromLcid(EnglishLanguage);
    const vbscript::ScriptLocale &first = source == SampleSource::Host ? hostLocale : userLocale;
    const vbscript::ScriptLocale &second = source == SampleSource::Host ? userLocale : hostLocale;
    if (isDateType(vartype)) {
        const QDateTime iso = QDateTime::fromString(text.trimmed(), Qt::ISODate);
        if (iso.isValid())
            return vbscript::Variant::date(vbscript::OleDate::fromQDateTime(iso));
        for (const vbscript::ScriptLocale *locale : {&first, &second}) {
            try {
                return vbscript::Variant::date(vbscript::Variant(text).toDate(*locale));
            } catch (const vbscript::ScriptError &) {
            }
        }
        return vbscript::Variant(text);
    }
    for (const vbscript::ScriptLocale *locale : {&first, &second}) {
        if (const auto number = readNumber(text, *locale))
            return vbscript::Variant(*number);
    }
    return vbscript::Variant(text);
}

vbscript::Variant defaultSample(const EditorVariable &variable)
{
    if (isTextType(variable.vartype))
        return vbscript::Variant(variable.vardescription);
    if (isDateType(variable.vartype))
        return vbscript::Variant::date(vbscript::OleDate::dateSerial(2000, 10, 28) + vbscript::OleDate::timeSerial(14, 45, 45));
    return vbscript::Variant(qint16(1));
}

vbscript::Variant sampleOf(const EditorVariable &variable, const QString *userText,
                           const vbscript::ScriptLocale &userLocale)
{
    if (userText)
        return sampleFromText(*userText, variable.vartype, SampleSource::User, userLocale);
    if (!variable.sampledata.isEmpty())
        return sampleFromText(variable.sampledata, variable.vartype, SampleSource::Host, userLocale);
    return defaultSample(variable);
}

QString previewValueText(const vbscript::Variant &value, const vbscript::ScriptLocale &locale)
{
    const QString type = value.typeName();
    if (value.isEmpty() || value.isNull() || value.isArray() || value.isObject())
        return type;
    QString text;
    try {
        text = value.type() == vbscript::VarType::Boolean ? (value.rawBool() ? QStringLiteral("True")
                                                                               : QStringLiteral("False"))
                                                            : value.toString(locale);
    } catch (const vbscript::ScriptError &) {
        logSkippedFailure();
        return type;
    }
    if (value.isString())
        text = QLatin1Char('"') + text + QLatin1Char('"');
    return type + QStringLiteral(": ") + text;
}

QString runPreview(const PreviewJob &job, const std::atomic_bool *cancel)
{
    if (job.displayText.trimmed().isEmpty())
        return {};
    try {
        if (job.compileError)
            throw *job.compileError;
        const auto compiled = job.compiled ? job.compiled : vbscript::CompiledExpression::compile(job.displayText);
        const QStringList &names = compiled->variables();
        std::vector<vbscript::Variant> values(names.size());
        for (const EditorVariable &variable : job.variables) {
            const DisplayNamePieces pieces = displayNamePieces(variable.groupcaption, variable.vardescription);
            // The name between the brackets: group, dot and caption.
            const QString inner = pieces[1].toString() + pieces[2].toString() + pieces[3].toString();
            for (qsizetype i = 0; i < names.size(); ++i) {
                if (values[i].isEmpty() && names.at(i).compare(inner, Qt::CaseInsensitive) == 0) {
                    const auto user = job.userTexts.constFind(variable.varID);
                    values[i] = sampleOf(variable, user == job.userTexts.cend() ? nullptr : &*user, job.locale);
                }
            }
        }
        vbscript::RuleSettings settings;
        settings.locale = job.locale;
        settings.timeoutMs = job.timeoutMs;
        settings.cancel = cancel;
        const vbscript::Variant result = compiled->evaluate(values, settings);
        return previewValueText(result, job.locale);
    } catch (const vbscript::ScriptError &error) {
        return job.errorFormat.arg(error.number()).arg(error.descriptionIn(job.language));
    } catch (const std::exception &error) {
        return QString::fromLocal8Bit(error.what());
    }
}

} // namespace nvtarnix::editor
