#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Tables of facts kept as tab-separated UTF-8 files beside the tests. The
// first line names the columns; every other line is a row with exactly as
// many cells, a blank line, or a comment. A comment is a line that starts
// with `#` and holds no tab. The tab decides, not the `#` alone: a row's
// first cell may well be a date literal such as #1/2/2000#.

namespace testsupport {

struct TsvRow
{
    int line = 0; // 1-based line number in the file
    QStringList cells;

    // "file:line first-cell", a row name that leads back to the fact.
    QByteArray name(const QString &file) const;
};

struct TsvTable
{
    QString error; // empty when the whole file was read
    QList<TsvRow> rows;
};

// Reads `path`, whose first line must name exactly the columns `header`.
TsvTable readTsv(const QString &path, const QStringList &header);

} // namespace testsupport
