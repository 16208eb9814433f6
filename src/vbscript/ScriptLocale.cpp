#include "vbscript/ScriptLocale.h"

#include <memory>

#include <QRegularExpression>

namespace vbscript {

namespace {

struct LcidName { int lcid; const char *name; };

// Windows locale ids of the locales a host is likely to run in. QLocale has no
// notion of LCIDs, so GetLocale/SetLocale need this small bridge.
const LcidName kLcids[] = {
    {1033, "en_US"}, {2057, "en_GB"}, {3081, "en_AU"}, {4105, "en_CA"}, {5129, "en_NZ"},
    {6153, "en_IE"}, {1032, "el_GR"}, {1031, "de_DE"}, {3079, "de_AT"}, {2055, "de_CH"},
    {1036, "fr_FR"}, {2060, "fr_BE"}, {3084, "fr_CA"}, {4108, "fr_CH"}, {1040, "it_IT"},
    {3082, "es_ES"}, {2058, "es_MX"}, {1043, "nl_NL"}, {2067, "nl_BE"}, {1046, "pt_BR"},
    {2070, "pt_PT"}, {1053, "sv_SE"}, {1030, "da_DK"}, {1044, "nb_NO"}, {1035, "fi_FI"},
    {1045, "pl_PL"}, {1029, "cs_CZ"}, {1038, "hu_HU"}, {1048, "ro_RO"}, {1049, "ru_RU"},
    {1058, "uk_UA"}, {1055, "tr_TR"}, {1026, "bg_BG"}, {1050, "hr_HR"}, {1060, "sl_SI"},
    {1051, "sk_SK"}, {1041, "ja_JP"}, {1042, "ko_KR"}, {2052, "zh_CN"}, {1028, "zh_TW"},
    {1037, "he_IL"}, {1025, "ar_SA"}, {1081, "hi_IN"}, {1054, "th_TH"}, {1066, "vi_VN"},
    {1057, "id_ID"}, {1061, "et_EE"}, {1062, "lv_LV"}, {1063, "lt_LT"}, {1039, "is_IS"},
};

// The thread's own locale, and the one in force: its own, or during a run
// the running engine's (a pointer, so that entering and leaving a run costs
// no copies, and many threads never touch one locale's shared data at once).
// Owned, so a thread that ends gives its locale back: a host's worker threads
// come and go all day.
thread_local std::unique_ptr<ScriptLocale> t_own;
thread_local const ScriptLocale *t_current = nullptr;

// Qt's short formats write two-digit years; VBScript's short date shows four.
QString fourDigitYears(QString pattern)
{
    if (!pattern.contains(QLatin1String("yyyy")))
        pattern.replace(QRegularExpression(QStringLiteral("y+")), QStringLiteral("yyyy"));
    return pattern;
}

} // namespace

ScriptLocale::ScriptLocale() : m_locale(QLocale::system())
{
    derive();
}

ScriptLocale::ScriptLocale(const QLocale &locale) : m_locale(locale)
{
    derive();
}

void ScriptLocale::derive()
{
    m_lcid = lcidOf(m_locale);
    const QString dp = m_locale.decimalPoint();
    const QString gs = m_locale.groupSeparator();
    m_decimal = dp.isEmpty() ? QLatin1Char('.') : dp.at(0);
    m_group = gs.isEmpty() ? QLatin1Char(',') : gs.at(0);
    m_datePattern = fourDigitYears(m_locale.dateFormat(QLocale::ShortFormat));
    const int y = m_datePattern.indexOf(QLatin1Char('y'));
    const int m = m_datePattern.indexOf(QLatin1Char('M'));
    const int d = m_datePattern.indexOf(QLatin1Char('d'));
    if (y >= 0 && y < m && y < d)
        m_order = DateOrder::YMD;
    else if (d >= 0 && d < m)
        m_order = DateOrder::DMY;
    else
        m_order = DateOrder::MDY;
    // Seconds are always shown; a 12-hour locale keeps its AM/PM designator.
    const QString shortTime = m_locale.timeFormat(QLocale::ShortFormat);
    if (shortTime.contains(QLatin1String("AP"), Qt::CaseInsensitive))
        m_timePattern = QStringLiteral("h:mm:ss Ap");  // the designator as the locale writes it
    else
        m_timePattern = QStringLiteral("HH:mm:ss");
}

int ScriptLocale::lcidOf(const QLocale &locale)
{
    const QString name = locale.name();
    for (const LcidName &e : kLcids)
        if (name == QLatin1String(e.name))
            return e.lcid;
    const QString lang = name.section(QLatin1Char('_'), 0, 0);
    for (const LcidName &e : kLcids)
        if (QString::fromLatin1(e.name).section(QLatin1Char('_'), 0, 0) == lang)
            return e.lcid;
    return 1033;
}

ScriptLocale ScriptLocale::fromLcid(int lcid, bool *ok)
{
    for (const LcidName &e : kLcids) {
        if (e.lcid == lcid) {
            if (ok)
                *ok = true;
            return ScriptLocale(QLocale(QString::fromLatin1(e.name)));
        }
    }
    if (ok)
        *ok = false;
    return ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates));
}

ScriptLocale ScriptLocale::fromName(const QString &name, bool *ok)
{
    bool isNumber = false;
    const int lcid = name.trimmed().toInt(&isNumber);
    if (isNumber)
        return fromLcid(lcid, ok);
    QString n = name.trimmed();
    n.replace(QLatin1Char('-'), QLatin1Char('_'));
    const QLocale loc(n);
    const bool known = loc.language() != QLocale::C || n.compare(QLatin1String("C"), Qt::CaseInsensitive) == 0;
    if (ok)
        *ok = known && !n.isEmpty();
    return ScriptLocale(known ? loc : QLocale(QLocale::English, QLocale::UnitedStates));
}

const ScriptLocale &ScriptLocale::current()
{
    if (!t_current) {
        if (!t_own)
            t_own = std::make_unique<ScriptLocale>();
        t_current = t_own.get();
    }
    return *t_current;
}

void ScriptLocale::setCurrent(const ScriptLocale &locale)
{
    if (!t_own)
        t_own = std::make_unique<ScriptLocale>(locale);
    else
        *t_own = locale;
    t_current = t_own.get();
}

ScriptLocaleScope::ScriptLocaleScope(const ScriptLocale &locale) : m_copy(locale), m_saved(t_current)
{
    t_current = &*m_copy;
}

ScriptLocaleScope::ScriptLocaleScope(const ScriptLocale *locale) : m_saved(t_current)
{
    t_current = locale;
}

ScriptLocaleScope::~ScriptLocaleScope()
{
    t_current = m_saved;
}

} // namespace vbscript
