#include "TsvTable.h"

#include <QFile>
#include <QFileInfo>

namespace testsupport {

namespace {

const QChar Tab = QLatin1Char('\t');

bool isComment(const QString &line)
{
    return line.startsWith(QLatin1Char('#')) && !line.contains(Tab);
}

} // namespace

QByteArray TsvRow::name(const QString &file) const
{
    return QStringLiteral("%1:%2 %3").arg(QFileInfo(file).fileName()).arg(line).arg(cells.value(0)).toUtf8();
}

TsvTable readTsv(const QString &path, const QStringList &header)
{
    TsvTable table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        table.error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return table;
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (lines.first().split(Tab) != header) {
        table.error = QStringLiteral("%1: the first line must name the columns %2").arg(path, header.join(Tab));
        return table;
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.trimmed().isEmpty() || isComment(line))
            continue;
        const QStringList cells = line.split(Tab);
        if (cells.size() != header.size()) {
            table.error = QStringLiteral("%1:%2: %3 cells where the header names %4")
                              .arg(path)
                              .arg(i + 1)
                              .arg(cells.size())
                              .arg(header.size());
            return table;
        }
        table.rows.append({int(i + 1), cells});
    }
    return table;
}

} // namespace testsupport
