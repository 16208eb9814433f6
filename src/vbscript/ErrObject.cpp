#include "vbscript/ErrObject.h"

namespace vbscript {

namespace {
bool is(const QString &a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}
} // namespace

void ErrObject::clear()
{
    m_number = 0;
    m_description.clear();
    m_source.clear();
    m_helpFile.clear();
    m_helpContext = 0;
}

void ErrObject::set(const ScriptError &error)
{
    m_number = error.number();
    m_description = error.description();
    m_source = error.source();
    // Err.Raise has already stored its help file and context.
    if (error.kind() != ErrorKind::User) {
        m_helpFile.clear();
        m_helpContext = 0;
    }
}

ScriptError ErrObject::makeRaised(std::span<Variant> args, const ScriptLocale &locale)
{
    auto given = [&](size_t i) { return i < args.size() && !args[i].isMissing(); };
    if (!given(0))
        raise(err::ArgumentNotOptional);
    const qint32 number = args[0].toLong(locale);
    if (number == 0)
        raise(err::InvalidProcedureCall);
    // Numbers of VBScript's own run-time errors keep their text unless one is
    // given; compile-error numbers and all others read "Unknown runtime error".
    QString description = ScriptError::standardText(number);
    if (description.isEmpty() || ScriptError::isCompileNumber(number))
        description = ScriptError::unknownRuntimeText();
    QString source = ScriptError::runtimeSource();
    if (given(1))
        source = args[1].toString(locale);
    if (given(2))
        description = args[2].toString(locale);
    ScriptError e(number, description, source);
    e.setKind(ErrorKind::User);
    return e;
}

Variant ErrObject::get(const QString &name, std::span<Variant> args)
{
    const ScriptLocale &locale = m_settings->locale;
    if (name.isEmpty() || is(name, "Number"))
        return Variant(qint32(m_number));
    if (is(name, "Description"))
        return Variant(m_description);
    if (is(name, "Source"))
        return Variant(m_source);
    if (is(name, "HelpFile"))
        return Variant(m_helpFile);
    if (is(name, "HelpContext"))
        return Variant(qint32(m_helpContext));
    if (is(name, "Clear")) {
        if (!args.empty())
            raise(err::WrongNumberOfArguments);
        clear();
        return Variant();
    }
    if (is(name, "Raise")) {
        if (args.size() > 5)
            raise(err::WrongNumberOfArguments);
        ScriptError e = makeRaised(args, locale);
        m_helpFile = args.size() > 3 && !args[3].isMissing() ? args[3].toString(locale) : QString();
        m_helpContext = args.size() > 4 && !args[4].isMissing() ? args[4].toLong(locale) : 0;
        throw e;
    }
    raise(err::ObjectDoesntSupportProperty, name);
}

void ErrObject::put(const QString &name, std::span<Variant> args, const Variant &value, bool isSet)
{
    const ScriptLocale &locale = m_settings->locale;
    if (isSet || !args.empty())
        raise(err::ObjectDoesntSupportProperty, name);
    if (name.isEmpty() || is(name, "Number"))
        m_number = value.toLong(locale);
    else if (is(name, "Description"))
        m_description = value.toString(locale);
    else if (is(name, "Source"))
        m_source = value.toString(locale);
    else if (is(name, "HelpFile"))
        m_helpFile = value.toString(locale);
    else if (is(name, "HelpContext"))
        m_helpContext = value.toLong(locale);
    else
        raise(err::ObjectDoesntSupportProperty, name);
}

} // namespace vbscript
