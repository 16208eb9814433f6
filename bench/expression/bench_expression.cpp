// What a host pays to run a rule over its rows: evaluate() with the values
// already in memory, on one thread and on two, and compile() of a rule of
// 200 characters.

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

double bestOf(int repeats, const std::function<double()> &measure)
{
    double best = 1e300;
    for (int i = 0; i < repeats; ++i)
        best = std::min(best, measure());
    return best;
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
    run(rule, rows[0], 5);  // warm up

    // One thread: nanoseconds per row.
    const double oneThreadNs = bestOf(3, [&] {
        QElapsedTimer t;
        t.start();
        run(rule, rows[0], kPasses);
        return double(t.nsecsElapsed()) / (double(kRows) * kPasses);
    });

    // Two threads, each with its own rows: rows per second against one.
    const double twoThreadsNs = bestOf(3, [&] {
        QElapsedTimer t;
        t.start();
        std::vector<std::thread> threads;
        for (int i = 0; i < 2; ++i)
            threads.emplace_back([&, i] { run(rule, rows[i], kPasses); });
        for (std::thread &th : threads)
            th.join();
        return double(t.nsecsElapsed()) / (2.0 * kRows * kPasses);
    });

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

    std::printf("evaluate, 1 thread:    %6.0f ns per row (goal <= 300)\n", oneThreadNs);
    std::printf("evaluate, 2 threads:   %6.0f ns per row, %.2fx the throughput of one (goal >= 1.7x)\n",
                twoThreadsNs, oneThreadNs / twoThreadsNs);
    std::printf("compile, %lld chars:   %6.1f us (goal <= 50)\n", qlonglong(longRule.size()), compileUs);
    return 0;
}
