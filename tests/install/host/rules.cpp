// A host that runs stored rules over its rows: compiles each rule once and
// evaluates it from several threads, as a server filling a report would.
#include <nvtarnix/Error.h>
#include <nvtarnix/Expression.h>

#include <QCoreApplication>
#include <QDate>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

QVariantList orderRow(int i)
{
    return {QVariant(double(i % 250)), QVariant(QStringLiteral("Customer %1").arg(i % 13)),
            QVariant(QDate(2024, 1, 1).addDays(i % 400)), i % 17 == 0 ? QVariant() : QVariant(i % 5)};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    try {
        const nvtarnix::ExpressionOptions options{QLocale(QLocale::English, QLocale::UnitedStates), 2000};
        const nvtarnix::Expression rule = nvtarnix::Expression::compile(
            "[ORD_AMOUNT] > 100 And Len([CUST_NAME]) > 10 And Year([ORD_DATE]) = 2024 Or IsEmpty([ORD_STATUS])",
            options);
        if (rule.isNull() || rule.variables() != QStringList{"ORD_AMOUNT", "CUST_NAME", "ORD_DATE", "ORD_STATUS"}) {
            std::fprintf(stderr, "variables: %s\n", qPrintable(rule.variables().join(',')));
            return 1;
        }
        constexpr int kRows = 20000;
        std::vector<bool> expected(kRows);
        for (int i = 0; i < kRows; ++i)
            expected[size_t(i)] = rule.evaluate(orderRow(i)).toBool();

        std::atomic<int> disagreements{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                const nvtarnix::Expression copy = rule;
                for (int i = t; i < kRows; i += 4) {
                    QVariantMap row;
                    const QVariantList values = orderRow(i);
                    for (int v = 0; v < values.size(); ++v)
                        row.insert(copy.variables()[v].toLower(), values[v]);
                    if (copy.evaluate(row).toBool() != expected[size_t(i)])
                        ++disagreements;
                }
            });
        }
        for (std::thread &t : threads)
            t.join();
        if (disagreements) {
            std::fprintf(stderr, "%d rows disagree across threads\n", int(disagreements));
            return 1;
        }
        try {
            nvtarnix::Expression::compile("[ORD_AMOUNT] >");
            std::fprintf(stderr, "a broken rule compiled\n");
            return 1;
        } catch (const nvtarnix::Error &e) {
            std::printf("compile error %d at %d:%d\n", e.number(), e.line(), e.column());
        }
        std::printf("matches: %d of %d\n", int(std::count(expected.begin(), expected.end(), true)), kRows);
        return 0;
    } catch (const nvtarnix::Error &e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
}
