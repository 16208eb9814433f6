// Statements run as whole scripts, from data/statements.tsv: each row's code
// runs in a fresh control, then `r` is read. Columns: name, code (with \n
// between lines), TypeName, value; or "error" and the error number.

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include "TestMain.h"
#include "TsvTable.h"

#include <QTest>

using namespace vbscript;

namespace {

QString runAndRead(const QString &code)
{
    ScriptControl sc;
    sc.setLanguage(QStringLiteral("VBScript"));
    sc.setAllowUI(false);
    sc.setTimeout(10000);  // a wrongly endless loop fails the row instead of hanging
    sc.setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
    try {
        sc.addCode(code);
        return ValueText::resultLine(sc.eval(QStringLiteral("r")));
    } catch (const ScriptError &e) {
        return QStringLiteral("error\t%1").arg(e.number());
    }
}

} // namespace

class tst_Statements : public QObject
{
    Q_OBJECT

private slots:
    void statements_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected");
        const QString file = QStringLiteral(VBSCRIPT_TEST_DATA "/statements.tsv");
        const testsupport::TsvTable table = testsupport::readTsv(file, {"name", "code", "type", "value"});
        QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
        for (const testsupport::TsvRow &row : table.rows) {
            QString code = row.cells[1];
            code.replace(QLatin1String("\\n"), QLatin1String("\n"));
            QTest::newRow(row.name(file).constData()) << code << row.cells[2] + QLatin1Char('\t') + row.cells[3];
        }
    }

    void statements()
    {
        QFETCH(QString, code);
        QFETCH(QString, expected);
        QCOMPARE(runAndRead(code), expected);
    }
};

NVTARNIX_TEST_CLASS(tst_Statements)
#include "tst_statements.moc"
