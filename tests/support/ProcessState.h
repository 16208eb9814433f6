#pragma once

#include <QByteArray>

#include <optional>

// Process-wide state that a test changes for a while and must give back, even
// when a check fails half-way: the environment and the C library's locale.
// (Settings of the engine, such as Variant::setMaxStringLength, are restored
// with a qScopeGuard that calls their setter with the saved value.)

namespace testsupport {

// An environment variable as the test wants it, until the scope ends; then
// exactly what was there before, its value or its absence.
class ScopedEnvironmentVariable
{
public:
    // `value` empty (std::nullopt) unsets the variable.
    ScopedEnvironmentVariable(const char *name, std::optional<QByteArray> value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable &) = delete;
    ScopedEnvironmentVariable &operator=(const ScopedEnvironmentVariable &) = delete;

    void set(std::optional<QByteArray> value);

private:
    const char *m_name;
    std::optional<QByteArray> m_saved;
};

// The C library's numeric conventions (LC_NUMERIC) of another locale, until
// the scope ends: what a Qt program has when its user runs that locale.
class ScopedNumericLocale
{
public:
    explicit ScopedNumericLocale(const char *locale);
    ~ScopedNumericLocale();
    ScopedNumericLocale(const ScopedNumericLocale &) = delete;
    ScopedNumericLocale &operator=(const ScopedNumericLocale &) = delete;

    // False when the machine lacks the locale; nothing changed then.
    bool isActive() const { return m_active; }

private:
    QByteArray m_saved;
    bool m_active = false;
};

} // namespace testsupport
