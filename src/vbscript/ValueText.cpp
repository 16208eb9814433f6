#include "vbscript/ValueText.h"

#include "vbscript/NumberText.h"
#include "vbscript/OleDate.h"
#include "vbscript/ScriptLocale.h"

namespace vbscript::ValueText {

namespace {
QString escaped(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\n': out += QLatin1String("\\n"); break;
        default:
            if (c.unicode() < 32)
                out += QString::asprintf("\\x%02X", c.unicode());
            else
                out += c;
        }
    }
    return out;
}
} // namespace

QString canonical(const Variant &v)
{
    static const ScriptLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    switch (v.type()) {
    case VarType::Boolean: return v.rawBool() ? QStringLiteral("True") : QStringLiteral("False");
    case VarType::Byte: case VarType::Integer: case VarType::Long: return v.toString(english);
    case VarType::Single: return formatSingle(v.rawSingle(), english);
    case VarType::Double: return formatDouble(v.rawDouble(), english);
    case VarType::Currency: return formatCurrency(v.rawCurrency(), english);
    case VarType::Date: return OleDate::formatIso(v.rawDate());
    case VarType::String: return escaped(v.rawString());
    default: return QString();
    }
}

QString resultLine(const Variant &v)
{
    return v.typeName() + QLatin1Char('\t') + canonical(v);
}

QString errorLine(const ScriptError &e)
{
    return QStringLiteral("error\t%1\t%2\t%3\t%4\t%5")
        .arg(e.number())
        .arg(e.line())
        .arg(e.column())
        .arg(escaped(e.source()), escaped(e.description()));
}

} // namespace vbscript::ValueText
