// What a host pays to run a rule over its rows: evaluate() with the values
// already in memory, on one thread and on two, and compile() of a rule of
// 200 characters.
//
// Two threads should give twice the rows per second of one. Three rules say
// whether they do: arithmetic, and a rule over text, once with each thread
// reading rows of its own and once with both reading the same rows, whose
// strings then share their characters as rows from one cache do. A run that
// writes to anything both threads reach (a reference count of a shared
// string, of the compiled tree, of the locale) shows up as the shared case
// falling behind the distinct one.

#include <nvtarnix/Expression.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

const QString kRule = QStringLiteral("[A] > 1000 And [B] < 4 And Len([C]) > 3");
// Literals, variables read several times, built-ins that take and give text.
const QString kTextRule = QStringLiteral(
    "UCase(Left([N], 3)) = \"CUS\" And InStr([N], \"-\") > 0 And [N] & \"/\" & [S] <> \"x\""
    " And Len(Trim([S])) > 2 And Mid([S], 2, 4) <> \"zzzz\"");

std::vector<QVariantList> makeRows(int count, int seed)
{
    std::vector<QVariantList> rows;
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const int k = i * 7919 + seed;
        rows.push_back({double(k % 3000), qlonglong(k % 7), QString(k % 9, QLatin1Char('c'))});
    }
    return rows;
}

// Evaluates `passes` times over `rows`; returns the number of True results.
qint64 run(const nvtarnix::Expression &rule, const std::vector<QVariantList> &rows, int passes)
{
    qint64 matches = 0;
    for (int p = 0; p < passes; ++p)
        for (const QVariantList &row : rows)
            matches += rule.evaluate(row).toBool();
    return matches;
}

std::vector<QVariantList> makeTextRows(int count, int seed)
{
    std::vector<QVariantList> rows;
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const int k = i * 7919 + seed;
        rows.push_back({QStringLiteral("Customer-%1").arg(k % 100000),
                        QStringLiteral(" status %1 ").arg(k % 13)});
    }
    return rows;
}

double bestOf(int repeats, const std::function<double()> &measure)
{
    double best = 1e300;
    for (int i = 0; i < repeats; ++i)
        best = std::min(best, measure());
    return best;
}

struct Scaling
{
    double oneThreadNs;   // per row, one thread
    double twoThreadsNs;  // per row, two threads at once
};

// One thread over `rowsA`, then two at once, the first over `rowsA`, the
// second over `rowsB`; the best of three runs each.
Scaling measureScaling(const nvtarnix::Expression &rule, const std::vector<QVariantList> &rowsA,
                       const std::vector<QVariantList> &rowsB, int passes)
{
    const double rowCount = double(rowsA.size()) * passes;
    Scaling s;
    s.oneThreadNs = bestOf(3, [&] {
        QElapsedTimer t;
        t.start();
        run(rule, rowsA, passes);
        return double(t.nsecsElapsed()) / rowCount;
    });
    s.twoThreadsNs = bestOf(3, [&] {
        QElapsedTimer t;
        t.start();
        std::thread first([&] { run(rule, rowsA, passes); });
        std::thread second([&] { run(rule, rowsB, passes); });
        first.join();
        second.join();
        return double(t.nsecsElapsed()) / (2.0 * rowCount);
    });
    return s;
}

void report(const char *what, const Scaling &s)
{
    std::printf("%-42s %6.0f ns per row, %.2fx the throughput of one (goal >= 1.8x)\n", what, s.twoThreadsNs,
                s.oneThreadNs / s.twoThreadsNs);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const nvtarnix::ExpressionOptions options{QLocale(QLocale::English, QLocale::UnitedStates), 5000};
    const nvtarnix::Expression rule = nvtarnix::Expression::compile(kRule, options);
    constexpr int kRows = 10000;
    constexpr int kPasses = 100;
    const std::vector<QVariantList> rows[2] = {makeRows(kRows, 1), makeRows(kRows, 2)};
    const nvtarnix::Expression textRule = nvtarnix::Expression::compile(kTextRule, options);
    const std::vector<QVariantList> textRows[2] = {makeTextRows(kRows, 1), makeTextRows(kRows, 2)};
    if (const qsizetype once = app.arguments().indexOf(QStringLiteral("--once")); once > 0) {
        // One rule ("arithmetic" or "text") once over its rows, on this
        // thread, nothing timed: what an instruction count measures, e.g.
        // valgrind --tool=callgrind --toggle-collect='*namespace)::run*'
        //     bench_expression --once text
        const bool text = app.arguments().value(once + 1) == QLatin1String("text");
        std::printf("%lld rows true\n", text ? run(textRule, textRows[0], 1) : run(rule, rows[0], 1));
        return 0;
    }
    run(rule, rows[0], 5);  // warm up

    const Scaling arithmetic = measureScaling(rule, rows[0], rows[1], kPasses);
    const Scaling sharedArithmetic = measureScaling(rule, rows[0], rows[0], kPasses);

    run(textRule, textRows[0], 5);
    constexpr int kTextPasses = 30;
    const Scaling distinctText = measureScaling(textRule, textRows[0], textRows[1], kTextPasses);
    // The same rows on both threads: every string's data is shared between them.
    const Scaling sharedText = measureScaling(textRule, textRows[0], textRows[0], kTextPasses);

    // compile() of a rule of 200 characters.
    // The rule padded to 200 characters by a string literal at its end.
    QString longRule = kRule + QStringLiteral(" Or Mid([C], 2, 3) = UCase([D]) Or DateAdd(\"d\", 3, [E]) < Now()");
    const QString tail = QStringLiteral(" Or [F] = \"\"");
    longRule += tail;
    longRule.insert(longRule.size() - 1, QString(200 - longRule.size(), QLatin1Char('x')));
    constexpr int kCompiles = 20000;
    const double compileUs = bestOf(3, [&] {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < kCompiles; ++i)
            nvtarnix::Expression::compile(longRule, options);
        return double(t.nsecsElapsed()) / 1000.0 / kCompiles;
    });

    std::printf("evaluate, 1 thread:    %6.0f ns per row (goal <= 300)\n", arithmetic.oneThreadNs);
    report("evaluate, 2 threads:", arithmetic);
    report("evaluate, 2 threads, the same rows:", sharedArithmetic);
    std::printf("text rule, 1 thread:   %6.0f ns per row\n", distinctText.oneThreadNs);
    report("text rule, 2 threads, rows of their own:", distinctText);
    report("text rule, 2 threads, the same rows:", sharedText);
    std::printf("compile, %lld chars:   %6.1f us (goal <= 50)\n", qlonglong(longRule.size()), compileUs);
    return 0;
}
