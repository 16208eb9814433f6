#include "ProcessState.h"

#include <QtGlobal>

#include <clocale>

namespace testsupport {

namespace {

void putEnvironment(const char *name, const std::optional<QByteArray> &value)
{
    if (value)
        qputenv(name, *value);
    else
        qunsetenv(name);
}

} // namespace

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const char *name, std::optional<QByteArray> value)
    : m_name(name)
{
    if (qEnvironmentVariableIsSet(name))
        m_saved = qgetenv(name);
    putEnvironment(m_name, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable()
{
    putEnvironment(m_name, m_saved);
}

void ScopedEnvironmentVariable::set(std::optional<QByteArray> value)
{
    putEnvironment(m_name, value);
}

ScopedNumericLocale::ScopedNumericLocale(const char *locale)
    : m_saved(std::setlocale(LC_NUMERIC, nullptr))
{
    m_active = std::setlocale(LC_NUMERIC, locale) != nullptr;
}

ScopedNumericLocale::~ScopedNumericLocale()
{
    if (m_active)
        std::setlocale(LC_NUMERIC, m_saved.constData());
}

} // namespace testsupport
