// The time to translate a typical rule into SQL (goal: under 50 µs).

#include "pushdown/RuleTranslator.h"
#include "vbscript/CompiledExpression.h"

#include <QElapsedTimer>

#include <cstdio>

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
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rounds; ++i)
            length += nvtarnix::pushdown::translateRule(*rule, nvtarnix::pushdown::SqlDialect::SQLite, columns)
                          .where.size();
        const double us = double(timer.nsecsElapsed()) / 1000.0 / rounds;
        std::printf("%6.1f us per translation (goal < 50): %s [%lld]\n", us, text,
                    static_cast<long long>(length / rounds));
    }
    return 0;
}
