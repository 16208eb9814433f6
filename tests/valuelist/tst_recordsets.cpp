#include "ErrorNumber.h"
#include "SqliteFile.h"
#include "TestMain.h"

#include <nvtarnix/Error.h>
#include <nvtarnix/ForwardOnlyRecordset.h>
#include <nvtarnix/MemoryRecordset.h>
#include <nvtarnix/SqlRecordset.h>

#include <QDate>
#include <QSqlQuery>
#include <QTest>

#include <memory>

using nvtarnix::Error;
using nvtarnix::ForwardOnlyRecordset;
using nvtarnix::MemoryRecordset;
using nvtarnix::Recordset;
using nvtarnix::SqlRecordset;
using testsupport::errorNumber;

namespace {

// Six people with names that differ only in case, scores that mix numbers,
// numeric text, text and Null, and dates with a tie and a Null.
MemoryRecordset people()
{
    MemoryRecordset rs({"ID", "NAME", "SCORE", "LAST SEEN"});
    rs.addRow({1, "beta", 10, QDate(2024, 3, 1)});
    rs.addRow({2, "Alpha", "9", QDate(2023, 12, 31)});
    rs.addRow({3, "alpha", QVariant(), QVariant()});
    rs.addRow({4, "Gamma", 2.5, QDate(2024, 1, 15)});
    rs.addRow({5, "beta", 10, QDate(2022, 6, 30)});
    rs.addRow({6, "delta", "abc", QDate(2024, 3, 1)});
    return rs;
}

// Walks from the first row to the end, collecting one field.
QVariantList column(Recordset &rs, const QString &field)
{
    QVariantList values;
    rs.MoveFirst();
    while (!rs.Eof()) {
        values.append(rs.Fields(field));
        rs.MoveNext();
    }
    return values;
}

QList<int> ids(Recordset &rs)
{
    QList<int> result;
    for (const QVariant &v : column(rs, "ID"))
        result.append(v.toInt());
    return result;
}

} // namespace

class tst_Recordsets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_db = std::make_unique<testsupport::ValueListDatabase>(); }
    void cleanupTestCase() { m_db.reset(); }

    void sortOrders_data();
    void sortOrders();
    void walkingAndSortingKeepPosition();
    void errors_data();
    void errors();

    void sqlRecordsetReadsRowsWithTheirTypes();
    void forwardOnlyCannotCountOrSort();
    void sqlErrors_data();
    void sqlErrors();

private:
    std::unique_ptr<testsupport::ValueListDatabase> m_db;
};

void tst_Recordsets::sortOrders_data()
{
    QTest::addColumn<QString>("sort");
    QTest::addColumn<QList<int>>("expectedIds");

    QTest::newRow("empty text keeps the order rows came in") << "" << QList<int>{1, 2, 3, 4, 5, 6};
    QTest::newRow("Null, then numbers and numeric text by value, then text")
        << "SCORE" << QList<int>{3, 4, 2, 1, 5, 6};
    QTest::newRow("DESC reverses but keeps ties in their order") << "SCORE DESC" << QList<int>{6, 1, 5, 2, 4, 3};
    QTest::newRow("names ignore case first, then upper before lower")
        << "NAME ASC, ID DESC" << QList<int>{2, 3, 5, 1, 6, 4};
    QTest::newRow("brackets and lower-case words") << "[name] desc,score" << QList<int>{4, 6, 1, 5, 3, 2};
    QTest::newRow("blanks around keys") << "  score   asc  ,  id  " << QList<int>{3, 4, 2, 1, 5, 6};
    QTest::newRow("a field name with a blank") << "LAST SEEN DESC" << QList<int>{1, 6, 4, 2, 5, 3};
    QTest::newRow("bracketed name with a blank, then a second key")
        << "[LAST SEEN], ID DESC" << QList<int>{3, 5, 2, 4, 6, 1};
}

void tst_Recordsets::sortOrders()
{
    QFETCH(QString, sort);
    QFETCH(QList<int>, expectedIds);

    MemoryRecordset rs = people();
    rs.setSort("ID DESC");
    rs.setSort(sort);
    QCOMPARE(rs.Sort(), sort);
    QCOMPARE(ids(rs), expectedIds);
}

void tst_Recordsets::walkingAndSortingKeepPosition()
{
    MemoryRecordset rs = people();
    rs.MoveNext();
    rs.setSort("ID DESC"); // sorting goes back to the first row
    QCOMPARE(rs.Fields("id").toInt(), 6);
    // A row added while sorted comes last until the next sort; a short row is
    // filled up with Null.
    rs.addRow({0, "omega"});
    QCOMPARE(rs.RecordCount(), 7);
    QCOMPARE(ids(rs), (QList<int>{6, 5, 4, 3, 2, 1, 0}));
    QVERIFY(rs.Eof());
    rs.setSort("ID");
    QVERIFY(rs.Fields("SCORE").isNull());

    MemoryRecordset empty({"CODE"});
    empty.setSort("CODE DESC");
    QVERIFY(empty.Eof());
}

void tst_Recordsets::errors_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("expectedNumber");

    QTest::newRow("field of unknown name") << "field" << "NOPE" << int(Recordset::ItemNotFound);
    QTest::newRow("sort by unknown field") << "sort" << "NOPE ASC" << int(Recordset::ItemNotFound);
    QTest::newRow("sort by a name with a direction inside")
        << "sort" << "NAME ASC ID" << int(Recordset::ItemNotFound);
    QTest::newRow("sort with an empty key") << "sort" << "ID,,NAME" << int(Recordset::InvalidArgument);
    QTest::newRow("sort with an unclosed bracket") << "sort" << "[ID" << int(Recordset::InvalidArgument);
    QTest::newRow("sort with an unknown direction") << "sort" << "[ID] UP" << int(Recordset::InvalidArgument);
    QTest::newRow("row with too many values") << "addRow" << "" << int(Recordset::InvalidArgument);
    QTest::newRow("field read past the end") << "fieldAtEnd" << "ID" << int(Recordset::NoCurrentRecord);
    QTest::newRow("moving past the end") << "nextAtEnd" << "" << int(Recordset::NoCurrentRecord);
}

void tst_Recordsets::errors()
{
    QFETCH(QString, operation);
    QFETCH(QString, argument);
    QFETCH(int, expectedNumber);

    MemoryRecordset rs = people();
    rs.setSort("ID DESC");
    rs.MoveNext();

    QString description;
    QString source;
    int number = 0;
    try {
        if (operation == "field") {
            rs.Fields(argument);
        } else if (operation == "sort") {
            rs.setSort(argument);
        } else if (operation == "addRow") {
            rs.addRow({1, 2, 3, 4, 5});
        } else {
            column(rs, "ID");
            if (operation == "fieldAtEnd")
                rs.Fields(argument);
            else
                rs.MoveNext();
        }
    } catch (const Error &error) {
        number = error.number();
        description = error.description();
        source = error.source();
    }
    QCOMPARE(number, expectedNumber);
    QCOMPARE(source, QString("nvTarnix.Recordset"));
    QVERIFY(!description.isEmpty());

    // A refused operation changes neither the order nor the position.
    if (operation != "fieldAtEnd" && operation != "nextAtEnd") {
        QCOMPARE(rs.Sort(), QString("ID DESC"));
        QCOMPARE(rs.Fields("ID").toInt(), 5);
    }
}

void tst_Recordsets::sqlRecordsetReadsRowsWithTheirTypes()
{
    SqlRecordset rs(m_db->database(), "SELECT CODE, DESCR FROM STATUS");
    QCOMPARE(rs.RecordCount(), 6);
    QCOMPARE(rs.fieldNames(), (QStringList{"CODE", "DESCR"}));

    const QVariantList codes = column(rs, "code");
    QCOMPARE(codes.at(0).typeId(), int(QMetaType::LongLong));
    QCOMPARE(codes.at(1).typeId(), int(QMetaType::QString));
    QCOMPARE(codes.at(2).typeId(), int(QMetaType::Double));
    const QVariantList descriptions = column(rs, "DESCR");
    QVERIFY(!descriptions.at(3).isValid()); // SQL NULL is Null
    QCOMPARE(descriptions.at(4).toString(), QString("Κλειστό"));

    rs.setSort("CODE ASC");
    QCOMPARE(column(rs, "CODE"), (QVariantList{2.5, 3.5, 10LL, "12", "20", 30LL}));

    SqlRecordset bound(m_db->database(), "SELECT CODE FROM STATUS WHERE KIND = ? AND CODE > ?", {2, 3});
    QCOMPARE(column(bound, "CODE"), QVariantList{3.5});
}

void tst_Recordsets::forwardOnlyCannotCountOrSort()
{
    ForwardOnlyRecordset rs(m_db->database(), "SELECT CODE, DESCR FROM STATUS");
    QCOMPARE(rs.RecordCount(), -1);
    QCOMPARE(errorNumber([&] { rs.setSort("CODE"); }), int(Recordset::SortNotSupported));
    rs.setSort(QString());
    QCOMPARE(rs.Sort(), QString());

    const QVariantList firstPass = column(rs, "CODE");
    QCOMPARE(firstPass, (QVariantList{30LL, "12", 3.5, 10LL, 2.5, "20"}));
    QCOMPARE(errorNumber([&] { rs.Fields("CODE"); }), int(Recordset::NoCurrentRecord));
    QCOMPARE(errorNumber([&] { rs.MoveNext(); }), int(Recordset::NoCurrentRecord));
    // Going back to the start runs the query again.
    QCOMPARE(column(rs, "CODE"), firstPass);
}

void tst_Recordsets::sqlErrors_data()
{
    QTest::addColumn<bool>("forwardOnly");
    QTest::addColumn<bool>("openDatabase");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("expectedNumber");

    for (const bool forwardOnly : {false, true}) {
        const char *kind = forwardOnly ? "forward-only: " : "client-side: ";
        QTest::newRow(qPrintable(QString(kind) + "database not open"))
            << forwardOnly << false << "SELECT 1" << int(Recordset::ConnectionInvalid);
        QTest::newRow(qPrintable(QString(kind) + "bad SQL"))
            << forwardOnly << true << "SELECT FROM WHERE" << int(Recordset::CommandFailed);
        QTest::newRow(qPrintable(QString(kind) + "unknown table"))
            << forwardOnly << true << "SELECT * FROM NOWHERE" << int(Recordset::CommandFailed);
        QTest::newRow(qPrintable(QString(kind) + "command without rows"))
            << forwardOnly << true << "UPDATE STATUS SET KIND = KIND" << int(Recordset::ObjectClosed);
    }
}

void tst_Recordsets::sqlErrors()
{
    QFETCH(bool, forwardOnly);
    QFETCH(bool, openDatabase);
    QFETCH(QString, query);
    QFETCH(int, expectedNumber);

    const QSqlDatabase db = openDatabase ? m_db->database() : QSqlDatabase::database("never-added", false);
    QString description;
    const int number = errorNumber([&] {
        try {
            if (forwardOnly)
                ForwardOnlyRecordset(db, query);
            else
                SqlRecordset(db, query);
        } catch (const Error &error) {
            description = error.description();
            throw;
        }
    });
    QCOMPARE(number, expectedNumber);
    QVERIFY(!description.isEmpty());
}

NVTARNIX_TEST_CLASS(tst_Recordsets)

#include "tst_recordsets.moc"
