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

vbscript::Variant defaultSample(const EditorVariable &variable, const QDate &today)
{
    if (isTextType(variable.vartype))
        return vbscript::Variant(variable.vardescription);
    if (isDateType(variable.vartype))
        return vbscript::Variant::date(vbscript::OleDate::dateSerial(today.year(), today.month(), today.day()));
    return vbscript::Variant(qint16(1));
}

vbscript::Variant sampleOf(const EditorVariable &variable, const QString *userText,
                           const vbscript::ScriptLocale &userLocale, const QDate &today)
{
    if (userText)
        return sampleFromText(*userText, variable.vartype, SampleSource::User, userLocale);
    if (!variable.sampledata.isEmpty())
        return sampleFromText(variable.sampledata, variable.vartype, SampleSource::Host, userLocale);
    return defaultSample(variable, today);
}

QString previewValueText(const vbscript::Variant &value, const vbscript::ScriptLocale &locale,
                         const BooleanWords &words)
{
    const QString type = value.typeName();
    if (value.isEmpty() || value.isNull() || value.isArray() || value.isObject())
        return type;
    QString text;
    try {
        text = value.type() == vbscript::VarType::Boolean ? (value.rawBool() ? words.trueWord : words.falseWord)
                                                            : value.toString(locale);
    } catch (const vbscript::ScriptError &) {
        logSkippedFailure();
        return type;
    }
    if (value.isString())
        text = QLatin1Char('"') + text + QLatin1Char('"');
    return text;
}

QString previewToolTip(const QString &about, const QString &typeFormat, const PreviewResult &result)
{
    QStringList lines{about};
    if (!result.typeName.isEmpty())
        lines << typeFormat.arg(result.typeName);
    lines << result.samples;
    return lines.join(QLatin1Char('\n'));
}

PreviewResult runPreview(const PreviewJob &job, const std::atomic_bool *cancel)
{
    PreviewResult shown;
    if (job.displayText.trimmed().isEmpty())
        return shown;
    try {
        if (job.compileError)
            throw *job.compileError;
        const auto compiled = job.compiled ? job.compiled : vbscript::CompiledExpression::compile(job.displayText);
        const QStringList &names = compiled->variables();
        std::vector<vbscript::Variant> values(names.size());
        std::vector<QString> samples(names.size());
        for (const EditorVariable &variable : job.variables) {
            const DisplayNamePieces pieces = displayNamePieces(variable.groupcaption, variable.vardescription);
            // The name between the brackets: group, dot and caption.
            const QString inner = pieces[1].toString() + pieces[2].toString() + pieces[3].toString();
            for (qsizetype i = 0; i < names.size(); ++i) {
                if (values[i].isEmpty() && names.at(i).compare(inner, Qt::CaseInsensitive) == 0) {
                    const auto user = job.userTexts.constFind(variable.varID);
                    values[i] = sampleOf(variable, user == job.userTexts.cend() ? nullptr : &*user, job.locale,
                                         job.today);
                    samples[i] = QStringLiteral("[%1] = %2").arg(inner, previewValueText(values[i], job.locale, job.words));
                }
            }
        }
        for (const QString &sample : samples) {
            if (!sample.isEmpty())
                shown.samples << sample;
        }
        vbscript::RuleSettings settings;
        settings.locale = job.locale;
        settings.timeoutMs = job.timeoutMs;
        settings.cancel = cancel;
        const vbscript::Variant result = compiled->evaluate(values, settings);
        shown.text = previewValueText(result, job.locale, job.words);
        shown.typeName = result.typeName();
    } catch (const vbscript::ScriptError &error) {
        shown.text = job.errorFormat.arg(error.number()).arg(error.descriptionIn(job.language));
        shown.typeName.clear();
    } catch (const std::exception &error) {
        shown.text = QString::fromLocal8Bit(error.what());
        shown.typeName.clear();
    }
    return shown;
}

} // namespace nvtarnix::editor
