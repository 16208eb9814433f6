// Dates and time stamps in PostgreSQL against date literals: the engine's
// serial numbers, the time counted back before day zero, time stamps with a
// zone in UTC, fractions of a second dropped, and the values the engine
// cannot hold as a Date (BC, the infinities, the years before 100 and
// after 9999) left to it. The random rules have no date literals, so these
// cases stand here, each row of the table against each rule.

#include "Differential.h"
#include "PostgresDatabase.h"
#include "TestMain.h"

#include <QTest>

using namespace pushdowntest;
using nvtarnix::pushdown::Binding;

class tst_PostgresDates : public QObject
{
    Q_OBJECT

    std::optional<PostgresDatabase> m_db;
    TableShape m_shape{QStringLiteral("dates"),
                       {{QStringLiteral("d"), QStringLiteral("date"), Binding::PgDate, TableShape::Column::Holds::Text},
                        {QStringLiteral("ts"), QStringLiteral("timestamp"), Binding::PgTimestamp,
                         TableShape::Column::Holds::Text},
                        {QStringLiteral("tz"), QStringLiteral("timestamptz"), Binding::PgTimestampTz,
                         TableShape::Column::Holds::Text}},
                       true};
    std::vector<std::vector<vbscript::Variant>> m_engine;

private slots:
    void initTestCase()
    {
        m_db.emplace();
        const QStringList moments{"2025-06-30 13:45:10.75", "2025-06-30 00:00:00", "1899-12-29 06:00:00",
                                  "1899-12-29 05:59:59.9", "1899-12-30 00:00:00", "1899-12-29 23:59:59",
                                  "0100-01-01 00:00:00",   "9999-12-31 23:59:59.5", "0099-12-31 23:59:59",
                                  "1900-03-01 12:00:00",   "infinity",              "-infinity",
                                  "0044-03-15 00:00:00 BC"};
        // Every moment as a date, against every moment as a time stamp, and
        // as a time stamp two hours east of UTC.
        std::vector<StoredRow> rows;
        for (const QString &a : moments) {
            const QString day = a.contains(QLatin1String("infinity")) ? a
                                : a.endsWith(QLatin1String(" BC")) ? a.left(10) + QStringLiteral(" BC")
                                                                    : a.left(10);
            for (const QString &b : moments) {
                const QString zoned = b.contains(QLatin1String("infinity")) ? b
                                      : b.endsWith(QLatin1String(" BC")) ? b.chopped(3) + QStringLiteral("+02 BC")
                                                                          : b + QStringLiteral("+02");
                rows.push_back({day, b, zoned});
            }
        }
        rows.push_back({QVariant(), QVariant(), QVariant()});
        m_db->load(m_shape, rows);
        m_engine = m_db->engineRows();
    }

    void againstLiterals_data()
    {
        QTest::addColumn<QString>("rule");
        for (const char *rule :
             {"[d] > #6/30/2025#", "[d] >= #12/29/1899#", "[d] < #1/1/100#", "[d] = #12/30/1899#",
              "[ts] >= #6/30/2025 1:45:10 PM#", "[ts] > #6/30/2025 1:45:10 PM#",
              "[ts] = #12/29/1899 6:00:00 AM#", "[ts] < #12/29/1899 6:00:00 AM#", "[ts] > #12/29/1899#",
              "[ts] <= #12/31/9999 11:59:59 PM#", "[tz] = #6/30/2025 11:45:10 AM#",
              "[tz] < #12/29/1899 4:00:00 AM#", "[tz] >= #12/31/9999 9:59:59 PM#",
              "[tz] <> #3/1/1900 10:00:00 AM#", "[d] < [ts]", "[ts] = [tz]", "[d] > 45000",
              "Not ([d] > #1/1/2000#) Or [ts] < #1/1/1950#"})
            QTest::newRow(rule) << QString::fromLatin1(rule);
    }

    void againstLiterals()
    {
        QFETCH(QString, rule);
        std::array<int, 3> outcomes{};
        const auto mismatch = compareRule(*m_db, m_shape, rule, m_engine, vbscript::RuleSettings(), &outcomes);
        QVERIFY2(!mismatch, mismatch ? qPrintable(mismatch->what) : "");
        QCOMPARE(outcomes[0], 1);  // Complete: the SQL decides every row it does not flag
    }
};

NVTARNIX_TEST_CLASS(tst_PostgresDates)
#include "tst_postgres_dates.moc"
