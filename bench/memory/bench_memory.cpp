// Resident memory over long runs, as a host that lives all day sees it: the
// wizard opened and closed 1,000 times on one builder, and one rule evaluated
// 1,000,000 times. Memory is read after a warm-up (fonts, styles, the first
// engine of the thread) and then at checkpoints; a leak shows as steady growth
// from one checkpoint to the next, not as the first allocations.
// Then the peak of single evaluations that try to take all the memory they
// can, against the budget each evaluation has, and 1,000 evaluations of a
// rule that leaves Dictionaries holding each other.

#include "common/ResidentMemory.h"

#include <nvtarnix/Error.h>
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

// The kernel's high-water mark, reset to the present resident size.
long resetPeakKb()
{
    residentKb();
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    return residentKb();
}

long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

void hungryRules()
{
    const ExpressionOptions options;
    std::printf("single evaluations, budget %lld MB:\n", options.memoryBudget / (1024 * 1024));
    const char *rules[] = {
        "Execute(\"Dim a(1023): s = Space(1000000): For i = 0 To 1023: a(i) = s: Next: x = Join(a, \"\"\"\")\")",
        "FormatNumber(1, 2147483647)",
        "UBound(Split(String(20000000, \",\"), \",\"))",
        "Execute(\"Dim a(1000): For i = 0 To 1000: a(i) = Space(1000000) & i: Next\")",
        "Execute(\"Set d = CreateObject(\"\"Scripting.Dictionary\"\"): For i = 1 To 1000: ReDim b(1000000): "
        "d.Add i, b: Next\")",
        "Execute(\"Set d = CreateObject(\"\"Scripting.Dictionary\"\"): For i = 1 To 100000000: d.Add i, i: Next\")",
        "Execute(\"Class C: Dim a, b: End Class: Set d = CreateObject(\"\"Scripting.Dictionary\"\"): "
        "For i = 1 To 100000000: d.Add i, New C: Next\")",
        "Eval(Replace(Space(3000000), \" \", \"1+\") & \"1\")",
    };
    for (const char *text : rules) {
        const Expression rule = Expression::compile(QString::fromUtf8(text), options);
        const long start = resetPeakKb();
        int number = 0;
        try {
            rule.evaluate(QVariantList{});
        } catch (const nvtarnix::Error &e) {
            number = e.number();
        }
        std::printf("  error %d, peak %+ld MB: %.60s\n", number, (peakKb() - start) / 1024, text);
    }

    const Expression cycles = Expression::compile(
        QStringLiteral("Execute(\"Set d = CreateObject(\"\"Scripting.Dictionary\"\"): d.Add 1, d: "
                       "d.Add 2, Space(1000000)\")"),
        options);
    const long before = residentKb();
    for (int i = 0; i < 1000; ++i)
        cycles.evaluate(QVariantList{});
    std::printf("1000 evaluations leaving a Dictionary cycle of 2 MB: resident %+ld MB\n",
                (residentKb() - before) / 1024);
}

} // namespace

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    evaluations(1000000);
    editorRuns(1000);
    hungryRules();
    return 0;
}
