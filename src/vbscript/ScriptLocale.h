#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace vbscript {

// The locale the engine converts through: CStr, CDate, string-to-number and
// back, date formats. A Windows locale id (LCID) paired with the QLocale that
// holds its data. Each thread has a current one; the engine sets it for the
// duration of a run, SetLocale changes it.
class ScriptLocale
{
public:
    enum class DateOrder { MDY, DMY, YMD };

    ScriptLocale();                       // the process's locale
    explicit ScriptLocale(const QLocale &locale);

    static ScriptLocale fromLcid(int lcid, bool *ok = nullptr);
    // "en-US", "en_US", "el-GR", "Greek" or a decimal LCID
    static ScriptLocale fromName(const QString &name, bool *ok = nullptr);
    static int lcidOf(const QLocale &locale);

    static const ScriptLocale &current();
    static void setCurrent(const ScriptLocale &locale);

    const QLocale &qlocale() const { return m_locale; }
    int lcid() const { return m_lcid; }
    QChar decimalPoint() const { return m_decimal; }
    QChar groupSeparator() const { return m_group; }
    DateOrder dateOrder() const { return m_order; }
    QString currencySymbol() const { return m_locale.currencySymbol(); }
    // VBScript's short date (four-digit year) and long time patterns, in QDate/QTime notation
    const QString &shortDatePattern() const { return m_datePattern; }
    const QString &timePattern() const { return m_timePattern; }

private:
    void derive();

    QLocale m_locale;
    int m_lcid = 1033;
    QChar m_decimal = QLatin1Char('.');
    QChar m_group = QLatin1Char(',');
    DateOrder m_order = DateOrder::MDY;
    QString m_datePattern;
    QString m_timePattern;
};

// Makes a locale current for a scope and restores the previous one after.
class ScriptLocaleScope
{
public:
    // A copy of `locale` is current.
    explicit ScriptLocaleScope(const ScriptLocale &locale);
    // `*locale` itself is current: it must outlive the scope, and a change to
    // it is in force at once (SetLocale during a run). Costs no copy, which
    // matters to rules evaluated per row on many threads.
    explicit ScriptLocaleScope(const ScriptLocale *locale);
    ~ScriptLocaleScope();
    ScriptLocaleScope(const ScriptLocaleScope &) = delete;
    ScriptLocaleScope &operator=(const ScriptLocaleScope &) = delete;

private:
    std::optional<ScriptLocale> m_copy;
    const ScriptLocale *m_saved;
};

} // namespace vbscript
