#include "ScriptExpectations.h"

#include <QRegularExpression>

ScriptExpectations ScriptExpectations::read(const QString &source)
{
    static const QRegularExpression shown(QStringLiteral("'\\s*expect:\\s*(.*)$"));
    static const QRegularExpression error(QStringLiteral("^(.*)'\\s*expect error:\\s*(\\d+)\\s*$"));
    ScriptExpectations e;
    const QStringList lines = source.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (const auto m = error.match(line); m.hasMatch()) {
            e.errorNumber = m.captured(2).toInt();
            e.errorLine = m.captured(1).trimmed().isEmpty() ? 0 : i + 1;
        } else if (const auto m = shown.match(line); m.hasMatch()) {
            e.shown << m.captured(1).trimmed();
        }
    }
    return e;
}
