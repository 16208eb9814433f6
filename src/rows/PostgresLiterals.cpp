#include "rows/PostgresLiterals.h"

#include <cmath>

namespace nvtarnix::rows {

namespace {

bool identifierCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

} // namespace

std::optional<QString> literal(const pushdown::Parameter &parameter)
{
    switch (parameter.type) {
    case pushdown::Parameter::Type::Integer:
        return QLatin1Char('\'') + QString::number(parameter.value.toLongLong()) + QLatin1Char('\'');
    case pushdown::Parameter::Type::Real: {
        const double d = parameter.value.toDouble();
        if (std::isnan(d))
            return QStringLiteral("'NaN'");
        if (std::isinf(d))
            return d > 0 ? QStringLiteral("'Infinity'") : QStringLiteral("'-Infinity'");
        if (d == 0)
            return std::signbit(d) ? QStringLiteral("'-0'") : QStringLiteral("'0'");
        // Seventeen digits read back as the same Double (float8in rounds
        // correctly); the C locale's point, whatever the user's.
        return QLatin1Char('\'') + QString::number(d, 'g', 17) + QLatin1Char('\'');
    }
    case pushdown::Parameter::Type::Text: {
        const QString text = parameter.value.toString();
        if (text.contains(QChar(0)) || !text.isValidUtf16())
            return std::nullopt;
        QString escaped = text;
        escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("''"));
        return QStringLiteral("E'") + escaped + QLatin1Char('\'');
    }
    }
    return std::nullopt;
}

std::optional<QString> withLiterals(const QString &sql, const QList<pushdown::Parameter> &parameters)
{
    QString out;
    out.reserve(sql.size() + 16 * parameters.size());
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == QLatin1Char('"')) {
            // A quoted identifier ("" inside it reads as two of these).
            const qsizetype end = sql.indexOf(QLatin1Char('"'), i + 1);
            if (end < 0)
                return std::nullopt;
            out += QStringView(sql).sliced(i, end + 1 - i);
            i = end + 1;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                return std::nullopt;
            out += QStringView(sql).sliced(i, end + 2 - i);
            i = end + 2;
        } else if (c == QLatin1Char('\'') || (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-'))) {
            // The translation writes no literal and no line comment of its own.
            return std::nullopt;
        } else if (c == QLatin1Char('$') && (i == 0 || !identifierCharacter(sql[i - 1]))) {
            qsizetype end = i + 1;
            while (end < n && sql[end].isDigit())
                ++end;
            bool ok = false;
            const int number = QStringView(sql).sliced(i + 1, end - i - 1).toInt(&ok);
            if (!ok || number < 1 || number > parameters.size() || !QStringView(sql).sliced(end).startsWith(u"::"))
                return std::nullopt;
            const auto written = literal(parameters[number - 1]);
            if (!written)
                return std::nullopt;
            out += *written;
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace nvtarnix::rows
