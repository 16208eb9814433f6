// The time to translate a typical rule into SQL (goal: under 50 µs).

#include "pushdown/RuleTranslator.h"
#include "vbscript/CompiledExpression.h"

#include <QElapsedTimer>

#include <cstdio>
#include <ctime>

int main()
{
    using nvtarnix::pushdown::Binding;
    const QList<nvtarnix::pushdown::ColumnBinding> columns{
        {QStringLiteral("ORD_AMOUNT"), QStringLiteral("amount"), Binding::SqliteStorageClass},
        {QStringLiteral("ORD_STATUS"), QStringLiteral("status"), Binding::SqliteStrictInteger},
        {QStringLiteral("CUST_NAME"), QStringLiteral("name"), Binding::SqliteStorageClass},
        {QStringLiteral("CUST_COUNTRY"), QStringLiteral("country"), Binding::SqliteStrictText},
    };
    const char *const rules[] = {
        "[ORD_AMOUNT] > 1000 And [ORD_STATUS] <> 4",
        "[CUST_COUNTRY] = \"GR\" And UCase([CUST_NAME]) = \"ACME\" Or Len([CUST_NAME]) > 30",
        "Round([ORD_AMOUNT] * 1.24, 2) >= 1240 And Not IsNull([CUST_NAME])",
    };
    for (const char *text : rules) {
        const auto rule = vbscript::CompiledExpression::compile(QString::fromUtf8(text));
        const int rounds = 20000;
        qsizetype length = 0;
        // CPU time of this thread too: on a busy machine wall time counts the waits.
        timespec cpuStart{}, cpuEnd{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rounds; ++i)
            length += nvtarnix::pushdown::translateRule(*rule, nvtarnix::pushdown::SqlDialect::SQLite, columns)
                          .where.size();
        const double us = double(timer.nsecsElapsed()) / 1000.0 / rounds;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
        const double cpuUs = (double(cpuEnd.tv_sec - cpuStart.tv_sec) * 1e9 + double(cpuEnd.tv_nsec - cpuStart.tv_nsec))
                             / 1000.0 / rounds;
        std::printf("%6.1f us wall, %6.1f us CPU per translation (goal < 50): %s [%lld]\n", us, cpuUs, text,
                    static_cast<long long>(length / rounds));
    }
    return 0;
}
