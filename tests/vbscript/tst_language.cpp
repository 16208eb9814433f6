// Every fact about the language in data/language.tsv, run through the same
// evaluation and formatting as `tarnix eval`.

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include "TestMain.h"
#include "TsvTable.h"

#include <QTest>

using namespace vbscript;

namespace {

// What `tarnix eval` prints, split into the columns of the fact files:
// type, value; "error"/"syntax" with the number for failures.
QStringList evaluateLikeTarnix(const QString &expr)
{
    ScriptControl sc;
    sc.setLanguage(QStringLiteral("VBScript"));
    sc.setAllowUI(false);
    sc.setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
    try {
        return ValueText::resultLine(sc.eval(expr)).split(QLatin1Char('\t'));
    } catch (const ScriptError &e) {
        const QStringList f = ValueText::errorLine(e).split(QLatin1Char('\t'));
        const bool compile = f.value(4) == ScriptError::compileSource();
        return {compile ? QStringLiteral("syntax") : QStringLiteral("error"), f.value(1)};
    }
}

} // namespace

class tst_Language : public QObject
{
    Q_OBJECT

private slots:
    void facts_data()
    {
        QTest::addColumn<QString>("expr");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");
        const QString file = QStringLiteral(VBSCRIPT_TEST_DATA "/language.tsv");
        const testsupport::TsvTable table = testsupport::readTsv(file, {"expr", "type", "value", "basis"});
        QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
        for (const testsupport::TsvRow &row : table.rows)
            QTest::newRow(row.name(file).constData()) << row.cells[0] << row.cells[1] << row.cells[2];
    }

    void facts()
    {
        QFETCH(QString, expr);
        QFETCH(QString, type);
        QFETCH(QString, value);
        const QStringList got = evaluateLikeTarnix(expr);
        QCOMPARE(got.value(0) + QLatin1Char('\t') + got.value(1), type + QLatin1Char('\t') + value);
    }
};

NVTARNIX_TEST_CLASS(tst_Language)
#include "tst_language.moc"
