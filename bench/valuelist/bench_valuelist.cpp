// Value lists as long as hosts hand them: sorting, reading from SQLite and
// opening the dialog, each timed as the median of several runs. The times are
// the thread's CPU time, so that other work on a shared machine does not
// count.

#include "valuelist/frmList.h"

#include <nvtarnix/MemoryRecordset.h>
#include <nvtarnix/SqlRecordset.h>

#include <QApplication>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int Runs = 5;

double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double medianMilliseconds(const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < Runs; ++i) {
        const double start = threadMilliseconds();
        work();
        times.push_back(threadMilliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char *what, double milliseconds, double goal)
{
    std::printf("%-58s %9.2f ms  (goal < %.0f ms)%s\n", what, milliseconds, goal,
                milliseconds < goal ? "" : "  OVER");
}

// Codes as hosts store them: mostly numbers, some numeric text, a few Null.
QVariant codeOf(int i, QRandomGenerator &random)
{
    const int code = int(random.bounded(1000000));
    switch (i % 10) {
    case 0:
        return QString::number(code);
    case 1:
        return i % 100 == 1 ? QVariant() : QVariant(code + 0.5);
    default:
        return code;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QRandomGenerator random(20240611);

    nvtarnix::MemoryRecordset big({"CODE", "DESCR"});
    for (int i = 0; i < 100000; ++i)
        big.addRow({codeOf(i, random), QStringLiteral("Description %1").arg(i)});
    report("MemoryRecordset: sort 100,000 mixed codes", medianMilliseconds([&] {
               big.setSort(QString());
               big.setSort(QStringLiteral("CODE ASC"));
           }),
           150);
    report("MemoryRecordset: sort 100,000 by two keys, text first", medianMilliseconds([&] {
               big.setSort(QStringLiteral("DESCR DESC, CODE"));
           }),
           300);

    QTemporaryDir dir;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(dir.filePath(QStringLiteral("bench.sqlite")));
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("CREATE TABLE LIST (CODE, DESCR TEXT)"));
        db.transaction();
        query.prepare(QStringLiteral("INSERT INTO LIST VALUES (?, ?)"));
        for (int i = 0; i < 100000; ++i) {
            query.addBindValue(codeOf(i, random));
            query.addBindValue(QStringLiteral("Περιγραφή %1").arg(i));
            query.exec();
        }
        db.commit();
        report("SqlRecordset: read 100,000 rows from SQLite", medianMilliseconds([&] {
                   nvtarnix::SqlRecordset rows(db, QStringLiteral("SELECT CODE, DESCR FROM LIST"));
               }),
               150);

        // The user opens the list and closes it at once; the time is what
        // it takes to sort, fill and show 10,000 rows.
        nvtarnix::frmList dialog;
        report("frmList: open a 10,000-row list from SQLite and close it", medianMilliseconds([&] {
                   auto rows = std::make_shared<nvtarnix::SqlRecordset>(
                       db, QStringLiteral("SELECT CODE, DESCR FROM LIST LIMIT 10000"));
                   QTimer::singleShot(0, &dialog, [&dialog] { dialog.close(); });
                   qint32 selected = 0;
                   dialog.WindowOpen(rows, QStringLiteral("CODE"), QStringLiteral("DESCR"), selected);
               }),
               150);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    return 0;
}
