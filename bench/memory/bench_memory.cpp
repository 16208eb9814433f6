// Resident memory over long runs, as a host that lives all day sees it: the
// wizard opened and closed 1,000 times on one builder, and one rule evaluated
// 1,000,000 times. Memory is read after a warm-up (fonts, styles, the first
// engine of the thread) and then at checkpoints; a leak shows as steady growth
// from one checkpoint to the next, not as the first allocations.

#include "common/ResidentMemory.h"

#include <nvtarnix/Expression.h>
#include <nvtarnix/TarnixObject.h>

#include <QApplication>
#include <QDate>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <vector>

using namespace nvtarnix;
using nvtarnix::bench::residentKb;

namespace {

// Opens the wizard through Edit() and cancels it as soon as it is shown.
void openAndClose(TarnixObject &builder)
{
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&poll] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || w->objectName() != QLatin1String("frmEditor"))
            return;
        poll.stop();
        QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
    });
    poll.start();
    builder.Edit();
}

void report(const char *what, const std::vector<std::pair<long, long>> &checkpoints)
{
    std::printf("%s:", what);
    for (const auto &[count, kb] : checkpoints)
        std::printf(" %ld: %ld KB;", count, kb);
    const long start = checkpoints.front().second;
    const long end = checkpoints.back().second;
    std::printf(" start %ld KB, end %ld KB, growth %+ld KB (%+.1f%%)\n", start, end, end - start,
                100.0 * double(end - start) / double(start));
}

void editorRuns(int runs)
{
    TarnixObject builder;
    for (int i = 0; i < 200; ++i)
        builder.AddVariable(QStringLiteral("V%1").arg(i), QStringLiteral("Field %1").arg(i),
                            QString::number(i % 3 == 0 ? 0 : 5), QStringLiteral("10"),
                            QStringLiteral("3"), QStringLiteral("0"), {}, {}, {},
                            QStringLiteral("Group %1").arg(i / 20));
    builder.LoadDefaultFunctions();
    builder.setDatabaseScript(QStringLiteral("Len([V1]) > 3 And [V2] + [V3] < 100"));

    for (int i = 0; i < 10; ++i)
        openAndClose(builder);  // warm-up
    std::vector<std::pair<long, long>> checkpoints{{0, residentKb()}};
    for (int i = 1; i <= runs; ++i) {
        openAndClose(builder);
        if (i % (runs / 4) == 0)
            checkpoints.emplace_back(i, residentKb());
    }
    report("editor opened and closed", checkpoints);
}

void evaluations(long runs)
{
    ExpressionOptions options;
    options.locale = QLocale(QLocale::Greek, QLocale::Greece);
    const Expression rule = Expression::compile(
        QStringLiteral("DateDiff(\"d\", [ORD_DATE], [TODAY]) > 30 And [ORD_STATUS] < 4 And "
                       "Len([CUST_NAME] & \" of \" & [CUST_CITY]) > 5"),
        options);
    const QDate today(2025, 6, 30);
    QVariantList values{QDate(2025, 5, 1), today, 2, QStringLiteral("Ανδρέας"), QStringLiteral("Αθήνα")};
    long trueRows = 0;
    for (int i = 0; i < 1000; ++i)
        rule.evaluate(values);  // warm-up
    std::vector<std::pair<long, long>> checkpoints{{0, residentKb()}};
    for (long i = 1; i <= runs; ++i) {
        values[0] = today.addDays(-(i % 60));
        values[2] = int(i % 6);
        trueRows += rule.evaluate(values).toBool();
        if (i % (runs / 4) == 0)
            checkpoints.emplace_back(i, residentKb());
    }
    report("Expression::evaluate", checkpoints);
    std::printf("(%ld of %ld evaluations True)\n", trueRows, runs);
}

} // namespace

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    evaluations(1000000);
    editorRuns(1000);
    return 0;
}
