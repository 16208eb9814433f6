#pragma once

#include <QLocale>
#include <QString>


namespace vbscript {

// A locale as the engine converts through it: CStr, CDate, string-to-number
// and back, date formats. A Windows locale id (LCID) paired with the QLocale
// that holds its data. A run converts through its engine's (see
// ExecutionSettings); SetLocale changes that one.
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

    // The host's own locale for conversions outside the engine (a value
    // list's codes, say), and the one a new engine starts with: the
    // process's, unless the host sets another for the calling thread. No
    // run reads it.
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

} // namespace vbscript
