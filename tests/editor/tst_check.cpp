#include "check/ExpressionCheck.h"
#include "support/modRegistry.h"

#include <nvtarnix/Error.h>

#include "TestMain.h"
#include "TestVariables.h"

#include <QSettings>
#include <QTest>

using namespace nvtarnix::check;
using namespace nvtarnix;

namespace {

QVector<ViewVariable> sampleVariables()
{
    return {testVariable("CUST_NAME", "Name", 0, "Customer"), testVariable("NAME", "Name", 10),
            testVariable("TOTAL", "Total", 5), testVariable("ORD_DATE", "Date", 4, "Order"),
            testVariable("STAMP", "Stamp", 23)};
}

} // namespace

class tst_Check : public QObject
{
    Q_OBJECT
private slots:
    void testExpression_data();
    void testExpression();
    void checkMessages_data();
    void checkMessages();
    void registryValue();
};

void tst_Check::testExpression_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("text with group") << "Len([Customer.Name])" << "Len(\"Name\")";
    QTest::newRow("text without group") << "[Name] & [Name]" << "\"Name\" & \"Name\"";
    QTest::newRow("caption alone of a grouped variable") << "[Customer.Name] [Name]" << "\"Name\" \"Name\"";
    QTest::newRow("number everywhere") << "[Total]*2+\"[Total]\"" << "(1)*2+\"(1)\"";
    QTest::newRow("dates") << "Year([Order.Date]) & \"at [Stamp]\""
                           << "Year(#10/28/2000 14:45:45#) & \"at #10/28/2000 14:45:45#\"";
    QTest::newRow("letter case differs") << "[total] + [TOTAL]" << "[total] + [TOTAL]";
    QTest::newRow("unknown reference") << "[Other] + 1" << "[Other] + 1";
}

void tst_Check::testExpression()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(BuildTestExpression(text, sampleVariables()), expected);
}

void tst_Check::checkMessages_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("messageStart");
    QTest::addColumn<QString>("messageEnd");

    const QString head = QStringLiteral("Η έκφραση δεν είναι σωστή.\r\nΣφάλμα:=");
    QTest::newRow("valid") << "Len([Customer.Name]) > 2 And [Total] < 3" << true
                           << "Len([Customer.Name]) > 2 And [Total] < 3" << QString() << QString();
    QTest::newRow("date functions") << "DateAdd(\"d\", 1, [Order.Date]) > [Stamp]" << true
                                    << "DateAdd(\"d\", 1, [Order.Date]) > [Stamp]" << QString() << QString();
    QTest::newRow("empty text") << QString() << false << QString() << head << QString();
    QTest::newRow("syntax error") << "1 +" << false << "1 +" << head << QString();
    // Line breaks go before the check; columns count in the test expression.
    QTest::newRow("line breaks removed") << "[Customer.Name] &\r\n\r\n)" << false << "[Customer.Name] & )"
                                         << head << QStringLiteral("\r\nΓραμμή: 1\r\nΣτήλη: 9\r\n");
    QTest::newRow("runtime error") << "1 / 0" << false << "1 / 0" << head + "Διαίρεση με το μηδέν\t\r\n"
                                   << QString();
    // The evaluation is bounded: a loop runs into the time limit, endless
    // recursion and huge strings into the engine's own limits.
    QTest::newRow("endless loop") << "Execute(\"Do : Loop\")" << false << "Execute(\"Do : Loop\")" << head
                                  << QString();
    QTest::newRow("endless recursion") << "ExecuteGlobal(\"Function F() : F = F() : End Function\") & F()" << false
                                       << "ExecuteGlobal(\"Function F() : F = F() : End Function\") & F()" << head
                                       << QString();
    QTest::newRow("huge string") << "String(1000000000, \"x\")" << false << "String(1000000000, \"x\")" << head
                                 << QString();
    QTest::newRow("no user interface") << "MsgBox(\"hi\")" << false << "MsgBox(\"hi\")" << head << QString();
}

void tst_Check::checkMessages()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, shown);
    QFETCH(QString, messageStart);
    QFETCH(QString, messageEnd);

    const CheckOutcome outcome = CheckExpression(text, [] { return sampleVariables(); }, true);
    QCOMPARE(outcome.ok, ok);
    QCOMPARE(outcome.shownText, shown);
    if (ok) {
        QVERIFY(outcome.message.isEmpty());
        return;
    }
    QVERIFY2(outcome.message.startsWith(messageStart), qPrintable(outcome.message));
    QVERIFY2(outcome.message.endsWith(messageEnd), qPrintable(outcome.message));
    QVERIFY(outcome.message.contains(QStringLiteral("\t\r\nΓραμμή: ")));
    QVERIFY(outcome.message.contains(QStringLiteral("\r\nΣτήλη: ")));
    QCOMPARE(checkMessageTitle(), QStringLiteral("Έλεγχος έκφρασης"));
}

void tst_Check::registryValue()
{
    const QString key = nvtarnix::registrySettingsKey(nvtarnix::RegistryRoot::HKEY_CURRENT_USER,
                                                      "Software\\Microsoft\\Windows Script\\Settings", "JITDebug");

    QString duringCheck;
    const auto readValue = [&] {
        return QSettings(QSettings::IniFormat, QSettings::UserScope, "Tarnix", "registry").value(key).toString();
    };
    const CheckOutcome outcome = CheckExpression(
        "[Total] + 1",
        [&] {
            duringCheck = readValue();
            return sampleVariables();
        },
        true);
    QVERIFY(outcome.ok);
    QCOMPARE(duringCheck, QStringLiteral("dword:00000000"));
    QCOMPARE(readValue(), QStringLiteral("dword:00000001"));

    // A failure while reading the variables fails the check with its text.
    const CheckOutcome failed = CheckExpression(
        "[Total]", []() -> QVector<ViewVariable> { throw nvtarnix::Error(91, "nvTarnix", "Object not set"); },
        true);
    QVERIFY(!failed.ok);
    QVERIFY(failed.message.contains(QStringLiteral("Σφάλμα:=Object not set\t")));
    QCOMPARE(readValue(), QStringLiteral("dword:00000001"));
}

NVTARNIX_TEST_CLASS(tst_Check)

#include "tst_check.moc"
